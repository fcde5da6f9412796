package orvane.model;

/** Amounts of money in fen (0.01 of the currency), as the catalogue's prices are kept. */
class Money {
	/**
		Two decimal places, no grouping: 68050 is "680.50". Exact for every whole number of fen a
		Float holds exactly (a total can pass what an Int holds).
	**/
	public static function format(fen:Float):String {
		var yuan = Math.ffloor(fen / 100);
		final rest = Std.int(fen - yuan * 100);
		var digits = "";
		do {
			digits = Std.string(Std.int(yuan % 10)) + digits;
			yuan = Math.ffloor(yuan / 10);
		} while (yuan > 0);
		return digits + "." + (rest < 10 ? "0" : "") + rest;
	}

	/** As the screen shows money: thousands separated, "12,790.00". */
	public static function grouped(fen:Float):String {
		final plain = format(fen);
		var whole = plain.substr(0, plain.length - 3);
		var text = plain.substr(plain.length - 3);
		while (whole.length > 3) {
			text = "," + whole.substr(whole.length - 3) + text;
			whole = whole.substr(0, whole.length - 3);
		}
		return whole + text;
	}
}
