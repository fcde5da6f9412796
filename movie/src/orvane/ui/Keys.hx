package orvane.ui;

import flash.events.KeyboardEvent;
import flash.ui.Keyboard;

/** The keys the movie's controls answer to. */
class Keys {
	/** Space or Enter: presses the focused button or choice. */
	public static function isPress(event:KeyboardEvent):Bool {
		return event.keyCode == Keyboard.SPACE || event.keyCode == Keyboard.ENTER;
	}

	/** +1 for the up arrow, -1 for the down arrow, otherwise 0. */
	public static function stepOf(event:KeyboardEvent):Int {
		return event.keyCode == Keyboard.UP ? 1 : event.keyCode == Keyboard.DOWN ? -1 : 0;
	}
}
