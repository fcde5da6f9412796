package orvane.model;

/** A limit a selection can run past, and of which the user may keep a reserve. */
enum abstract LimitKind(Int) {
	/** The I/O slots of a rack's base. */
	var Slots;
	/** A rack's power supply, 5 V and 24 V output. */
	var Current5V;
	var Current24V;
	/** The CPU's I/O points. */
	var Points;

	public static final all:Array<LimitKind> = [Slots, Current5V, Current24V, Points];

	/** Its place in `all`. */
	public inline function index():Int {
		return this;
	}

	/** The name in the selection text's `reserve=` line. */
	public var tag(get, never):String;

	function get_tag():String {
		return switch (cast this : LimitKind) {
			case Slots: "slots";
			case Current5V: "5V";
			case Current24V: "24V";
			case Points: "points";
		}
	}

	public var label(get, never):String;

	function get_label():String {
		return switch (cast this : LimitKind) {
			case Slots: "槽位";
			case Current5V: "5V 电流";
			case Current24V: "24V 电流";
			case Points: "I/O 点数";
		}
	}

	public var unit(get, never):String;

	function get_unit():String {
		return switch (cast this : LimitKind) {
			case Slots: "槽";
			case Current5V | Current24V: "mA";
			case Points: "点";
		}
	}
}
