package orvane.model;

/**
	The user's current choice: one CPU, power supply and base (the main rack), the expansion
	racks with their own base and power supply, the slot modules, the reserve kept of each limit,
	and whose project it is. Module
	quantities set by hand are kept in every mode: by module they are every slot module, by I/O
	need the communication modules and the I/O modules the user chose before switching (kept
	modules, which the planner counts before it adds modules of its own); by I/O need the planner
	also adds the expansion racks the modules need after the user's own (SystemPlan). The modules
	stand in the bases in catalogue order unless the user moved them or pinned some to a rack
	(`slotOrder`), filling the main rack first and then each expansion rack in turn (RackFill).
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
	public var reserve = new Reserve();
	/** The enclosure the controller goes in, when the user entered one (the cabinet's figures). */
	public var enclosure:Null<Enclosure>;
	/** The catalogue edition the selection was last changed with (as read, until a change); null: none known. */
	public var edition:Null<String>;

	/** Quantities set by hand, by item code. */
	final quantities:Map<String, Int> = [];

	/** By I/O need: the points the installation needs, and the module the planner uses per kind. */
	public final requiredPoints = new IoPoints();

	final plannerPicks:Map<String, CatalogItem> = [];

	/** The pieces in order, as the user arranged or pinned them; null: catalogue order, none pinned. */
	var slotOrder:Null<Array<SlotPiece>>;

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
		twin.reserve = reserve.copy();
		twin.enclosure = enclosure;
		twin.edition = edition;
		for (code => quantity in quantities)
			twin.quantities[code] = quantity;
		twin.requiredPoints.addScaled(requiredPoints, 1);
		for (kind => item in plannerPicks)
			twin.plannerPicks[kind] = item;
		twin.slotOrder = slotOrder == null ? null : slotOrder.copy();
		return twin;
	}

	public function isEmpty():Bool {
		if (cpu != null || power != null || base != null || racks.length > 0 || !project.isEmpty() || !reserve.isNone() || enclosure != null)
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

	/** The planner picks the catalogue in use does not have (kept from the text read). */
	public function unknownPicks():Array<CatalogItem> {
		return [for (kind in ModuleKind.plannedIo) if (plannerPicks[kind] != null && plannerPicks[kind].unknown) plannerPicks[kind]];
	}

	/**
		Lets the planner plan with the catalogue's own modules where a pick is one it does not have,
		and the fill place the pieces pinned to racks the plan does not have.
	**/
	public function replaceUnknown(catalog:Catalog):Void {
		for (pick in unknownPicks())
			plannerPicks.remove(pick.kind);
		settleSlotOrder(catalog);
	}

	/** How many pieces of `item` the slot order holds (0 without an order of the user's). */
	public function orderedPiecesOf(item:CatalogItem):Int {
		return slotOrder == null ? 0 : slotOrder.filter(piece -> piece.item == item).length;
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

	/** By I/O need: gives the kept modules and the user's own expansion racks up to the planner ("全部重新规划"). */
	public function replanAll(catalog:Catalog):Void {
		releaseKeptModules(catalog);
		if (mode == ByIoNeed)
			racks.resize(0);
	}

	/** By I/O need: gives up the kept modules, so the planner derives every I/O module from the required points. */
	public function releaseKeptModules(catalog:Catalog):Void {
		for (line in keptModules(catalog))
			quantities.remove(line.item.code);
	}

	/** Puts `successor` wherever the selection names `item` (a discontinued one): as its choice, its quantity, its pick, its pieces. */
	public function replace(item:CatalogItem, successor:CatalogItem):Void {
		if (item.kind != successor.kind)
			return;
		for (index in 0...racks.length + 1)
			for (part in [ModuleKind.Cpu, ModuleKind.Power, ModuleKind.Base, ModuleKind.ExpansionBase])
				if (partOf(index, part) == item)
					setRackPart(index, part, successor);
		if (quantityOf(item) > 0) {
			final quantity = quantityOf(item);
			store(item, 0);
			store(successor, quantityOf(successor) + quantity);
		}
		if (plannerPicks[item.kind] == item)
			plannerPicks[item.kind] = successor;
		if (slotOrder != null)
			slotOrder = [for (piece in slotOrder) piece.item == item ? new SlotPiece(successor, piece.rack) : piece];
	}

	/** What `kind` names in rack `index` (0: the main rack's CPU, power supply and base). */
	function partOf(index:Int, kind:ModuleKind):Null<CatalogItem> {
		final rack = index == 0 ? null : racks[index - 1];
		return switch (kind) {
			case Cpu: index == 0 ? cpu : null;
			case Power: index == 0 ? power : rack.power;
			case Base: index == 0 ? base : null;
			case ExpansionBase: index == 0 ? null : rack.base;
			default: null;
		}
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
		return racksToAdd(catalog) > 0;
	}

	/** How many expansion racks may be added to the selection's own. */
	public function racksToAdd(catalog:Catalog):Int {
		final room = Std.int(Math.min(basesAllowed(catalog) - 1, MAX_RACKS)) - racks.length;
		return room > 0 ? room : 0;
	}

	/** By I/O need: keeps the planned racks up to rack `index` as the selection's own, with the parts the planner gave them. */
	public function keepPlannedRacks(plan:SystemPlan, index:Int):Void {
		final kept = index - racks.length;
		if (kept > 0)
			for (rack in plan.planned.slice(0, kept))
				racks.push(rack.copy());
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

	/** Removes expansion rack `index` (from 1); its modules move on to the racks after it, pinned ones unpinned. */
	public function removeRack(index:Int):Void {
		if (index < 1 || index > racks.length)
			return;
		racks.splice(index - 1, 1);
		if (slotOrder != null)
			slotOrder = [
				for (piece in slotOrder)
					piece.rack == index ? new SlotPiece(piece.item) : piece.rack > index ? new SlotPiece(piece.item, piece.rack - 1) : piece
			];
	}

	/** Chooses the power supply or base of rack `index` (0: the main rack, whose CPU `choose` sets). */
	public function chooseFor(index:Int, item:CatalogItem):Void {
		setRackPart(index, item.kind, item);
	}

	public function clearFor(index:Int, kind:ModuleKind):Void {
		setRackPart(index, kind, null);
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

	/** The pieces in order: the user's (SlotOrder), or catalogue order; `modules` when the module lines are at hand. */
	public function slotPieces(catalog:Catalog, ?modules:Array<ModuleLine>):Array<SlotPiece> {
		return SlotOrder.arrange(slotOrder == null ? [] : slotOrder, modules != null ? modules : moduleLines(catalog));
	}

	/** Whether the pieces stand in an order of the user's rather than the catalogue's, or some are pinned. */
	public function hasOwnSlotOrder(catalog:Catalog):Bool {
		return slotOrder != null && !SlotOrder.isPlain(slotPieces(catalog), catalog);
	}

	/** Takes an order of pieces (as read from text); what does not match the modules is settled by `settleSlotOrder`. */
	public function setSlotOrder(pieces:Array<SlotPiece>):Void {
		slotOrder = pieces.copy();
	}

	/**
		Moves piece `index` one place left (-1) or right (+1) as the racks show it (RackFill.partnerFor);
		false when it cannot go that way.
	**/
	public function moveSlotPiece(index:Int, direction:Int, catalog:Catalog):Bool {
		final plan = new SystemPlan(this, catalog);
		final partner = plan.fill.partnerFor(index, direction);
		if (partner < 0)
			return false;
		final pieces = plan.pieces.copy();
		pieces[index] = plan.pieces[partner];
		pieces[partner] = plan.pieces[index];
		slotOrder = pieces;
		settleSlotOrder(catalog);
		return true;
	}

	/** Pins piece `index` to rack `rack` (SlotPiece.UNPINNED: gives it back to the automatic fill). */
	public function pinPiece(index:Int, rack:Int, catalog:Catalog):Void {
		pinPieces([index], rack, catalog);
	}

	/** Pins the pieces `indices` to rack `rack`, as one change. */
	public function pinPieces(indices:Array<Int>, rack:Int, catalog:Catalog):Void {
		final pieces = slotPieces(catalog);
		for (index in indices)
			if (index >= 0 && index < pieces.length)
				pieces[index] = new SlotPiece(pieces[index].item, rack);
		slotOrder = pieces;
		settleSlotOrder(catalog);
	}

	/**
		Brings the stored order in line with the modules and racks after a change: the pieces as
		they now stand, a pin to a rack the selection no longer has let go, or no order at all
		when that is catalogue order with nothing pinned. A selection therefore holds no order its
		text does not show.
	**/
	public function settleSlotOrder(catalog:Catalog):Void {
		if (slotOrder == null)
			return;
		final racks = new SystemPlan(this, catalog).rackCount();
		final pieces = [for (piece in slotPieces(catalog)) piece.rack >= racks ? new SlotPiece(piece.item) : piece];
		slotOrder = SlotOrder.isPlain(pieces, catalog) ? null : pieces;
	}

	/**
		Changes the mode and carries the selection over without changing a module. By I/O need,
		the modules the user set stay chosen as kept modules, the required points are the points
		they and the CPU give, and the module giving most points of a kind becomes its planner
		pick. Back by module, planned modules become hand-set quantities beside the kept ones, and
		planned racks the selection's own.
	**/
	public function switchMode(newMode:SelectionMode, catalog:Catalog):Void {
		if (newMode == mode)
			return;
		if (newMode == ByModule) {
			final plan = IoPlanner.plan(this, catalog);
			keepPlannedRacks(new SystemPlan(this, catalog), MAX_RACKS);
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
		reserve = new Reserve();
		enclosure = null;
		edition = null;
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
