package orvane.ui;

import flash.events.KeyboardEvent;
import flash.ui.Keyboard;

/** The keys the movie answers to. */
class Keys {
	// Letter key codes; the player's Keyboard class names them only from version 10.1 on.
	static inline final KEY_Y = 89;
	static inline final KEY_Z = 90;
	/** M on a slot: "移到…". */
	public static inline final KEY_M = 77;

	/** Space or Enter: presses the focused button or choice. */
	public static function isPress(event:KeyboardEvent):Bool {
		return event.keyCode == Keyboard.SPACE || event.keyCode == Keyboard.ENTER;
	}

	/** Ctrl+Z. */
	public static function isUndo(event:KeyboardEvent):Bool {
		return event.ctrlKey && !event.shiftKey && event.keyCode == KEY_Z;
	}

	/** Ctrl+Y or Ctrl+Shift+Z. */
	public static function isRedo(event:KeyboardEvent):Bool {
		return event.ctrlKey && (event.keyCode == KEY_Y || (event.shiftKey && event.keyCode == KEY_Z));
	}

	/** An arrow key as a step: x -1 / +1 for left / right, y -1 / +1 for up / down; null for any other key. */
	public static function arrowOf(event:KeyboardEvent):Null<{x:Int, y:Int}> {
		return switch (event.keyCode) {
			case Keyboard.LEFT: {x: -1, y: 0};
			case Keyboard.RIGHT: {x: 1, y: 0};
			case Keyboard.UP: {x: 0, y: -1};
			case Keyboard.DOWN: {x: 0, y: 1};
			default: null;
		}
	}

	/** No Ctrl, Shift or Alt held. */
	public static function isPlain(event:KeyboardEvent):Bool {
		return !event.ctrlKey && !event.shiftKey && !event.altKey;
	}
}
