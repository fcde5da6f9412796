package orvane.model;

/** The user's current choice: one CPU, power supply and base, and the slot modules. */
class Selection {
	public static inline final MAX_QUANTITY = 999;
	public static inline final MAX_REQUIRED_POINTS = 9999;

	public var mode:SelectionMode = ByModule;
	public var cpu:Null<CatalogItem>;
	public var power:Null<CatalogItem>;
	public var base:Null<CatalogItem>;

	/** Quantities set by hand, by item code: every slot module by module, only communication modules by I/O need. */
	final quantities:Map<String, Int> = [];

	/** By I/O need: the points the installation needs, and the module the planner uses per kind. */
	public final requiredPoints = new IoPoints();

	final plannerPicks:Map<String, CatalogItem> = [];

	public function new() {}

	public function isEmpty():Bool {
		if (cpu != null || power != null || base != null)
			return false;
		for (quantity in quantities)
			if (quantity > 0)
				return false;
		return mode == ByModule || requiredPoints.isZero();
	}

	public function quantityOf(item:CatalogItem):Int {
		final quantity = quantities[item.code];
		return quantity == null ? 0 : quantity;
	}

	/** Whether the user sets this item's quantity by hand in the current mode. */
	public function isHandPicked(item:CatalogItem):Bool {
		return item.kind == Comm || (mode == ByModule && ModuleKind.slotModules.contains(item.kind));
	}

	public function setQuantity(item:CatalogItem, quantity:Int):Void {
		if (!isHandPicked(item))
			return;
		final clamped = clamp(quantity, 0, MAX_QUANTITY);
		if (clamped == 0)
			quantities.remove(item.code);
		else
			quantities[item.code] = clamped;
	}

	public function setRequired(kind:ModuleKind, points:Int):Void {
		requiredPoints.set(kind, clamp(points, 0, MAX_REQUIRED_POINTS));
	}

	public function plannerPick(kind:ModuleKind, catalog:Catalog):Null<CatalogItem> {
		final pick = plannerPicks[kind];
		return pick != null ? pick : catalog.plannerDefault(kind);
	}

	public function setPlannerPick(item:CatalogItem):Void {
		if (ModuleKind.plannedIo.contains(item.kind))
			plannerPicks[item.kind] = item;
	}

	public function choose(item:CatalogItem):Void {
		switch (item.kind) {
			case Cpu: cpu = item;
			case Power: power = item;
			case Base: base = item;
			default:
		}
	}

	public function clearChoice(kind:ModuleKind):Void {
		switch (kind) {
			case Cpu: cpu = null;
			case Power: power = null;
			case Base: base = null;
			default:
		}
	}

	/** The slot modules in catalogue order with their quantities, planned ones included. */
	public function moduleLines(catalog:Catalog):Array<ModuleLine> {
		final plan = mode == ByIoNeed ? IoPlanner.plan(this, catalog) : [];
		final lines:Array<ModuleLine> = [];
		for (item in catalog.items) {
			final quantity = quantityOf(item) + plannedQuantity(plan, item);
			if (quantity > 0)
				lines.push(new ModuleLine(item, quantity));
		}
		return lines;
	}

	/**
		Changes the mode and carries the selection over: planned modules become hand-set
		quantities, and hand-set I/O modules become required points and planner picks.
	**/
	public function switchMode(newMode:SelectionMode, catalog:Catalog):Void {
		if (newMode == mode)
			return;
		if (newMode == ByModule) {
			final plan = IoPlanner.plan(this, catalog);
			mode = ByModule;
			for (line in plan)
				setQuantity(line.item, line.quantity);
		} else {
			final points = cpu == null ? new IoPoints() : cpu.points.copy();
			for (kind in ModuleKind.plannedIo) {
				var largestShare = 0;
				for (item in catalog.ofKind(kind)) {
					final quantity = quantityOf(item);
					points.addScaled(item.points, quantity);
					if (quantity * item.pointsOfOwnKind() > largestShare) {
						largestShare = quantity * item.pointsOfOwnKind();
						plannerPicks[kind] = item;
					}
					quantities.remove(item.code);
				}
			}
			mode = ByIoNeed;
			for (kind in ModuleKind.plannedIo)
				setRequired(kind, points.of(kind));
		}
	}

	public function clear():Void {
		mode = ByModule;
		cpu = power = base = null;
		quantities.clear();
		plannerPicks.clear();
		for (kind in ModuleKind.plannedIo)
			requiredPoints.set(kind, 0);
	}

	static function plannedQuantity(plan:Array<ModuleLine>, item:CatalogItem):Int {
		for (line in plan)
			if (line.item == item)
				return line.quantity;
		return 0;
	}

	static function clamp(value:Int, low:Int, high:Int):Int {
		return value < low ? low : value > high ? high : value;
	}
}
