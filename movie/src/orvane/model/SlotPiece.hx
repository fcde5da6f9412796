package orvane.model;

/** One piece of a slot module in the selection's order, and the rack the user pinned it to. */
class SlotPiece {
	/** `rack` of a piece that the automatic fill places. */
	public static inline final UNPINNED = -1;

	public final item:CatalogItem;
	/** The rack it stays in (0: the main one), or UNPINNED. */
	public final rack:Int;

	public function new(item:CatalogItem, rack = UNPINNED) {
		this.item = item;
		this.rack = rack;
	}

	public function isPinned():Bool {
		return rack != UNPINNED;
	}
}
