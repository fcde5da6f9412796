package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;

/**
	A question over the whole screen with a button that goes ahead and one that cancels (the
	screen sends Esc here too). The screen behind takes neither clicks nor keys until it is
	answered.
**/
class ConfirmDialog extends Sprite {
	static inline final BOX_WIDTH = 460;
	static inline final BOX_HEIGHT = 190;

	final title:TextField;
	final body:TextField;
	final proceed:PushButton;
	final cancel:PushButton;
	final navigator:FocusNavigator;
	final area:FocusArea;
	var onProceed:Null<() -> Void>;

	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator) {
		super();
		this.navigator = navigator;
		visible = false;
		graphics.beginFill(0x1E2630, 0.35);
		graphics.drawRect(0, 0, screenWidth, screenHeight);
		graphics.endFill();
		final left = (screenWidth - BOX_WIDTH) / 2;
		final top = (screenHeight - BOX_HEIGHT) / 2;
		graphics.lineStyle(1, Palette.ACCENT);
		graphics.beginFill(Palette.PANEL);
		graphics.drawRoundRect(left, top, BOX_WIDTH, BOX_HEIGHT, 10, 10);
		graphics.endFill();
		title = TextFactory.label("", left + 16, top + 12, BOX_WIDTH - 32, 14, Palette.TEXT);
		body = TextFactory.paragraph("", left + 16, top + 42, BOX_WIDTH - 32, BOX_HEIGHT - 90, 12, Palette.TEXT_DIM);
		proceed = new PushButton("", left + BOX_WIDTH - 232, top + BOX_HEIGHT - 42, 120, 28, () -> answer(true), 13);
		cancel = new PushButton("取消", left + BOX_WIDTH - 104, top + BOX_HEIGHT - 42, 88, 28, () -> answer(false), 13);
		for (child in [title, body])
			addChild(child);
		addChild(proceed);
		addChild(cancel);
		area = FocusArea.row(() -> [proceed, cancel]);
	}

	/** Asks; `onProceed` runs only if the user goes ahead. */
	public function ask(heading:String, text:String, proceedLabel:String, onProceed:() -> Void):Void {
		title.text = heading;
		body.text = text;
		proceed.setText(proceedLabel);
		this.onProceed = onProceed;
		visible = true;
		parent.setChildIndex(this, parent.numChildren - 1);
		navigator.openModal(area);
	}

	public function isOpen():Bool {
		return visible;
	}

	/** Closes without going ahead (Esc, or the host replaced the selection meanwhile). */
	public function dismiss():Void {
		if (visible)
			answer(false);
	}

	function answer(goAhead:Bool):Void {
		final action = onProceed;
		onProceed = null;
		visible = false;
		navigator.closeModal();
		if (goAhead && action != null)
			action();
	}
}
