package orvane.model;

/**
	One visit of a count field. What is typed there is not yet a change of the selection: the
	numbers it passes through on the way ("2" on the way from 19 to 24) have no consequence, and
	only the count the field holds when it is left or Enter is pressed is applied. A refused text
	applies nothing, so the count stays what it was when the field was entered.
**/
class CountEntry {
	final maximum:Int;
	/** The count when the field was entered, or when its last value was taken. */
	public var settled(default, null):Int;
	var pending:Null<Int>;

	public function new(count:Int, maximum:Int) {
		settled = count;
		this.maximum = maximum;
	}

	/** The field now reads `text`; returns what the note beside it says (null: nothing). */
	public function typed(text:String):Null<String> {
		final count = TypedCount.read(text, maximum);
		pending = count.value;
		return count.refusal == null ? null : count.refusal + '，仍为 $settled';
	}

	/** The count to apply now that the field is left or Enter is pressed; null when it stays. */
	public function take():Null<Int> {
		final count = pending;
		pending = null;
		if (count == null || count == settled)
			return null;
		settled = count;
		return count;
	}
}
