package orvane.ui;

import flash.text.TextField;
import orvane.model.Question;

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
		Asks; `onProceed` runs only if the user goes ahead (no such button when the question names
		none), `onCancel` only if the user cancels (the button the question names, "取消" by
		default, or Esc). A question that names its cancel button starts with the focus there.
	**/
	public function ask(question:Question, onProceed:() -> Void, ?onCancel:() -> Void):Void {
		title.text = question.heading;
		body.text = question.text;
		proceed.visible = question.proceed != null;
		if (question.proceed != null)
			proceed.setText(question.proceed);
		cancel.setText(question.keep == null ? "取消" : question.keep);
		startOnCancel = question.keep != null;
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
