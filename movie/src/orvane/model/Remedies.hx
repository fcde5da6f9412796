package orvane.model;

import haxe.ds.ArraySort;

/**
	For each limit the selection runs past (base slots, the main rack's 5 V or 24 V current, the
	CPU's I/O points), the smallest catalogue change that fixes it: the base, power supply or CPU of least
	capacity that makes the selection fit that limit when chosen instead. Each candidate is tried
	on a copy of the selection, so what it changes besides (a CPU's built-in points, a base's own
	5 V draw) is counted.
**/
class Remedies {
	public static function find(selection:Selection, catalog:Catalog):Array<Remedy> {
		final budget = new Budget(selection, catalog);
		final found:Array<Remedy> = [];
		if (budget.slotsExceeded())
			found.push(smallest(selection, catalog, Base, "槽位不足", b -> !b.slotsExceeded(),
				item -> '${item.slots} 槽'));
		final main = budget.main();
		if (main.over5V() || main.over24V())
			found.push(smallest(selection, catalog, Power, "电源容量不足",
				b -> !b.main().over5V() && !b.main().over24V() && (!b.main().needsExternal24V() || main.needsExternal24V()),
				item -> '5V ${item.supply5V} mA / 24V ${item.supply24V} mA'));
		if (budget.ioPointsExceeded())
			found.push(smallest(selection, catalog, Cpu, "I/O 点数超出", b -> !b.ioPointsExceeded(),
				item -> item.maxIoPoints == 0 ? "点数不限" : '${item.maxIoPoints} 点'));
		return found;
	}

	static function smallest(selection:Selection, catalog:Catalog, kind:ModuleKind, limit:String, fits:Budget -> Bool,
			capacity:CatalogItem -> String):Remedy {
		final candidates = catalog.ofKind(kind);
		ArraySort.sort(candidates, (a, b) -> compareCapacity(a, b));
		for (item in candidates) {
			final trial = selection.copy();
			trial.choose(item);
			if (fits(new Budget(trial, catalog)))
				return new Remedy(limit, item, '改用 ${item.code}（${capacity(item)}）');
		}
		return new Remedy(limit, null, '目录中没有能满足的${kind.label}，请减少模块');
	}

	/** Least capacity first; the sort is stable, so equals keep catalogue order. */
	static function compareCapacity(a:CatalogItem, b:CatalogItem):Int {
		return switch (a.kind) {
			case Base: a.slots - b.slots;
			case Power: a.supply5V != b.supply5V ? a.supply5V - b.supply5V : a.supply24V - b.supply24V;
			default: pointLimit(a) - pointLimit(b);
		}
	}

	/** A CPU that states no limit takes any number of points. */
	static function pointLimit(cpu:CatalogItem):Int {
		return cpu.maxIoPoints == 0 ? 0x7FFFFFFF : cpu.maxIoPoints;
	}
}
