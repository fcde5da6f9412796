package orvane.model;

/** A limit the selection runs past, or whose reserve it eats, and the changes that fix it, cheapest first. */
class Overrun {
	/** The limit, worded for the user ("扩展基板 1 24V 电流超出"). */
	public final limit:String;
	public final remedies:Array<Remedy>;
	/** Why there is no remedy, when there is none. */
	public final note:Null<String>;

	public function new(limit:String, remedies:Array<Remedy>, note:Null<String>) {
		this.limit = limit;
		this.remedies = remedies;
		this.note = note;
	}
}
