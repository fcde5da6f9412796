package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.CatalogItem;
import orvane.model.Remedy;
import orvane.model.StatusLine;

/**
	The line at the foot of the screen: the status message on the left, and on the right what
	fixes each limit the selection runs past, as a button that applies it (or, when the
	catalogue has nothing that fits, the advice alone).
**/
class StatusBar extends Sprite {
	static inline final HEIGHT = 20;
	static inline final GAP = 6;

	final message:TextField;
	final barWidth:Float;
	final onApply:CatalogItem -> Void;
	final buttons:Array<PushButton> = [];
	final notes:Array<TextField> = [];
	var shownRemedies = "";

	public function new(x:Float, y:Float, width:Float, onApply:CatalogItem -> Void) {
		super();
		this.x = x;
		this.y = y;
		barWidth = width;
		this.onApply = onApply;
		message = TextFactory.label("", 0, 1, width, 12, Palette.TEXT_DIM);
		addChild(message);
	}

	public function show(status:StatusLine, remedies:Array<Remedy>):Void {
		final key = [for (remedy in remedies) remedy.limit + remedy.advice].join("\n");
		if (key != shownRemedies) {
			shownRemedies = key;
			showRemedies(remedies);
		}
		message.text = status.text;
		message.textColor = switch (status.kind) {
			case Failure: Palette.WARNING;
			case Notice: Palette.NOTICE;
			case Note: Palette.TEXT_DIM;
		}
	}

	/** Rebuilt only when they change, so a focused button stays while other things change. */
	function showRemedies(remedies:Array<Remedy>):Void {
		for (old in buttons)
			removeChild(old);
		for (old in notes)
			removeChild(old);
		buttons.resize(0);
		notes.resize(0);
		var right = barWidth;
		for (i in 0...remedies.length) {
			final remedy = remedies[remedies.length - 1 - i];
			final text = remedy.limit + "：" + remedy.advice;
			final width = TextFactory.widthOf(text, 12) + 16;
			right -= width;
			if (remedy.item == null) {
				final note = TextFactory.label(text, right, 1, width, 12, Palette.WARNING, TextFormatAlign.CENTER);
				notes.push(note);
				addChild(note);
			} else {
				final item = remedy.item;
				final button = new PushButton(text, right, 0, width, HEIGHT, () -> onApply(item), 12);
				buttons.unshift(button);
				addChild(button);
			}
			right -= GAP;
		}
		message.width = Math.max(0, right);
	}

	/** The remedy buttons, left to right. */
	public function focusArea():FocusArea {
		return FocusArea.row(() -> cast buttons.copy());
	}
}
