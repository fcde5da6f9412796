package orvane.model;

/** A catalogue item with the number of pieces selected. */
class ModuleLine {
	public final item:CatalogItem;
	public final quantity:Int;

	public function new(item:CatalogItem, quantity:Int) {
		this.item = item;
		this.quantity = quantity;
	}
}
