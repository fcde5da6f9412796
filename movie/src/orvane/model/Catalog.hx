package orvane.model;

/** The products the movie offers, in the order of the catalogue file. */
class Catalog {
	public final items:Array<CatalogItem>;
	/** Entries of the file that were left out because they were damaged or repeated. */
	public final skippedEntries:Int;

	final byCode:Map<String, CatalogItem> = [];

	public function new(items:Array<CatalogItem>, skippedEntries:Int) {
		this.items = items;
		this.skippedEntries = skippedEntries;
		for (item in items)
			byCode[item.code] = item;
	}

	public function find(code:String):Null<CatalogItem> {
		return byCode[code];
	}

	public function findOfKind(code:String, kind:ModuleKind):Null<CatalogItem> {
		final item = byCode[code];
		return item != null && item.kind == kind ? item : null;
	}

	public function ofKind(kind:ModuleKind):Array<CatalogItem> {
		return items.filter(item -> item.kind == kind);
	}

	/** The module the I/O planner uses for a kind unless the user picks another. */
	public function plannerDefault(kind:ModuleKind):Null<CatalogItem> {
		final candidates = ofKind(kind);
		for (item in candidates)
			if (item.preferredForPlanning)
				return item;
		return candidates.length > 0 ? candidates[0] : null;
	}
}
