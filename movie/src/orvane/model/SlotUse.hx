package orvane.model;

/** A slot taken by a module; a module wider than one slot continues into the slots after its first. */
class SlotUse {
	public final item:CatalogItem;
	/** Not the module's first slot. */
	public final continued:Bool;
	/** Which piece of the selection's order it is (the index `Selection.moveSlotPiece` and `pinPiece` take). */
	public final piece:Int;
	/** The user pinned the piece to its rack. */
	public final pinned:Bool;

	public function new(item:CatalogItem, continued:Bool, piece:Int, pinned:Bool) {
		this.item = item;
		this.continued = continued;
		this.piece = piece;
		this.pinned = pinned;
	}
}
