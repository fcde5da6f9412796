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
	/** The pairs worked out per reserve (`Reserve.write`), each once. */
	final byReserve:Map<String, Array<RackConfig>> = [];
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
	public function withReserve(reserve:Reserve):Array<RackConfig> {
		if (!usable)
			return [];
		final key = reserve.write();
		if (!byReserve.exists(key))
			byReserve[key] = pairs(reserve);
		return byReserve[key];
	}

	function pairs(reserve:Reserve):Array<RackConfig> {
		final all:Array<RackConfig> = [];
		for (base in bases)
			for (power in powers) {
				final config = new RackConfig(base, power, price(base) + price(power) + price(interfaceModule) + price(cable),
					RackRoom.of(base, power, [interfaceModule, cable], reserve, false));
				if (config.room[0] >= 0 && config.room[1] >= 0 && config.room[2] >= 0)
					all.push(config);
			}
		return undominated(all);
	}

	/** The racks no other matches (as cheap, as roomy), cheapest first. */
	public static function undominated(all:Array<RackConfig>):Array<RackConfig> {
		final sorted = all.copy();
		haxe.ds.ArraySort.sort(sorted, (a, b) -> a.cost != b.cost ? a.cost - b.cost : roominess(b) - roominess(a));
		final kept:Array<RackConfig> = [];
		for (config in sorted) {
			var matched = false;
			for (k in kept)
				if (k.matches(config)) {
					matched = true;
					break;
				}
			if (!matched)
				kept.push(config);
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
