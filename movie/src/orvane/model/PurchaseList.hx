package orvane.model;

/**
	What a buyer orders for a selection: every item once with its quantity. The CPU, the power
	supplies, the main and expansion bases (planned racks included), one interface module and one
	cable per expansion rack (the catalogue's, added by themselves), then the slot modules,
	planned ones included, and last the accessories these items require; each kind in catalogue
	order.
**/
class PurchaseList {
	static final leadingKinds:Array<ModuleKind> = [Cpu, Power, Base, ExpansionBase, ExpansionInterface, ExpansionCable];

	/** `plan`: the selection's system when it is at hand. */
	public static function lines(selection:Selection, catalog:Catalog, ?plan:SystemPlan):Array<ModuleLine> {
		final system = plan != null ? plan : new SystemPlan(selection, catalog);
		final counts:Map<String, Int> = [];
		final count = (item:Null<CatalogItem>, quantity:Int) -> if (item != null && quantity > 0)
			counts[item.code] = (counts.exists(item.code) ? counts[item.code] : 0) + quantity;
		count(selection.cpu, 1);
		for (i in 0...system.rackCount()) {
			count(system.bases[i], 1);
			count(system.powers[i], 1);
		}
		for (kind in [ModuleKind.ExpansionInterface, ModuleKind.ExpansionCable])
			count(catalog.rackPart(kind), system.rackCount() - 1);
		final lines = [
			for (kind in leadingKinds)
				for (item in catalog.ofKind(kind))
					if (counts.exists(item.code)) new ModuleLine(item, counts[item.code])
		];
		return withAccessories(lines.concat(system.modules), catalog);
	}

	/** The lines and, after them, what their items require to be ordered with them. */
	static function withAccessories(lines:Array<ModuleLine>, catalog:Catalog):Array<ModuleLine> {
		final counts:Map<String, Int> = [];
		for (line in lines)
			for (need in line.item.accessories)
				counts[need.item.code] = (counts.exists(need.item.code) ? counts[need.item.code] : 0) + need.quantity * line.quantity;
		return lines.concat([for (item in catalog.ofKind(Accessory)) if (counts.exists(item.code)) new ModuleLine(item, counts[item.code])]);
	}

	/** The lines the totals count: all but those of items the catalogue lacks, which are ordered by nobody's figures. */
	public static function counted(lines:Array<ModuleLine>):Array<ModuleLine> {
		return lines.filter(line -> !line.item.unknown);
	}

	/** The pieces the counted lines order. */
	public static function pieces(lines:Array<ModuleLine>):Int {
		var pieces = 0;
		for (line in counted(lines))
			pieces += line.quantity;
		return pieces;
	}

	/** What the counted lines cost in fen; null when the catalogue gives no prices or such a line has none. */
	public static function priceTotal(lines:Array<ModuleLine>, catalog:Catalog):Null<Float> {
		if (catalog.currency == null)
			return null;
		var total = 0.0;
		for (line in counted(lines)) {
			if (line.item.price == null)
				return null;
			total += line.item.price * 1.0 * line.quantity;
		}
		return total;
	}
}
