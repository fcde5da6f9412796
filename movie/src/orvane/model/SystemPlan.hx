package orvane.model;

/**
	The system a selection stands for, worked out once for everything that shows or counts it:
	the slot modules (planned ones included), their pieces in order, the racks (the main one, the
	selection's expansion racks and, by I/O need, those the planner adds) and where each piece
	stands (RackFill). Pieces of items the catalogue lacks are planned and counted nowhere: each
	stands after the piece before it, or on the rack it is pinned to.
**/
class SystemPlan {
	public final selection:Selection;
	public final modules:Array<ModuleLine>;
	public final pieces:Array<SlotPiece>;
	/** Per rack, the main one first: its base and power supply, null while not chosen. */
	public final bases:Array<Null<CatalogItem>>;
	public final powers:Array<Null<CatalogItem>>;
	/** The racks the planner adds after the selection's own (by I/O need only). */
	public final planned:Array<ExpansionRack>;
	public final fill:RackFill;
	/** By I/O need: what no number of racks the CPU drives could take, worded for the user. */
	public final shortfall:Null<String>;
	/** By I/O need: the reserves the planner could not keep, in the order it gave them up. */
	public final reservesGivenUp:Array<LimitKind>;
	/** By I/O need: the planner's search ran to its end, so no plan is better (true by module). */
	public final proven:Bool;

	/** `steps`: the planner's budget per set of reserves (a change tried as a remedy is planned with fewer). */
	public function new(selection:Selection, catalog:Catalog, steps = RackPlanner.STEPS) {
		this.selection = selection;
		modules = selection.moduleLines(catalog);
		pieces = selection.slotPieces(catalog, modules);
		bases = [selection.base].concat([for (rack in selection.racks) rack.base]);
		powers = [selection.power].concat([for (rack in selection.racks) rack.power]);
		// Pieces of items the catalogue lacks take no slot: racks are planned and filled as if they were not there.
		final counted = pieces.filter(piece -> !piece.item.unknown);
		final planner = selection.mode == ByIoNeed && selection.base != null ? new RackPlanner(selection, catalog, counted, bases, powers,
			selection.racksToAdd(catalog), steps) : null;
		planned = planner == null ? [] : planner.racks;
		shortfall = planner == null ? null : planner.shortfall;
		reservesGivenUp = planner == null ? [] : planner.givenUp;
		proven = planner == null || planner.proven;
		for (rack in planned) {
			bases.push(rack.base);
			powers.push(rack.power);
		}
		final capacities = [for (base in bases) base == null ? 0 : base.slots];
		final places = planner != null ? planner.places : RackFill.firstFitting(counted,
			[[for (c in capacities) selection.reserve.usable(Slots, c)], capacities]);
		fill = new RackFill(pieces, capacities, RackFill.withUncounted(pieces, places, capacities.length));
	}

	/** Racks, the main one included. */
	public function rackCount():Int {
		return bases.length;
	}

	/** Whether rack `index` is one the planner adds. */
	public function isPlanned(index:Int):Bool {
		return index >= bases.length - planned.length;
	}
}
