package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.events.Event;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.events.TextEvent;
import flash.text.TextField;
import orvane.model.TypedCount;

/**
	− count + . The count can be typed, and takes effect as it is typed: the field takes digits
	only (Space is no typing there and is dropped without a word), and a number out of range is
	refused, not bent into range. Either refusal is said in a note beside the field, and the
	count is what it was before the field was entered (digits typed on the way to the refused
	number do not stay). Entering the field selects the whole number, so typing replaces it; an
	emptied field stays empty and changes nothing until a digit is typed. The mouse wheel over a
	focused field steps it like the buttons. Every change reports the wanted new value; what is
	typed during one visit of the field carries one typing key, so undo takes it back as one step.
**/
class QuantityStepper extends Sprite {
	/** Width of a module quantity stepper. */
	public static inline final WIDTH = 84;
	static inline final BUTTON_WIDTH = 24;
	static var visits = 0;

	public final minus:PushButton;
	public final plus:PushButton;
	public final field:TextField;
	final maximum:Int;
	final note:FieldNote;
	var current = 0;
	var typingKey = "";
	var valueOnEntry = 0;
	var wholeOnNextKey = false;

	/** `onChange(value, typingKey)`: typingKey is null for the buttons and the wheel. */
	public function new(x:Float, y:Float, width:Float, maximum:Int, step:Int, onChange:(Int, Null<String>) -> Void) {
		super();
		this.x = x;
		this.y = y;
		this.maximum = maximum;
		minus = new PushButton("−", 0, 0, BUTTON_WIDTH - 2, 22, () -> onChange(current - step, null), 15);
		field = TextFactory.numberInput(BUTTON_WIDTH, 0, width - 2 * BUTTON_WIDTH, Std.string(maximum).length + 2);
		plus = new PushButton("+", width - BUTTON_WIDTH + 2, 0, BUTTON_WIDTH - 2, 22, () -> onChange(current + step, null), 15);
		note = new FieldNote(width);
		field.tabEnabled = true;
		TypingGuard.protect(field);
		field.addEventListener(TextEvent.TEXT_INPUT, (event:TextEvent) -> {
			if (event.isDefaultPrevented())
				return;
			switch (TypedCount.character(event.text)) {
				case Taken:
				case Ignored:
					event.preventDefault();
				case Refused(reason):
					event.preventDefault();
					note.say(reason);
			}
		});
		field.addEventListener(Event.CHANGE, _ -> {
			final typed = TypedCount.read(field.text, maximum);
			note.say(typed.refusal == null ? null : typed.refusal + '，仍为 $valueOnEntry');
			if (typed.value != null)
				onChange(typed.value, typingKey);
			else if (typed.refusal != null && current != valueOnEntry)
				onChange(valueOnEntry, typingKey);
		});
		field.addEventListener(FocusEvent.FOCUS_IN, _ -> {
			typingKey = "typed#" + (++visits);
			valueOnEntry = current;
			field.setSelection(0, field.text.length);
			wholeOnNextKey = true;
		});
		// The key that brought the focus here (an arrow key, Tab) still moves the caret in the field
		// after that, so the whole number is selected again at the next key, before it types.
		for (type in [KeyboardEvent.KEY_DOWN, KeyboardEvent.KEY_UP])
			field.addEventListener(type, _ -> if (wholeOnNextKey) {
				wholeOnNextKey = false;
				field.setSelection(0, field.text.length);
			});
		field.addEventListener(FocusEvent.FOCUS_OUT, _ -> {
			field.text = Std.string(current);
			note.say(null);
		});
		addEventListener(MouseEvent.MOUSE_WHEEL, (event:MouseEvent) -> if (hasFocus() && event.delta != 0) onChange(current + (event.delta > 0 ? step : -step), null));
		addChild(minus);
		addChild(field);
		addChild(plus);
		addChild(note);
		showValue(0);
	}

	/** Shows the value; text being typed that already means it (or that was refused) is left as it is. */
	public function showValue(quantity:Int):Void {
		current = quantity;
		final typed = TypedCount.read(field.text, maximum);
		final typing = hasFocus() && (typed.value == quantity || typed.refusal != null || field.text == "");
		if (!typing && field.text != Std.string(quantity))
			field.text = Std.string(quantity);
		field.textColor = quantity > 0 ? Palette.ACCENT : Palette.TEXT_DIM;
		minus.setEnabled(quantity > 0);
		plus.setEnabled(quantity < maximum);
	}

	/** The stepper's controls left to right, for the keyboard's way through its area. */
	public function controls():Array<InteractiveObject> {
		return [minus, field, plus];
	}

	function hasFocus():Bool {
		return field.stage != null && field.stage.focus == field;
	}
}
