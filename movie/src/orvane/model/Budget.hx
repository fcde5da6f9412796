package orvane.model;

/**
	Running totals of a selection against what its CPU, bases and power supplies allow: per rack
	(RackBudget, planned racks included) and overall, and how much of each the reserve leaves
	usable. Without expansion racks the overall figures are the main rack's.
**/
class Budget {
	public final racks:Array<RackBudget> = [];
	public final points:IoPoints;
	public final slotsUsed:Int;
	public final slotsAvailable:Int;
	public final draw5V:Int;
	public final draw24V:Int;
	public final supply5V:Int;
	public final supply24V:Int;
	public final maxIoPoints:Int;
	/** The CPU's points that may be used with the reserve kept (0: no limit). */
	public final usableIoPoints:Int;
	/** Bases of the selection, the main one included, and how many its CPU drives (0: no CPU). */
	public final bases:Int;
	public final maxBases:Int;
	final reserve:Reserve;
	final hasCpu:Bool;
	final fill:RackFill;
	final lacksRackParts:Bool;
	final shortfall:Null<String>;

	/** `plan`: the selection's system when it is at hand. */
	public function new(selection:Selection, catalog:Catalog, ?plan:SystemPlan) {
		final system = plan != null ? plan : new SystemPlan(selection, catalog);
		reserve = selection.reserve;
		fill = system.fill;
		for (i in 0...system.rackCount()) {
			final rack = new RackBudget(i, system.bases[i], system.powers[i], reserve);
			if (i > 0)
				for (kind in [ModuleKind.ExpansionInterface, ModuleKind.ExpansionCable])
					rack.carry(catalog.rackPart(kind), 1);
			racks.push(rack);
		}
		racks[0].carry(selection.cpu, 1);
		for (i in 0...racks.length)
			for (line in fill.modulesIn(i, catalog))
				racks[i].carry(line.item, line.quantity);

		points = new IoPoints();
		var used = 0, available = 0, current5V = 0, current24V = 0, supplied5V = 0, supplied24V = 0;
		for (rack in racks) {
			points.addScaled(rack.points, 1);
			used += rack.slotsUsed;
			available += rack.slotsAvailable;
			current5V += rack.draw5V;
			current24V += rack.draw24V;
			supplied5V += rack.supply5V;
			supplied24V += rack.supply24V;
		}
		slotsUsed = used;
		slotsAvailable = available;
		draw5V = current5V;
		draw24V = current24V;
		supply5V = supplied5V;
		supply24V = supplied24V;
		hasCpu = selection.cpu != null;
		maxIoPoints = hasCpu ? selection.cpu.maxIoPoints : 0;
		usableIoPoints = reserve.usable(Points, maxIoPoints);
		bases = racks.length;
		maxBases = hasCpu ? selection.cpu.maxBases : 0;
		lacksRackParts = racks.length > 1 && (catalog.rackPart(ExpansionInterface) == null || catalog.rackPart(ExpansionCable) == null);
		shortfall = system.shortfall;
	}

	/** Every rack keeps the reserve of its slots and currents. */
	public function racksKeepReserve():Bool {
		for (rack in racks)
			for (limit in [LimitKind.Slots, LimitKind.Current5V, LimitKind.Current24V])
				if (rack.reserveEaten(limit))
					return false;
		return true;
	}

	/** How much of the reserve of `limit` the racks use, added up over the racks (within their capacity). */
	public function reserveEatenBy(limit:LimitKind):Int {
		var eaten = 0;
		for (rack in racks)
			if (rack.reserveEaten(limit))
				eaten += rack.usedOf(limit) - rack.usableOf(limit);
		return eaten;
	}

	/** The main rack: the CPU's. */
	public function main():RackBudget {
		return racks[0];
	}

	/** Some module fits in no rack's base (or past the base of the rack it is pinned to). */
	public function slotsExceeded():Bool {
		return fill.overflows() && slotsAvailable > 0;
	}

	/** Rack `index` holds more than its base: pieces lie past it. */
	public function rackOverflows(index:Int):Bool {
		return slotsAvailable > 0 && fill.beyond[index].length > 0;
	}

	public function over5V():Bool {
		return racks.filter(r -> r.over5V()).length > 0;
	}

	public function over24V():Bool {
		return racks.filter(r -> r.over24V()).length > 0;
	}

	public function needsExternal24V():Bool {
		return racks.filter(r -> r.needsExternal24V()).length > 0;
	}

	public function ioPointsExceeded():Bool {
		return hasCpu && maxIoPoints > 0 && points.total() > maxIoPoints;
	}

	/** The I/O points eat into the reserve of the CPU's limit. */
	public function pointsReserveEaten():Bool {
		return hasCpu && maxIoPoints > 0 && points.total() > usableIoPoints && !ioPointsExceeded();
	}

	/** More bases than the CPU drives. */
	public function basesExceeded():Bool {
		return hasCpu && bases > maxBases;
	}

	/** Slots of the bases still free (negative: missing); null without any base. */
	public function slotsLeft():Null<Int> {
		return racks.filter(r -> r.base != null).length > 0 ? slotsAvailable - slotsUsed : null;
	}

	/** I/O points the CPU can still take; null without a CPU or when the CPU states no limit. */
	public function ioPointsLeft():Null<Int> {
		return hasCpu && maxIoPoints > 0 ? maxIoPoints - points.total() : null;
	}

	/** What keeps the selection from working as it stands (missing, exceeded, needed besides it), worded for the user; then where the reserve is eaten. */
	public function problems():Array<String> {
		final found:Array<String> = [];
		if (!hasCpu)
			found.push("尚未选择 CPU 单元");
		final main = racks[0].problems(true);
		for (problem in main)
			if (StringTools.startsWith(problem, "尚未"))
				found.push(problem);
		if (shortfall != null)
			found.push(shortfall);
		if (slotsExceeded()) {
			final last = racks.length - 1;
			for (i in 0...last)
				if (rackOverflows(i))
					found.push((i == 0 ? "" : racks[i].label + "：") + '槽位不足：固定的模块需要 ${racks[i].slotsUsed} 槽，基板只有 ${racks[i].slotsAvailable} 槽');
			if (rackOverflows(last))
				found.push(bases == 1 ? '槽位不足：需要 $slotsUsed 槽，基板只有 $slotsAvailable 槽' : '槽位不足：需要 $slotsUsed 槽，$bases 个基板共 $slotsAvailable 槽');
		}
		for (problem in main)
			if (!StringTools.startsWith(problem, "尚未"))
				found.push(problem);
		for (i in 1...racks.length)
			for (problem in racks[i].problems(false))
				found.push(problem);
		if (ioPointsExceeded())
			found.push('I/O 点数 ${points.total()} 超出 CPU 上限 $maxIoPoints');
		if (basesExceeded())
			found.push('基板数 $bases 超出 CPU 上限 $maxBases');
		if (lacksRackParts)
			found.push("目录中没有扩展接口模块或扩展电缆");
		return found.concat(reserveProblems());
	}

	/** Where the use of a limit eats into its reserve, worded for the user. */
	public function reserveProblems():Array<String> {
		final found:Array<String> = [];
		for (i in 0...racks.length)
			if (!rackOverflows(i))
				for (problem in racks[i].reserveProblems(i == 0, reserve))
					found.push(problem);
		if (pointsReserveEaten())
			found.push(reserveWarning(Points, points.total(), usableIoPoints, reserve));
		return found;
	}

	/** "槽位余量不足：已用 11 槽，留 10% 余量只可用 10 槽". */
	public static function reserveWarning(limit:LimitKind, used:Int, usable:Int, reserve:Reserve):String {
		return '${limit.label}余量不足：已用 $used ${limit.unit}，留 ${reserve.percent(limit)}% 余量只可用 $usable ${limit.unit}';
	}
}
