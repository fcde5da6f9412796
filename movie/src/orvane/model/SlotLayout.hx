package orvane.model;

/**
	Which module sits in which slot of one rack's base: the pieces in the selection's order (the
	user's, or catalogue order), planned ones included, each taking its slots side by side
	(RackFill). Slots past the base are where the pieces it cannot hold would go (with the last
	rack, those that fit no rack). A piece of an item the catalogue lacks stands where its order
	puts it, between the slots, with no number of its own.
**/
class SlotLayout {
	/** Slots the base provides; 0 without a base. */
	public final baseSlots:Int;
	/** Slots the modules of this rack take, those that fit no rack included for the last one. */
	public final slotsNeeded:Int;
	/**
		One entry per cell from slot 1, at most `limit` of them: a slot (null: free), or a piece
		that takes none (an item the catalogue lacks) where it stands among them.
	**/
	public final slots:Array<Null<SlotUse>> = [];
	/** Slots, free or taken, of the base or past it, that are not in `slots`. */
	public final slotsLeftOut:Int;
	/** Per entry of `slots`: its slot number from 1; null for a piece that takes no slot. */
	final numbers:Array<Null<Int>> = [];
	final fill:RackFill;

	/**
		`limit`: the most slots to lay out (a view's cells; quantities can run to thousands of
		slots); `rack`: 0 the main rack; `plan`: the selection's system when it is at hand.
	**/
	public function new(selection:Selection, catalog:Catalog, limit:Int, rack = 0, ?plan:SystemPlan) {
		fill = (plan != null ? plan : new SystemPlan(selection, catalog)).fill;
		final index = rack < 0 || rack >= fill.racks.length ? 0 : rack;
		baseSlots = fill.racks[index].length;
		slotsNeeded = fill.uses(index).length;
		var number = 0;
		for (use in fill.cells(index)) {
			final counted = use == null || use.item.slots > 0;
			if (counted)
				number++;
			if (slots.length < limit) {
				slots.push(use);
				numbers.push(counted ? number : null);
			}
		}
		slotsLeftOut = number - numbers.filter(n -> n != null).length;
	}

	/** The slot number (from 1) of entry `index`; null for a piece that takes no slot. */
	public function slotNumber(index:Int):Null<Int> {
		return numbers[index];
	}

	/** Whether entry `index` (from 0) is a slot past the base's last one. */
	public function isBeyondBase(index:Int):Bool {
		return numbers[index] != null && numbers[index] > baseSlots;
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
