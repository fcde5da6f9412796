package orvane.model;

/** A character typed into a count field: taken, ignored without a word, or refused with the reason. */
enum TypedCharacter {
	Taken;
	/** Space is no typing there (elsewhere it presses the focused control). */
	Ignored;
	Refused(reason:String);
}

/**
	A count as the user types it into a field: digits only, within 0..maximum. Anything else is
	refused with the reason to show beside the field, never bent into range; an empty field
	changes nothing.
**/
class TypedCount {
	static final digits = ~/^[0-9]+$/;

	/** The count to apply; null when nothing is to change. */
	public final value:Null<Int>;
	/** Why the text was refused, worded for the user; null when it was not. */
	public final refusal:Null<String>;

	function new(value:Null<Int>, refusal:Null<String>) {
		this.value = value;
		this.refusal = refusal;
	}

	public static function read(text:String, maximum:Int):TypedCount {
		if (text == "")
			return new TypedCount(null, null);
		if (!digits.match(text))
			return refused("只能输入数字");
		// Leading zeros aside, a number longer than the maximum's digits is past it (and could overflow).
		var start = 0;
		while (start < text.length - 1 && text.charAt(start) == "0")
			start++;
		final significant = text.substr(start);
		final value = significant.length > Std.string(maximum).length ? null : Std.parseInt(significant);
		return value == null || value > maximum ? refused('超出范围：0–$maximum') : new TypedCount(value, null);
	}

	/** What becomes of a character typed into the field. */
	public static function character(typed:String):TypedCharacter {
		return digits.match(typed) ? Taken : typed == " " ? Ignored : Refused("只能输入数字");
	}

	static function refused(reason:String):TypedCount {
		return new TypedCount(null, reason);
	}
}
