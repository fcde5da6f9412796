package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;

/**
	Why typed input was refused, in red just above the field's right end; hidden while there is
	nothing to say. Its text field is made when it first has something to say: every stepper has
	a note, few ever speak, and fields cost start-up time.
**/
class FieldNote extends Sprite {
	static inline final HEIGHT = 18;

	final right:Float;
	var text:Null<TextField>;

	/** `right`: where the note ends, in the coordinates of the control it belongs to. */
	public function new(right:Float) {
		super();
		this.right = right;
		y = -HEIGHT - 1;
		mouseEnabled = mouseChildren = false;
		visible = false;
	}

	public function say(reason:Null<String>):Void {
		visible = reason != null;
		if (reason == null)
			return;
		if (text == null) {
			text = TextFactory.label("", 4, 0, 200, 11, Palette.WARNING, TextFormatAlign.RIGHT);
			addChild(text);
		}
		text.text = reason;
		final width = text.textWidth + 14;
		text.width = width - 8;
		x = right - width;
		graphics.clear();
		graphics.lineStyle(1, Palette.WARNING);
		graphics.beginFill(Palette.WARNING_SOFT);
		graphics.drawRoundRect(0, 0, width, HEIGHT, 6, 6);
		graphics.endFill();
	}
}
