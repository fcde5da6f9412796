package orvane.model;

/**
	How many steps a search may take. Counted in steps, not in time, so that a selection always
	gives the same plan, on any machine and however busy it is.
**/
class SearchBudget {
	var left:Int;
	/** The steps ran out before the search did. */
	public var ended(default, null) = false;

	public function new(steps:Int) {
		left = steps;
	}

	/** Takes one step; false once there are none left. */
	public function spend():Bool {
		if (left <= 0) {
			ended = true;
			return false;
		}
		left--;
		return true;
	}
}
