package orvane.model;

/**
	Which piece stands in which slot of which rack. The pieces, in the selection's order, fill the
	main rack from slot 1 and then each expansion rack in turn; a piece wider than what is left of
	a rack starts the next one. Pieces that no rack has room for are left over, in order.
**/
class RackFill {
	/** Per rack from the main one: one entry per slot of its base; null: free. */
	public final racks:Array<Array<Null<SlotUse>>> = [];
	/** The slots the pieces no rack has room for would take. */
	public final leftOver:Array<SlotUse> = [];
	/** The pieces from slot 1 of the main rack, the index `Selection.moveSlotPiece` takes. */
	public final pieces:Array<CatalogItem>;

	public function new(selection:Selection, catalog:Catalog) {
		pieces = selection.slotPieces(catalog);
		final capacities = selection.rackSlots();
		for (capacity in capacities)
			racks.push([for (_ in 0...capacity) null]);
		var rack = 0;
		var used = 0;
		for (piece in 0...pieces.length) {
			final item = pieces[piece];
			while (rack < capacities.length && used + item.slots > capacities[rack]) {
				rack++;
				used = 0;
			}
			for (part in 0...item.slots) {
				final use = new SlotUse(item, part > 0, piece);
				if (rack < capacities.length)
					racks[rack][used + part] = use;
				else
					leftOver.push(use);
			}
			if (rack < capacities.length)
				used += item.slots;
		}
	}

	/** The modules in rack `index` with their quantities, in catalogue order. */
	public function modulesIn(index:Int, catalog:Catalog):Array<ModuleLine> {
		final counts:Map<String, Int> = [];
		for (use in uses(index))
			if (!use.continued)
				counts[use.item.code] = (counts.exists(use.item.code) ? counts[use.item.code] : 0) + 1;
		return [for (item in catalog.items) if (counts.exists(item.code)) new ModuleLine(item, counts[item.code])];
	}

	/** The slots taken in rack `index`, the left-over ones counted with the last rack (they would go there). */
	public function uses(index:Int):Array<SlotUse> {
		final taken = [for (use in racks[index]) if (use != null) use];
		return index == racks.length - 1 ? taken.concat(leftOver) : taken;
	}
}
