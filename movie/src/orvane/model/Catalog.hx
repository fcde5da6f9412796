package orvane.model;

/** The products the movie offers, in the order of the catalogue file. */
class Catalog {
	public final items:Array<CatalogItem>;
	/** Entries of the file that were left out because they were damaged or repeated. */
	public final skippedEntries:Int;
	/** The currency of the list prices (ISO 4217, "CNY"); null when the catalogue gives no prices. */
	public final currency:Null<String>;

	final byCode:Map<String, CatalogItem> = [];
	final byKind:Map<String, Array<CatalogItem>> = [];

	public function new(items:Array<CatalogItem>, skippedEntries:Int, ?currency:String) {
		this.items = items;
		this.skippedEntries = skippedEntries;
		this.currency = currency;
		for (item in items) {
			byCode[item.code] = item;
			if (!byKind.exists(item.kind))
				byKind[item.kind] = [];
			byKind[item.kind].push(item);
		}
	}

	public function find(code:String):Null<CatalogItem> {
		return byCode[code];
	}

	public function findOfKind(code:String, kind:ModuleKind):Null<CatalogItem> {
		final item = byCode[code];
		return item != null && item.kind == kind ? item : null;
	}

	/** The items of `kind` in catalogue order, as an array of the caller's own. */
	public function ofKind(kind:ModuleKind):Array<CatalogItem> {
		final found = byKind[kind];
		return found == null ? [] : found.copy();
	}

	/** The module the I/O planner uses for a kind unless the user picks another. */
	public function plannerDefault(kind:ModuleKind):Null<CatalogItem> {
		final candidates = ofKind(kind);
		for (item in candidates)
			if (item.preferredForPlanning)
				return item;
		return candidates.length > 0 ? candidates[0] : null;
	}

	/** The interface module or cable each expansion rack gets: the one marked `plan="1"`, else the first. */
	public function rackPart(kind:ModuleKind):Null<CatalogItem> {
		return plannerDefault(kind);
	}

	/** The most bases any CPU of the catalogue drives: how many racks can be laid out before a CPU is chosen. */
	public function mostBases():Int {
		var most = 1;
		for (cpu in ofKind(Cpu))
			if (cpu.maxBases > most)
				most = cpu.maxBases;
		return most;
	}
}
