package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.events.Event;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.events.TextEvent;
import flash.text.TextField;
import flash.ui.Keyboard;
import orvane.model.CountEntry;
import orvane.model.TypedCount;

/**
	− count + . The count can be typed, and takes effect when the field is left or Enter is pressed
	(CountEntry): the numbers typed on the way change nothing. The field takes digits only (Space
	is no typing there and is dropped without a word), and a number out of range is refused, not
	bent into range. Either refusal is said in a note beside the field, and the count stays what
	it was. Entering the field selects the whole number, so typing replaces it; an emptied field
	changes nothing. The mouse wheel over a focused field steps it like the buttons. Every change
	reports the wanted new value; what is taken during one visit of the field carries one typing
	key, so undo takes it back as one step.
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
	var entry:Null<CountEntry>;
	var wholeOnNextKey = false;
	final onChange:(Int, Null<String>) -> Void;

	/** `onChange(value, typingKey)`: typingKey is null for the buttons and the wheel. */
	public function new(x:Float, y:Float, width:Float, maximum:Int, step:Int, onChange:(Int, Null<String>) -> Void) {
		super();
		this.x = x;
		this.y = y;
		this.maximum = maximum;
		this.onChange = onChange;
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
			if (entry == null)
				entry = new CountEntry(current, maximum);
			note.say(entry.typed(field.text));
		});
		field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (event.keyCode == Keyboard.ENTER) takeTyped());
		field.addEventListener(FocusEvent.FOCUS_IN, _ -> {
			typingKey = "typed#" + (++visits);
			entry = new CountEntry(current, maximum);
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
			takeTyped();
			entry = null;
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

	/** Applies the count typed in the field, if it is one to apply (the field left, Enter, or the host reads the selection). */
	public function takeTyped():Void {
		final typed = entry == null ? null : entry.take();
		if (typed != null)
			onChange(typed, typingKey);
	}

	/** Forgets what was typed and shows the count again (the host replaced the selection). */
	public function dropTyped():Void {
		if (entry != null)
			entry = new CountEntry(current, maximum);
		field.text = Std.string(current);
		note.say(null);
	}

	/** Shows the value; while the field is being typed in and the count is still the one it was typed over, what it reads stays. */
	public function showValue(quantity:Int):Void {
		current = quantity;
		if (!(hasFocus() && entry != null && entry.settled == quantity)) {
			if (entry != null)
				entry = new CountEntry(quantity, maximum);
			if (field.text != Std.string(quantity))
				field.text = Std.string(quantity);
		}
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
