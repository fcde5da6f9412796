import orvane.model.*;

/** A selection by I/O need for a test, built in a line: `PlannedSelection.on(catalog, "ZC-120", "ZP-P30", "ZB-B12").need(120, 80, 8, 4)`. */
class PlannedSelection {
	public final selection = new Selection();
	final catalog:Catalog;

	function new(catalog:Catalog) {
		this.catalog = catalog;
		selection.switchMode(ByIoNeed, catalog);
	}

	public static function on(catalog:Catalog, cpu:String, power:String, base:String):PlannedSelection {
		final built = new PlannedSelection(catalog);
		for (code in [cpu, power, base])
			built.selection.choose(catalog.find(code));
		return built;
	}

	/** Required DI, DO, AI and AO points. */
	public function need(di:Int, dout:Int, ai:Int, ao:Int):PlannedSelection {
		for (kind => points in [ModuleKind.DigitalIn => di, ModuleKind.DigitalOut => dout, ModuleKind.AnalogIn => ai, ModuleKind.AnalogOut => ao])
			selection.setRequired(kind, points);
		return this;
	}

	/** The module the planner uses for its kind. */
	public function pick(code:String):PlannedSelection {
		selection.setPlannerPick(catalog.find(code));
		return this;
	}

	public function comm(code:String, quantity:Int):PlannedSelection {
		selection.setQuantity(catalog.find(code), quantity);
		return this;
	}

	/** The same percentage of the slots, 5 V and 24 V (and none of the points). */
	public function reserve(percent:Int):PlannedSelection {
		for (kind in [LimitKind.Slots, LimitKind.Current5V, LimitKind.Current24V])
			selection.reserve.set(kind, percent);
		return this;
	}

	public function ownRack(base:String, power:String):PlannedSelection {
		selection.addRack();
		selection.chooseFor(selection.racks.length, catalog.find(base));
		selection.chooseFor(selection.racks.length, catalog.find(power));
		return this;
	}

	/** A random case small enough for the exhaustive reference: at most four bases, a dozen modules or so. */
	public static function draw(catalog:Catalog, random:Lcg):PlannedSelection {
		final any = (kind:ModuleKind) -> {
			final items = catalog.ofKind(kind).filter(i -> !i.discontinued);
			items[random.below(items.length)];
		};
		final built = on(catalog, ["ZC-110", "ZC-120", "ZC-220", "ZC-220"][random.below(4)], any(Power).code, any(Base).code);
		for (kind in ModuleKind.plannedIo)
			built.pick(any(kind).code);
		final limit = [ModuleKind.DigitalIn => 4, ModuleKind.DigitalOut => 4, ModuleKind.AnalogIn => 3, ModuleKind.AnalogOut => 3];
		for (kind in ModuleKind.plannedIo)
			if (random.below(4) > 0)
				built.selection.setRequired(kind, random.below(limit[kind] * built.selection.plannerPick(kind, catalog).pointsOfOwnKind() + 1));
		if (random.below(5) == 0)
			built.comm(any(Comm).code, 1 + random.below(2));
		for (kind in [LimitKind.Slots, LimitKind.Current5V, LimitKind.Current24V])
			if (random.below(5) < 2)
				built.selection.reserve.set(kind, 10 * (1 + random.below(3)));
		if (built.selection.cpu.maxBases > 1 && random.below(5) == 0)
			built.ownRack(any(ExpansionBase).code, any(Power).code);
		final pieces = built.selection.slotPieces(catalog);
		if (pieces.length > 0 && random.below(4) == 0)
			built.selection.pinPiece(random.below(pieces.length), random.below(built.selection.cpu.maxBases), catalog);
		return built;
	}
}

/** A small random generator of its own, so that a seed gives the same cases everywhere. */
class Lcg {
	var state:Float;

	public function new(seed:Int) {
		state = 1.0 + Math.abs(seed) % 2147483646.0;
	}

	/** 0 to n - 1. */
	public function below(n:Int):Int {
		state = state * 48271.0;
		state -= Math.ffloor(state / 2147483647.0) * 2147483647.0;
		return Std.int(state - Math.ffloor(state / n) * n);
	}
}
