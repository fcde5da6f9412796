package orvane.model;

/**
	The user's current choice: one CPU, power supply and base (the main rack), the expansion
	racks with their own base and power supply, the slot modules, and whose project it is. Module
	quantities set by hand are kept in every mode: by module they are every slot module, by I/O
	need the communication modules and the I/O modules the user chose before switching (kept
	modules, which the planner counts before it adds modules of its own). The modules stand in
	the bases in catalogue order unless the user moved them (`slotOrder`), filling the main rack
	first and then each expansion rack in turn (RackFill).
**/
class Selection {
	public static inline final MAX_QUANTITY = 999;
	public static inline final MAX_REQUIRED_POINTS = 9999;
	/** Expansion racks a selection may hold, whatever its CPU drives. */
	public static inline final MAX_RACKS = CatalogParser.MAX_BASES - 1;

	public var mode:SelectionMode = ByModule;
	public var cpu:Null<CatalogItem>;
	public var power:Null<CatalogItem>;
	public var base:Null<CatalogItem>;
	/** The expansion racks in the order the cables join them, after the main rack. */
	public final racks:Array<ExpansionRack> = [];
	public var project = new ProjectData();

	/** Quantities set by hand, by item code. */
	final quantities:Map<String, Int> = [];

	/** By I/O need: the points the installation needs, and the module the planner uses per kind. */
	public final requiredPoints = new IoPoints();

	final plannerPicks:Map<String, CatalogItem> = [];

	/** The modules in the base from slot 1, one entry per piece, as the user arranged them; null: catalogue order. */
	var slotOrder:Null<Array<CatalogItem>>;

	public function new() {}

	public function copy():Selection {
		final twin = new Selection();
		twin.mode = mode;
		twin.cpu = cpu;
		twin.power = power;
		twin.base = base;
		for (rack in racks)
			twin.racks.push(rack.copy());
		twin.project = project.copy();
		for (code => quantity in quantities)
			twin.quantities[code] = quantity;
		twin.requiredPoints.addScaled(requiredPoints, 1);
		for (kind => item in plannerPicks)
			twin.plannerPicks[kind] = item;
		twin.slotOrder = slotOrder == null ? null : slotOrder.copy();
		return twin;
	}

	public function isEmpty():Bool {
		if (cpu != null || power != null || base != null || racks.length > 0 || !project.isEmpty())
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

	/** Whether the user sets this item's quantity by hand in the current mode (I/O modules kept by I/O need aside). */
	public function isHandPicked(item:CatalogItem):Bool {
		return item.kind == Comm || (mode == ByModule && ModuleKind.slotModules.contains(item.kind));
	}

	/** Sets the quantity of a module the user sets by hand in this mode (0 removes it), within 0..MAX_QUANTITY. */
	public function setQuantity(item:CatalogItem, quantity:Int):Void {
		if (isHandPicked(item))
			store(item, quantity);
	}

	/** By I/O need: keeps `quantity` pieces of an I/O module the user chose (as read from text). */
	public function keepModule(item:CatalogItem, quantity:Int):Void {
		if (mode == ByIoNeed && ModuleKind.plannedIo.contains(item.kind))
			store(item, quantity);
	}

	function store(item:CatalogItem, quantity:Int):Void {
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

	/** By I/O need: the I/O modules kept from the user's own choice, in catalogue order. */
	public function keptModules(catalog:Catalog):Array<ModuleLine> {
		if (mode != ByIoNeed)
			return [];
		return [
			for (item in catalog.items)
				if (ModuleKind.plannedIo.contains(item.kind) && quantityOf(item) > 0) new ModuleLine(item, quantityOf(item))
		];
	}

	/** Points of `kind` that the kept modules provide. */
	public function keptPoints(kind:ModuleKind, catalog:Catalog):Int {
		var points = 0;
		for (line in keptModules(catalog))
			points += line.item.points.of(kind) * line.quantity;
		return points;
	}

	/** By I/O need: gives up the kept modules, so the planner derives every I/O module from the required points. */
	public function releaseKeptModules(catalog:Catalog):Void {
		for (line in keptModules(catalog))
			quantities.remove(line.item.code);
	}

	public function choose(item:CatalogItem):Void {
		setRackPart(0, item.kind, item);
	}

	/** How many bases may be laid out: the CPU's number, or before a CPU is chosen the most any CPU of the catalogue drives. */
	public function basesAllowed(catalog:Catalog):Int {
		return cpu != null ? cpu.maxBases : catalog.mostBases();
	}

	/** Whether the user may add an expansion rack: the bases stay within what the CPU drives, and the racks within MAX_RACKS. */
	public function canAddRack(catalog:Catalog):Bool {
		return racks.length + 1 < basesAllowed(catalog) && racks.length < MAX_RACKS;
	}

	/**
		Adds an expansion rack after the last one; false when the selection holds as many as it may
		hold at all. A text read keeps its racks, whatever its CPU drives (the totals warn of more).
	**/
	public function addRack():Bool {
		if (racks.length >= MAX_RACKS)
			return false;
		racks.push(new ExpansionRack());
		return true;
	}

	/** Removes expansion rack `index` (from 1); its modules move on to the racks after it. */
	public function removeRack(index:Int):Void {
		if (index >= 1 && index <= racks.length)
			racks.splice(index - 1, 1);
	}

	/** Chooses the power supply or base of rack `index` (0: the main rack, whose CPU `choose` sets). */
	public function chooseFor(index:Int, item:CatalogItem):Void {
		setRackPart(index, item.kind, item);
	}

	public function clearFor(index:Int, kind:ModuleKind):Void {
		setRackPart(index, kind, null);
	}

	/** Slots of each rack's base from the main rack on; 0 where no base is chosen. */
	public function rackSlots():Array<Int> {
		return [base == null ? 0 : base.slots].concat([for (rack in racks) rack.base == null ? 0 : rack.base.slots]);
	}

	public function setProject(key:String, text:String):Void {
		project.set(key, text);
	}

	public function clearChoice(kind:ModuleKind):Void {
		setRackPart(0, kind, null);
	}

	/** Sets (null: clears) what `kind` names in rack `index`: the CPU, power supply or base of the main rack (0), the power supply or base of an expansion rack. */
	function setRackPart(index:Int, kind:ModuleKind, item:Null<CatalogItem>):Void {
		if (index == 0) {
			switch (kind) {
				case Cpu: cpu = item;
				case Power: power = item;
				case Base: base = item;
				default:
			}
			return;
		}
		final rack = racks[index - 1];
		if (rack == null)
			return;
		switch (kind) {
			case Power: rack.power = item;
			case ExpansionBase: rack.base = item;
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

	/** The pieces in the base from slot 1: the user's order (SlotOrder), or catalogue order. */
	public function slotPieces(catalog:Catalog):Array<CatalogItem> {
		return SlotOrder.arrange(slotOrder == null ? [] : slotOrder, moduleLines(catalog));
	}

	/** Whether the pieces stand in an order of the user's rather than the catalogue's. */
	public function hasOwnSlotOrder(catalog:Catalog):Bool {
		return slotOrder != null && !SlotOrder.isCatalogueOrder(slotPieces(catalog), catalog);
	}

	/** Takes an order of pieces (as read from text); what does not match the modules is settled by `settleSlotOrder`. */
	public function setSlotOrder(pieces:Array<CatalogItem>):Void {
		slotOrder = pieces.copy();
	}

	/**
		Moves the piece at `index` one place left (-1) or right (+1) in the base; false when it
		cannot go that way or would swap with a piece of the same module.
	**/
	public function moveSlotPiece(index:Int, direction:Int, catalog:Catalog):Bool {
		final pieces = slotPieces(catalog);
		final target = index + direction;
		if (index < 0 || index >= pieces.length || target < 0 || target >= pieces.length || pieces[index] == pieces[target])
			return false;
		final moved = pieces[index];
		pieces[index] = pieces[target];
		pieces[target] = moved;
		slotOrder = pieces;
		settleSlotOrder(catalog);
		return true;
	}

	/**
		Brings the stored order in line with the modules after a change: the pieces as they now
		stand, or none when that is catalogue order. A selection therefore holds no order its
		text does not show.
	**/
	public function settleSlotOrder(catalog:Catalog):Void {
		if (slotOrder == null)
			return;
		final pieces = slotPieces(catalog);
		slotOrder = SlotOrder.isCatalogueOrder(pieces, catalog) ? null : pieces;
	}

	/**
		Changes the mode and carries the selection over without changing a module. By I/O need,
		the modules the user set stay chosen as kept modules, the required points are the points
		they and the CPU give, and the module giving most points of a kind becomes its planner
		pick. Back by module, planned modules become hand-set quantities beside the kept ones.
	**/
	public function switchMode(newMode:SelectionMode, catalog:Catalog):Void {
		if (newMode == mode)
			return;
		if (newMode == ByModule) {
			final plan = IoPlanner.plan(this, catalog);
			mode = ByModule;
			for (line in plan)
				setQuantity(line.item, quantityOf(line.item) + line.quantity);
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
				}
			}
			mode = ByIoNeed;
			for (kind in ModuleKind.plannedIo)
				setRequired(kind, points.of(kind));
		}
		settleSlotOrder(catalog);
	}

	public function clear():Void {
		mode = ByModule;
		cpu = power = base = null;
		racks.resize(0);
		project = new ProjectData();
		quantities.clear();
		plannerPicks.clear();
		slotOrder = null;
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
