package orvane.model;

/**
	The expansion racks the planner may add: every base and supply the catalogue offers (neither
	discontinued nor unknown), paired, each pair with the catalogue's interface module and cable. Pairs that
	another matches (as cheap, as roomy) are left out, since no plan is the worse without them;
	the rest cheapest first, then roomiest.
**/
class RackConfigs {
	public final usable:Bool;
	public final interfaceModule:Null<CatalogItem>;
	public final cable:Null<CatalogItem>;
	final bases:Array<CatalogItem>;
	final powers:Array<CatalogItem>;
	/** The pairs worked out per reserve of the racks' figures, each once. */
	final byReserve:Map<String, Array<RackConfig>> = [];
	/** The pairs ranked for a need (`ranked`), the latest few. */
	var byNeed:Map<String, RackRanking> = [];
	var needsKept = 0;
	static inline final NEEDS_KEPT = 32;
	static var last:Null<RackConfigs>;

	/**
		The racks `catalog` offers, worked out once for the parts in use: a copy of the catalogue
		(a selection read adds only items the catalogue lacks to one) offers the same.
	**/
	public static function of(catalog:Catalog):RackConfigs {
		final offered = new RackConfigs(catalog);
		if (last == null || !last.sameParts(offered))
			last = offered;
		return last;
	}

	function sameParts(other:RackConfigs):Bool {
		final same = (a:Array<CatalogItem>, b:Array<CatalogItem>) -> a.length == b.length && [for (i in 0...a.length) if (a[i] != b[i]) i].length == 0;
		return interfaceModule == other.interfaceModule && cable == other.cable && same(bases, other.bases) && same(powers, other.powers);
	}

	function new(catalog:Catalog) {
		bases = catalog.ofKind(ExpansionBase).filter(base -> base.isOffered());
		powers = catalog.ofKind(Power).filter(power -> power.isOffered());
		interfaceModule = catalog.rackPart(ExpansionInterface);
		cable = catalog.rackPart(ExpansionCable);
		usable = bases.length > 0 && powers.length > 0 && interfaceModule != null && cable != null;
	}

	/** The pairs that may be added with `reserve` kept, cheapest first. */
	function withReserve(reserve:Reserve):Array<RackConfig> {
		if (!usable)
			return [];
		final key = reserveKey(reserve);
		if (!byReserve.exists(key))
			byReserve[key] = pairs(reserve);
		return byReserve[key];
	}

	/**
		The pairs that may be added with `reserve` kept, for modules that need `need` (slots, 5 V,
		24 V) and together with the pieces pinned to one rack take `takes` at most: their room cut
		to `takes` (more room than the modules could take is no better, so racks alike in what
		matters collapse into the cheapest), those that do most of the work for their price first,
		so that a good plan bounds a search early. Worked out once for a reserve and need: the
		changes a remedy tries mostly plan the same modules.
	**/
	public function ranked(reserve:Reserve, need:Array<Int>, takes:Array<Int>):RackRanking {
		final key = reserveKey(reserve) + "/" + need.join(",") + "/" + takes.join(",");
		if (byNeed.exists(key))
			return byNeed[key];
		final all = withReserve(reserve);
		final cut = all.filter(c -> c.room[0] > takes[0] || c.room[1] > takes[1] || c.room[2] > takes[2]).length > 0;
		final candidates = !cut ? all : undominated([
			for (c in all) new RackConfig(c.base, c.power, c.cost, [for (d in 0...3) c.room[d] < takes[d] ? c.room[d] : takes[d]])
		]);
		final byShare = [for (c in candidates) {config: c, share: priceOfShare(c, need)}];
		haxe.ds.ArraySort.sort(byShare, (a, b) -> a.share < b.share ? -1 : a.share > b.share ? 1 : a.config.cost - b.config.cost);
		if (++needsKept > NEEDS_KEPT) {
			byNeed = [];
			needsKept = 1;
		}
		return byNeed[key] = new RackRanking([for (s in byShare) s.config]);
	}

	/** The price of a rack per share of `need` it takes in its scarcest figure. */
	static function priceOfShare(c:RackConfig, need:Array<Int>):Float {
		var least = 1.0;
		for (d in 0...3)
			if (need[d] > 0)
				least = Math.min(least, c.room[d] / need[d]);
		return least <= 0 ? 1e12 : c.cost / least;
	}

	/** What tells reserves apart for the racks: the slots', 5 V's and 24 V's. */
	static function reserveKey(reserve:Reserve):String {
		return reserve.percent(Slots) + "," + reserve.percent(Current5V) + "," + reserve.percent(Current24V);
	}

	function pairs(reserve:Reserve):Array<RackConfig> {
		final all:Array<RackConfig> = [];
		final carried = price(interfaceModule) + price(cable);
		final powerPrices = [for (power in powers) price(power)];
		for (base in bases) {
			final basePrice = price(base) + carried;
			for (p in 0...powers.length) {
				final power = powers[p];
				final config = new RackConfig(base, power, basePrice + powerPrices[p], RackRoom.of(base, power, [interfaceModule, cable], reserve, false));
				if (config.room[0] >= 0 && config.room[1] >= 0 && config.room[2] >= 0)
					all.push(config);
			}
		}
		return undominated(all);
	}

	/**
		The racks no other matches (as cheap, as roomy), cheapest first. A rack is compared only
		with those kept before it (none dearer) that have as many slots and as much 5 V: kept by
		slots, most 5 V first, so that the comparison stops at the first with less.
	**/
	static function undominated(all:Array<RackConfig>):Array<RackConfig> {
		final sorted = all.copy();
		haxe.ds.ArraySort.sort(sorted, (a, b) -> a.cost != b.cost ? a.cost - b.cost : roominess(b) - roominess(a));
		final kept:Array<RackConfig> = [];
		final bySlots:Array<KeptRooms> = [];
		for (config in sorted) {
			final slots = config.room[0], room5V = config.room[1], room24V = config.room[2];
			if (!Lambda.exists(bySlots, k -> k.slots >= slots && k.holds(room5V, room24V))) {
				kept.push(config);
				var k = bySlots.filter(k -> k.slots == slots)[0];
				if (k == null)
					bySlots.push(k = new KeptRooms(slots));
				k.add(room5V, room24V);
			}
		}
		return kept;
	}

	/** The largest base and strongest supply: what the racks would need where no plan does. */
	public function largest():Null<ExpansionRack> {
		var base:Null<CatalogItem> = null;
		var power:Null<CatalogItem> = null;
		for (b in bases)
			if (base == null || b.slots > base.slots)
				base = b;
		for (p in powers)
			if (power == null || p.supply5V > power.supply5V)
				power = p;
		return usable ? new ExpansionRack(base, power) : null;
	}

	static function roominess(config:RackConfig):Int {
		return config.room[0] * 1000000 + Std.int(Math.min(config.room[2], 999999));
	}

	/** The item's price with the accessories each piece requires; a missing price counts as none. */
	static function price(item:CatalogItem):Int {
		var total = item.price == null ? 0 : item.price;
		for (need in item.accessories)
			total += (need.item.price == null ? 0 : need.item.price) * need.quantity;
		return total;
	}
}

/** The 5 V and 24 V room of the racks kept with one number of slots, most 5 V first. */
private class KeptRooms {
	public final slots:Int;
	final room5V:Array<Int> = [];
	final room24V:Array<Int> = [];

	public function new(slots) {
		this.slots = slots;
	}

	/** Whether one of them has at least `needed5V` and `needed24V`. */
	public function holds(needed5V:Int, needed24V:Int):Bool {
		var i = 0;
		while (i < room5V.length && room5V[i] >= needed5V) {
			if (room24V[i] >= needed24V)
				return true;
			i++;
		}
		return false;
	}

	public function add(with5V:Int, with24V:Int):Void {
		var i = 0;
		while (i < room5V.length && room5V[i] >= with5V)
			i++;
		room5V.insert(i, with5V);
		room24V.insert(i, with24V);
	}
}
