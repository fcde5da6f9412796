package orvane.model;

/**
	The products the movie offers, in the order of the catalogue file, and its edition. The
	catalogue a selection read from text uses is a copy that also holds the items it named that the
	catalogue in use lacks (unknown items, each where the selection had it among the others, so
	that it is written back in its place).
**/
class Catalog {
	public final items:Array<CatalogItem>;
	/** Entries of the file that were left out because they were damaged or repeated. */
	public final skippedEntries:Int;
	/** The currency of the list prices (ISO 4217, "CNY"); null when the catalogue gives no prices. */
	public final currency:Null<String>;
	/** The catalogue's edition ("2026.2") and date ("2026-12-07"); null when it names none. */
	public final edition:Null<String>;
	public final date:Null<String>;

	final byCode:Map<String, CatalogItem> = [];
	final byKind:Map<String, Array<CatalogItem>> = [];

	public function new(items:Array<CatalogItem>, skippedEntries:Int, ?currency:String, ?edition:String, ?date:String) {
		this.items = items;
		this.skippedEntries = skippedEntries;
		this.currency = currency;
		this.edition = edition;
		this.date = date;
		for (item in items)
			index(item);
	}

	function index(item:CatalogItem):Void {
		byCode[item.code] = item;
		if (!byKind.exists(item.kind))
			byKind[item.kind] = [];
		byKind[item.kind].push(item);
	}

	/** The same catalogue, to which `keepGone` may add without changing this one. */
	public function copy():Catalog {
		return new Catalog(items.copy(), skippedEntries, currency, edition, date);
	}

	/** "产品目录 2026.2 版（2026-12-07）"; null without an edition. */
	public function editionText():Null<String> {
		return edition == null ? null : '产品目录 $edition 版' + (date == null ? "" : '（$date）');
	}

	/**
		The item for `code` that a selection names though the catalogue no longer has it
		(CatalogItem.gone), placed after `after` (or last); the one already made for it, if any.
	**/
	public function keepGone(code:String, kind:ModuleKind, ?after:CatalogItem):CatalogItem {
		final known = byCode[code];
		if (known != null)
			return known;
		final item = CatalogItem.gone(code, kind);
		final at = after == null ? -1 : items.indexOf(after);
		items.insert(at < 0 ? items.length : at + 1, item);
		index(item);
		return item;
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

	/** The module the I/O planner uses for a kind unless the user picks another; never a discontinued one, nor one it lacks. */
	public function plannerDefault(kind:ModuleKind):Null<CatalogItem> {
		final candidates = ofKind(kind).filter(item -> item.isOffered());
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
