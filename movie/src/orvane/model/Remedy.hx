package orvane.model;

/** A limit the selection runs past and the catalogue item that fixes it; no item when the catalogue has none that does. */
class Remedy {
	/** The limit, worded for the user ("槽位不足"). */
	public final limit:String;
	public final item:Null<CatalogItem>;
	/** What to do, worded for the user: the item to choose, or why there is none. */
	public final advice:String;

	public function new(limit:String, item:Null<CatalogItem>, advice:String) {
		this.limit = limit;
		this.item = item;
		this.advice = advice;
	}
}
