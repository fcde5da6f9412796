package orvane.ui;

import flash.text.TextField;

/**
	A question with a button that goes ahead and one that cancels (the screen sends Esc here
	too), over the whole screen. A question may name its cancel button and what it does, and
	may have no button that goes ahead.
**/
class ConfirmDialog extends ModalDialog {

	final title:TextField;
	final body:TextField;
	final proceed:PushButton;
	final cancel:PushButton;
	final area:FocusArea;
	var onProceed:Null<() -> Void>;
	var onCancel:Null<() -> Void>;
	/** A named cancel button is a choice that changes nothing: the focus starts there. */
	var startOnCancel = false;

	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator) {
		super(screenWidth, screenHeight, 460, 190, navigator);
		title = TextFactory.label("", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT);
		body = TextFactory.paragraph("", left + 16, top + 42, boxWidth - 32, boxHeight - 90, 12, Palette.TEXT_DIM);
		proceed = new PushButton("", left + boxWidth - 232, top + boxHeight - 42, 120, 28, () -> close(true), 13);
		cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
		for (child in [title, body])
			addChild(child);
		addChild(proceed);
		addChild(cancel);
		area = new FocusArea(() -> [[proceed, cancel]], () -> startOnCancel ? cancel : null);
	}

	/**
		Asks; `onProceed` runs only if the user goes ahead (no such button when `proceedLabel` is
		null), `onCancel` only if the user cancels (the button `cancelLabel`, "取消" by default, or Esc).
		A question that names its cancel button starts with the focus there.
	**/
	public function ask(heading:String, text:String, proceedLabel:Null<String>, onProceed:() -> Void, ?cancelLabel:String, ?onCancel:() -> Void):Void {
		title.text = heading;
		body.text = text;
		proceed.visible = proceedLabel != null;
		if (proceedLabel != null)
			proceed.setText(proceedLabel);
		cancel.setText(cancelLabel == null ? "取消" : cancelLabel);
		startOnCancel = cancelLabel != null;
		this.onProceed = onProceed;
		this.onCancel = onCancel;
		open(area);
	}

	/** Closes without an answer: neither action runs (the host replaced the selection meanwhile). */
	public function withdraw():Void {
		onProceed = onCancel = null;
		dismiss();
	}

	override function close(goAhead:Bool):Void {
		final action = goAhead ? onProceed : onCancel;
		onProceed = onCancel = null;
		super.close(goAhead);
		if (action != null)
			action();
	}
}
