package orvane.model;

/** A slot taken by a module; a module wider than one slot continues into the slots after its first. */
class SlotUse {
	public final item:CatalogItem;
	/** Not the module's first slot. */
	public final continued:Bool;
	/** Which piece of the base it is, counted from slot 1 (the index `Selection.moveSlotPiece` takes). */
	public final piece:Int;

	public function new(item:CatalogItem, continued:Bool, piece:Int) {
		this.item = item;
		this.continued = continued;
		this.piece = piece;
	}
}
