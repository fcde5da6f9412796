package orvane.model;

/**
	Which module sits in which slot of one rack's base: the pieces in the selection's order (the
	user's, or catalogue order), planned ones included, each taking its slots side by side
	(RackFill). Slots past the last rack's base are where the modules that fit no rack would go.
**/
class SlotLayout {
	/** Slots the base provides; 0 without a base. */
	public final baseSlots:Int;
	/** Slots the modules of this rack take, those that fit no rack included for the last one. */
	public final slotsNeeded:Int;
	/** One entry per slot from slot 1, at most `limit` of them; null: free. */
	public final slots:Array<Null<SlotUse>> = [];
	/** Slots, free or taken, of the base or past it, that are not in `slots`. */
	public final slotsLeftOut:Int;
	/** Every piece of every rack from slot 1 of the main rack (SlotUse.piece counts them). */
	public final pieces:Array<CatalogItem>;

	/** `limit`: the most slots to lay out (a view's cells; quantities can run to thousands of slots); `rack`: 0 the main rack. */
	public function new(selection:Selection, catalog:Catalog, limit:Int, rack = 0) {
		final fill = new RackFill(selection, catalog);
		pieces = fill.pieces;
		final index = rack < 0 || rack >= fill.racks.length ? 0 : rack;
		final own = fill.racks[index];
		baseSlots = own.length;
		final last = index == fill.racks.length - 1;
		final all = last ? own.concat(cast fill.leftOver) : own;
		slotsNeeded = fill.uses(index).length;
		for (use in all)
			if (slots.length < limit)
				slots.push(use);
		slotsLeftOut = all.length - slots.length;
	}

	/** Whether slot `index` (from 0) lies past the base's last slot. */
	public function isBeyondBase(index:Int):Bool {
		return index >= baseSlots;
	}
}
