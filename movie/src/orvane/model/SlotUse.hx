package orvane.model;

/** A slot taken by a module; a module wider than one slot continues into the slots after its first. */
class SlotUse {
	public final item:CatalogItem;
	/** Not the module's first slot. */
	public final continued:Bool;

	public function new(item:CatalogItem, continued:Bool) {
		this.item = item;
		this.continued = continued;
	}
}
