package orvane.model;

/**
	Undo and redo of the user's changes, as copies of the selection before each one. A run of
	changes made under one merge key (the keystrokes typed into one field while it has the
	focus) is one step, so undo takes the whole number back.
**/
class SelectionHistory {
	/** Steps kept; the oldest go first. */
	public static inline final DEPTH = 100;

	final undoSteps:Array<Selection> = [];
	final redoSteps:Array<Selection> = [];
	var openMergeKey:Null<String>;

	public function new() {}

	public function canUndo():Bool {
		return undoSteps.length > 0;
	}

	public function canRedo():Bool {
		return redoSteps.length > 0;
	}

	/** A change was made; `before` is the selection as it was. */
	public function record(before:Selection, mergeKey:Null<String>):Void {
		redoSteps.resize(0);
		if (mergeKey != null && mergeKey == openMergeKey)
			return;
		openMergeKey = mergeKey;
		undoSteps.push(before);
		if (undoSteps.length > DEPTH)
			undoSteps.shift();
	}

	/**
		Drops the step that is still open for merging if `isNoChange` says the selection is back
		where that step started (typing that ended where it began leaves nothing to undo).
	**/
	public function dropOpenStepIf(isNoChange:Selection -> Bool):Void {
		if (openMergeKey != null && undoSteps.length > 0 && isNoChange(undoSteps[undoSteps.length - 1])) {
			undoSteps.pop();
			openMergeKey = null;
		}
	}

	/** The selection to go back to from `current`, or null when there is none. */
	public function undo(current:Selection):Null<Selection> {
		return step(undoSteps, redoSteps, current);
	}

	/** The selection an undo left, or null when there is none. */
	public function redo(current:Selection):Null<Selection> {
		return step(redoSteps, undoSteps, current);
	}

	public function clear():Void {
		undoSteps.resize(0);
		redoSteps.resize(0);
		openMergeKey = null;
	}

	function step(from:Array<Selection>, to:Array<Selection>, current:Selection):Null<Selection> {
		openMergeKey = null;
		final target = from.pop();
		if (target != null)
			to.push(current);
		return target;
	}
}
