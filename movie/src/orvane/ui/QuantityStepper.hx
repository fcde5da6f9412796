package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;

/** − quantity + ; the buttons report the wanted new value. */
class QuantityStepper extends Sprite {
	public static inline final WIDTH = 84;

	final minus:PushButton;
	final plus:PushButton;
	final value:TextField;
	var current = 0;

	public function new(x:Float, y:Float, maximum:Int, onChange:Int -> Void) {
		super();
		this.x = x;
		this.y = y;
		minus = new PushButton("−", 0, 0, 24, 22, () -> onChange(current - 1), 15);
		plus = new PushButton("+", WIDTH - 24, 0, 24, 22, () -> onChange(current + 1), 15);
		value = TextFactory.label("0", 24, 1, WIDTH - 48, 13, Palette.TEXT, TextFormatAlign.CENTER);
		addChild(minus);
		addChild(value);
		addChild(plus);
		showValue(0, maximum);
	}

	public function showValue(quantity:Int, maximum:Int):Void {
		current = quantity;
		value.text = Std.string(quantity);
		value.textColor = quantity > 0 ? Palette.ACCENT : Palette.TEXT_DIM;
		minus.setEnabled(quantity > 0);
		plus.setEnabled(quantity < maximum);
	}
}
