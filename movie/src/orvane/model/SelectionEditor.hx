package orvane.model;

/**
	The selection as the user edits it: each change, undo and redo goes through here, so every
	one is recorded for undo, tells the host the new text (`SelectionAnnouncer`) and reports a
	change of mode. A selection the host sets (load, new) starts a new history. The editor also
	knows the rack the user works on, which the power supply and base choices go to.
**/
class SelectionEditor {
	public var selection(default, null) = new Selection();
	/** The rack shown: 0 the main one, then the expansion racks; never past the last rack. */
	var rackShown = 0;

	final catalog:Catalog;
	final history = new SelectionHistory();
	final announcer:SelectionAnnouncer;
	final onModeChange:() -> Void;

	/** `onUserChange`: the selection text after a change by the user; `onModeChange`: such a change switched the mode. */
	public function new(catalog:Catalog, onUserChange:String -> Void, onModeChange:() -> Void) {
		this.catalog = catalog;
		announcer = new SelectionAnnouncer(onUserChange);
		this.onModeChange = onModeChange;
	}

	public function text():String {
		return SelectionFormat.write(selection, catalog);
	}

	public function canUndo():Bool {
		return history.canUndo();
	}

	public function canRedo():Bool {
		return history.canRedo();
	}

	/**
		Applies a change of the user's; returns whether the selection changed. Changes under the
		same `mergeKey` in a row are undone as one.
	**/
	public function change(edit:Selection -> Void, ?mergeKey:String):Bool {
		final before = selection.copy();
		final beforeState = state(before);
		edit(selection);
		selection.settleSlotOrder(catalog);
		if (state(selection) == beforeState)
			return false;
		history.record(before, mergeKey);
		final now = state(selection);
		history.dropOpenStepIf(start -> state(start) == now);
		userChanged(before.mode);
		return true;
	}

	/** The rack the power supply and base lists, the slot view and the totals show; 0: the main rack. */
	public function shownRack():Int {
		if (rackShown > selection.racks.length)
			rackShown = selection.racks.length;
		return rackShown;
	}

	public function showRack(index:Int):Void {
		rackShown = index;
	}

	/** Chooses an item from a choice list: the CPU and main base for the main rack, the others for the rack shown. */
	public function choose(item:CatalogItem):Bool {
		return change(s -> s.chooseFor(rackFor(item.kind), item));
	}

	public function clearChoice(kind:ModuleKind):Bool {
		return change(s -> s.clearFor(rackFor(kind), kind));
	}

	/** Adds an expansion rack when the CPU drives one more, and shows it at once, so its power supply and base are chosen next. */
	public function addRack():Bool {
		if (!selection.canAddRack(catalog) || !change(s -> s.addRack()))
			return false;
		rackShown = selection.racks.length;
		return true;
	}

	public function removeShownRack():Bool {
		final index = shownRack();
		return change(s -> s.removeRack(index));
	}

	function rackFor(kind:ModuleKind):Int {
		return kind == Cpu || kind == Base ? 0 : shownRack();
	}

	public function undo():Bool {
		return restore(history.undo(selection));
	}

	public function redo():Bool {
		return restore(history.redo(selection));
	}

	/** Replaces the selection with one read from text; a text that cannot be read changes nothing. */
	public function load(text:String):ParseResult<SelectionReadResult> {
		final result = SelectionFormat.read(text, catalog);
		if (result.value != null)
			hostSets(result.value.selection);
		return result;
	}

	public function startNew():Void {
		hostSets(new Selection());
	}

	function hostSets(newSelection:Selection):Void {
		selection = newSelection;
		history.clear();
		announcer.hostKnows(text());
	}

	function restore(target:Null<Selection>):Bool {
		if (target == null)
			return false;
		final modeBefore = selection.mode;
		selection = target;
		userChanged(modeBefore);
		return true;
	}

	function userChanged(modeBefore:SelectionMode):Void {
		announcer.offer(text());
		if (selection.mode != modeBefore)
			onModeChange();
	}

	/** What tells two selections apart for the user: the text, and the mode even while nothing is chosen. */
	function state(of:Selection):String {
		return of.mode + "\n" + SelectionFormat.write(of, catalog);
	}
}
