package orvane.ui;

import flash.text.TextField;

/**
	A question with a button that goes ahead and one that cancels (the screen sends Esc here
	too), over the whole screen.
**/
class ConfirmDialog extends ModalDialog {

	final title:TextField;
	final body:TextField;
	final proceed:PushButton;
	final area:FocusArea;
	var onProceed:Null<() -> Void>;

	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator) {
		super(screenWidth, screenHeight, 460, 190, navigator);
		title = TextFactory.label("", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT);
		body = TextFactory.paragraph("", left + 16, top + 42, boxWidth - 32, boxHeight - 90, 12, Palette.TEXT_DIM);
		proceed = new PushButton("", left + boxWidth - 232, top + boxHeight - 42, 120, 28, () -> close(true), 13);
		final cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
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
		open(area);
	}

	override function close(goAhead:Bool):Void {
		final action = onProceed;
		onProceed = null;
		super.close(goAhead);
		if (goAhead && action != null)
			action();
	}
}
