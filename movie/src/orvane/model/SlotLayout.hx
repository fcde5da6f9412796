package orvane.model;

/**
	Which module sits in which slot of the base: the pieces in the selection's order (the user's,
	or catalogue order), planned ones included, each taking its slots side by side from slot 1.
	Slots past the base's last are where the modules that do not fit would go.
**/
class SlotLayout {
	/** Slots the base provides; 0 without a base. */
	public final baseSlots:Int;
	/** Slots the modules take. */
	public final slotsNeeded:Int;
	/** One entry per slot from slot 1, at most `limit` of them; null: free. */
	public final slots:Array<Null<SlotUse>> = [];
	/** Slots, free or taken, of the base or past it, that are not in `slots`. */
	public final slotsLeftOut:Int;

	/** `limit`: the most slots to lay out (a view's cells; quantities can run to thousands of slots). */
	public function new(selection:Selection, catalog:Catalog, limit:Int) {
		baseSlots = selection.base == null ? 0 : selection.base.slots;
		final pieces = selection.slotPieces(catalog);
		var needed = 0;
		for (piece in 0...pieces.length) {
			final item = pieces[piece];
			needed += item.slots;
			for (part in 0...item.slots)
				if (slots.length < limit)
					slots.push(new SlotUse(item, part > 0, piece));
		}
		slotsNeeded = needed;
		while (slots.length < baseSlots && slots.length < limit)
			slots.push(null);
		slotsLeftOut = Std.int(Math.max(baseSlots, needed)) - slots.length;
	}

	/** Whether slot `index` (from 0) lies past the base's last slot. */
	public function isBeyondBase(index:Int):Bool {
		return index >= baseSlots;
	}
}
