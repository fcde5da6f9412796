package orvane.ui;

import flash.events.KeyboardEvent;
import flash.events.TextEvent;
import flash.text.TextField;

/**
	Keeps out of an input field what Ruffle 0.6.0 types into it though nobody typed it: the letter
	of a Ctrl or Alt shortcut (Ctrl+Z would add a "z"), and the character of a key pressed on
	another control that moved the focus into the field (Space on a slot). Other listeners of the
	field's text input see such input as prevented.
**/
class TypingGuard {
	var keyPressedHere = false;
	var shortcut = false;

	public static function protect(field:TextField):Void {
		final guard = new TypingGuard();
		field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> {
			guard.keyPressedHere = true;
			guard.shortcut = event.ctrlKey || event.altKey;
		});
		field.addEventListener(TextEvent.TEXT_INPUT, (event:TextEvent) -> {
			if (!guard.keyPressedHere || guard.shortcut)
				event.preventDefault();
			guard.keyPressedHere = false;
		});
	}

	function new() {}
}
