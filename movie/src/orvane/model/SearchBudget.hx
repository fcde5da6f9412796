package orvane.model;

/**
	How many steps a search may take. Counted in steps, not in time, so that a selection always
	gives the same plan, on any machine and however busy it is.
**/
class SearchBudget {
	var left:Int;
	final whole:Null<SearchBudget>;
	/** The steps ran out before the search did. */
	public var ended(default, null) = false;

	public function new(steps:Int, ?whole:SearchBudget) {
		left = steps;
		this.whole = whole;
	}

	/** A part of this budget of at most `steps`: its steps are this one's too. */
	public function part(steps:Int):SearchBudget {
		return new SearchBudget(steps, this);
	}

	/** Takes one step; false once there are none left. */
	public function spend():Bool {
		if (left <= 0 || whole != null && !whole.spend()) {
			ended = true;
			return false;
		}
		left--;
		return true;
	}
}
