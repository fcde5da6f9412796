package orvane.model;

/**
	A limit the selection runs past, or whose reserve it eats, and the changes that fix it,
	cheapest first; these are sought only when first asked for (the screen shows one limit at a
	time).
**/
class Overrun {
	/** The limit, worded for the user ("扩展基板 1 24V 电流超出"). */
	public final limit:String;
	final find:() -> Array<Remedy>;
	final noneFits:String;
	var found:Null<Array<Remedy>>;

	/** `find`: the remedies; `noneFits`: why there is none, when there is none. */
	public function new(limit:String, find:() -> Array<Remedy>, noneFits:String) {
		this.limit = limit;
		this.find = find;
		this.noneFits = noneFits;
	}

	public function remedies():Array<Remedy> {
		if (found == null)
			found = find();
		return found;
	}

	/** Why there is no remedy, when there is none. */
	public function note():Null<String> {
		return remedies().length == 0 ? noneFits : null;
	}
}
