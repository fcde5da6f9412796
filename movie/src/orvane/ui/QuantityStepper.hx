package orvane.ui;

import flash.display.Sprite;
import flash.events.Event;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;

/**
	− quantity + . The quantity can be typed; while it has the focus the up and down arrows and the
	mouse wheel step it like the buttons. Every change reports the wanted new value.
**/
class QuantityStepper extends Sprite {
	/** Width of a module quantity stepper. */
	public static inline final WIDTH = 84;
	static inline final BUTTON_WIDTH = 24;

	final minus:PushButton;
	final plus:PushButton;
	final field:TextField;
	final maximum:Int;
	var current = 0;

	public function new(x:Float, y:Float, width:Float, maximum:Int, step:Int, onChange:Int -> Void) {
		super();
		this.x = x;
		this.y = y;
		this.maximum = maximum;
		minus = new PushButton("−", 0, 0, BUTTON_WIDTH - 2, 22, () -> onChange(current - step), 15);
		field = TextFactory.numberInput(BUTTON_WIDTH, 0, width - 2 * BUTTON_WIDTH, Std.string(maximum).length);
		plus = new PushButton("+", width - BUTTON_WIDTH + 2, 0, BUTTON_WIDTH - 2, 22, () -> onChange(current + step), 15);
		field.tabEnabled = true;
		field.addEventListener(Event.CHANGE, _ -> onChange(typed()));
		field.addEventListener(FocusEvent.FOCUS_IN, _ -> field.setSelection(0, field.text.length));
		field.addEventListener(FocusEvent.FOCUS_OUT, _ -> field.text = Std.string(current));
		field.addEventListener(KeyboardEvent.KEY_DOWN, event -> stepBy(Keys.stepOf(event) * step, onChange));
		addEventListener(MouseEvent.MOUSE_WHEEL, event -> if (hasFocus()) stepBy(event.delta > 0 ? step : event.delta < 0 ? -step : 0, onChange));
		addChild(minus);
		addChild(field);
		addChild(plus);
		showValue(0);
	}

	/** Shows the value; text being typed that already means it is left as it is. */
	public function showValue(quantity:Int):Void {
		current = quantity;
		if (hasFocus() ? typed() != quantity : field.text != Std.string(quantity))
			field.text = Std.string(quantity);
		field.textColor = quantity > 0 ? Palette.ACCENT : Palette.TEXT_DIM;
		minus.setEnabled(quantity > 0);
		plus.setEnabled(quantity < maximum);
	}

	function stepBy(change:Int, onChange:Int -> Void):Void {
		if (change != 0)
			onChange(current + change);
	}

	function typed():Int {
		final value = Std.parseInt(field.text);
		return value == null ? 0 : value;
	}

	function hasFocus():Bool {
		return field.stage != null && field.stage.focus == field;
	}
}
