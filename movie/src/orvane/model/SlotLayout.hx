package orvane.model;

/**
	Which module sits in which slot of one rack's base: the pieces in the selection's order (the
	user's, or catalogue order), planned ones included, each taking its slots side by side
	(RackFill). Slots past the base are where the pieces it cannot hold would go (with the last
	rack, those that fit no rack).
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
	final fill:RackFill;

	/**
		`limit`: the most slots to lay out (a view's cells; quantities can run to thousands of
		slots); `rack`: 0 the main rack; `plan`: the selection's system when it is at hand.
	**/
	public function new(selection:Selection, catalog:Catalog, limit:Int, rack = 0, ?plan:SystemPlan) {
		fill = (plan != null ? plan : new SystemPlan(selection, catalog)).fill;
		final index = rack < 0 || rack >= fill.racks.length ? 0 : rack;
		final own = fill.racks[index];
		baseSlots = own.length;
		final all = own.concat(cast fill.beyond[index]);
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

	/** The piece that piece `index` changes places with when moved left (-1) or right (+1); -1: it cannot go that way. */
	public function partnerFor(index:Int, direction:Int):Int {
		return fill.partnerFor(index, direction);
	}

	/** Pieces of every rack (SlotUse.piece counts them). */
	public function pieceCount():Int {
		return fill.pieces.length;
	}
}
