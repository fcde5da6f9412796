package orvane.model;

/**
	The selection as the user edits it: each change, undo and redo goes through here, so every
	one is recorded for undo, tells the host the new text (`SelectionAnnouncer`) and reports a
	change of mode. A selection the host sets (load, new) starts a new history. The editor also
	knows the rack the user works on, which the power supply and base choices go to; choosing
	for a rack the planner added keeps the planned racks up to it as the selection's own.
**/
class SelectionEditor {
	public var selection(default, null) = new Selection();
	/** The rack shown: 0 the main one, then the expansion racks; never past the last rack. */
	var rackShown = 0;
	/** The selection's system and the limits it runs past, worked out once per change. */
	var currentPlan:Null<SystemPlan>;
	var currentOverruns:Null<Array<Overrun>>;

	/** The catalogue the selection uses: the one in use, or the copy a selection read from text brought (SelectionReadResult). */
	public var catalog(default, null):Catalog;
	final inUse:Catalog;
	final history = new SelectionHistory();
	/** The selection the host last set by text, for what its open told the user (null after a new one). */
	var opened:Null<SelectionReadResult>;
	/** A dialog is open over the screen: until it closes, nothing changes the selection (its own answer comes after it closed). */
	var held = false;
	final announcer:SelectionAnnouncer;
	final onModeChange:() -> Void;
	/** The message of the last action the screen shows (a text that could not be read, until the next change). */
	public final status = new StatusLine();

	/** `onUserChange`: the selection text after a change by the user; `onModeChange`: such a change switched the mode. */
	public function new(catalog:Catalog, onUserChange:String -> Void, onModeChange:() -> Void) {
		this.catalog = inUse = catalog;
		announcer = new SelectionAnnouncer(onUserChange);
		this.onModeChange = onModeChange;
	}

	public function text():String {
		return SelectionFormat.write(selection, catalog);
	}

	/** The bill of materials for the host (BomFormat); "" while nothing is selected. */
	public function bomText():String {
		return BomFormat.write(selection, catalog);
	}

	public function canUndo():Bool {
		return history.canUndo();
	}

	public function canRedo():Bool {
		return history.canRedo();
	}

	/** A dialog opened over the screen (`true`) or closed: while one is open, no change, undo or redo is made. */
	public function hold(dialogOpen:Bool):Void {
		held = dialogOpen;
	}

	/**
		Makes what the user asked on the screen, one step to undo; returns whether the selection
		changed. Counts typed in a field come under the field's `mergeKey` (QuantityStepper), so the
		steps of one typing are undone as one. Once the selection really changed, a failure shown in
		the status line goes.
	**/
	public function apply(action:SelectionAction, ?mergeKey:String):Bool {
		final changed = switch (action) {
			case Choose(item): choose(item);
			case ClearChoice(kind): clearChoice(kind);
			case SetQuantity(item, quantity): change(s -> s.setQuantity(item, quantity), mergeKey);
			case SetRequired(kind, points): change(s -> s.setRequired(kind, points), mergeKey);
			case SetPick(item): change(s -> s.setPlannerPick(item));
			case ReplanAll: change(s -> s.replanAll(catalog));
			case ShowRack(index):
				showRack(index);
				false;
			case AddRack: addRack();
			case RemoveShownRack: removeShownRack();
			case MoveSlotPiece(index, direction): change(s -> s.moveSlotPiece(index, direction, catalog));
			case PinPiece(index, rack): pin(index, rack);
			case SetReserve(reserve): change(s -> s.reserve = reserve);
			case SetEnclosure(enclosure): change(s -> s.enclosure = enclosure);
			case SetProject(values): change(s -> {
					for (key => text in values)
						s.setProject(key, text);
				});
			case SwitchMode(mode): change(s -> s.switchMode(mode, catalog));
			case ApplyRemedy(remedy): change(remedy.apply);
			case ReplaceUnknown: change(s -> s.replaceUnknown(catalog));
			case Undo: undo();
			case Redo: redo();
		}
		if (changed)
			status.selectionChanged();
		return changed;
	}

	/**
		Applies a change of the user's; returns whether the selection changed. Changes under the
		same `mergeKey` in a row are undone as one. Nothing changes while a dialog is open.
	**/
	public function change(edit:Selection -> Void, ?mergeKey:String):Bool {
		if (held)
			return false;
		final before = selection.copy();
		final beforeState = state(before);
		edit(selection);
		currentPlan = null;
		selection.settleSlotOrder(catalog);
		if (state(selection) == beforeState)
			return false;
		selection.edition = catalog.edition;
		history.record(before, mergeKey);
		final now = state(selection);
		history.dropOpenStepIf(start -> state(start) == now);
		userChanged(before.mode);
		return true;
	}

	/** The selection's system (SystemPlan), worked out again only after a change. */
	public function plan():SystemPlan {
		if (currentPlan == null) {
			currentPlan = new SystemPlan(selection, catalog);
			currentOverruns = null;
		}
		return currentPlan;
	}

	/** The limits the selection runs past or whose reserve it eats, with their remedies (Remedies), worked out again only after a change. */
	public function overruns():Array<Overrun> {
		final system = plan();
		if (currentOverruns == null)
			currentOverruns = Remedies.find(selection, catalog, system);
		return currentOverruns;
	}

	/** The pieces pinned to a rack the plan does not have (kept so from the text read, until the first change). */
	public function pinsPastRacks():Array<SlotPiece> {
		final system = plan();
		return system.pieces.filter(piece -> piece.rack >= system.rackCount());
	}

	/** The rack the power supply and base lists, the slot view and the totals show; 0: the main rack. */
	public function shownRack():Int {
		if (rackShown >= plan().rackCount())
			rackShown = plan().rackCount() - 1;
		return rackShown;
	}

	function showRack(index:Int):Void {
		rackShown = index;
	}

	/** Chooses an item from a choice list: the CPU and main base for the main rack, the others for the rack shown. */
	function choose(item:CatalogItem):Bool {
		final rack = rackFor(item.kind);
		final system = plan();
		return change(s -> {
			s.keepPlannedRacks(system, rack);
			s.chooseFor(rack, item);
		});
	}

	function clearChoice(kind:ModuleKind):Bool {
		final rack = rackFor(kind);
		final system = plan();
		return change(s -> {
			s.keepPlannedRacks(system, rack);
			s.clearFor(rack, kind);
		});
	}

	/** Adds an expansion rack when the CPU drives one more, and shows it at once, so its power supply and base are chosen next. */
	function addRack():Bool {
		if (!selection.canAddRack(catalog) || !change(s -> s.addRack()))
			return false;
		rackShown = selection.racks.length;
		return true;
	}

	/** Removes the rack shown when it is one of the selection's own (the planner's follow the I/O need). */
	function removeShownRack():Bool {
		final index = shownRack();
		return !plan().isPlanned(index) && change(s -> s.removeRack(index));
	}

	/** Pins piece `index` to `rack` (or lets it go back to the automatic fill) and shows the rack it now stands in. */
	function pin(index:Int, rack:Int):Bool {
		if (!change(s -> s.pinPiece(index, rack, catalog)))
			return false;
		rackShown = plan().fill.rackOf[index];
		return true;
	}

	function rackFor(kind:ModuleKind):Int {
		return kind == Cpu || kind == Base ? 0 : shownRack();
	}

	function undo():Bool {
		return !held && restore(history.undo(selection));
	}

	function redo():Bool {
		return !held && restore(history.redo(selection));
	}

	/**
		Replaces the selection with one read from text; a text that cannot be read (or none) changes
		nothing, and the status line says why until the next change.
	**/
	public function load(text:Null<String>):ParseResult<SelectionReadResult> {
		final result = text == null ? ParseResult.failure("数据为空") : SelectionFormat.read(text, inUse);
		if (result.value == null) {
			status.show("无法读取选型数据：" + result.error + "。当前选型保持不变。", Failure);
			return result;
		}
		hostSets(result.value.selection, result.value.catalog);
		opened = result.value;
		status.clear();
		return result;
	}

	public function startNew():Void {
		hostSets(new Selection(), inUse);
		opened = null;
		status.clear();
	}

	/** What the open of the selection told the user, as far as it still holds (SelectionReadResult.notice); null when nothing does. */
	public function openNotice():Null<String> {
		return opened == null ? null : opened.notice(selection, plan());
	}

	function hostSets(newSelection:Selection, itsCatalog:Catalog):Void {
		held = false;
		selection = newSelection;
		catalog = itsCatalog;
		currentPlan = null;
		history.clear();
		announcer.hostKnows(text());
	}

	function restore(target:Null<Selection>):Bool {
		if (target == null)
			return false;
		final modeBefore = selection.mode;
		selection = target;
		currentPlan = null;
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
