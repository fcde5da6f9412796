package orvane.model;

import haxe.ds.ArraySort;

/** A change to try: what it is, worded for the user, and what it does. */
private typedef Change = {advice:String, apply:Selection -> Void};

/** A change of one kind to try, made only when it is tried; `keepsReserve`: it may fix the limit with the reserve kept. */
private typedef Candidate = {keepsReserve:Bool, make:() -> Change};

/**
	For each limit the selection runs past or whose reserve it eats — the slots, 5 V and 24 V of
	every rack, the CPU's I/O points and bases — the smallest catalogue change of each kind that
	fixes it: a larger base or power supply for that rack, more racks (the planner's choice), a
	larger CPU; at most three, cheapest first. Each change is tried on a copy of the selection,
	so what it changes besides is counted (a CPU's built-in points, a base's own 5 V draw, the
	racks the planner adds by I/O need). A fix keeps the reserve where any change can; for a limit
	run past, a change that only brings it within capacity is offered when none can.
**/
class Remedies {
	public static inline final MOST = 3;
	/** Candidates of one kind tried at most, smallest first, so that a large catalogue still answers at once. */
	static inline final TRIED = 6;
	/** The planner's steps for a change tried (RackPlanner.STEPS for the selection itself): a catalogue with many racks still answers at once. */
	static inline final TRIAL_STEPS = 250;

	final selection:Selection;
	final catalog:Catalog;
	final plan:SystemPlan;
	final budget:Budget;
	final currentPrice:Null<Float>;
	/** The limits the selection runs past: a change that runs past another is no remedy. */
	final runPast:Array<String>;

	/** `plan` and `budget`: the selection's, when they are at hand. */
	public static function find(selection:Selection, catalog:Catalog, ?plan:SystemPlan, ?budget:Budget):Array<Overrun> {
		final system = plan != null ? plan : new SystemPlan(selection, catalog);
		return new Remedies(selection, catalog, system, budget != null ? budget : new Budget(selection, catalog, system)).overruns();
	}

	function new(selection:Selection, catalog:Catalog, plan:SystemPlan, budget:Budget) {
		this.selection = selection;
		this.catalog = catalog;
		this.plan = plan;
		this.budget = budget;
		currentPrice = PurchaseList.priceTotal(PurchaseList.lines(selection, catalog, plan), catalog);
		runPast = limitsRunPast(budget);
	}

	/** Each limit `budget` runs past, named by its rack. */
	static function limitsRunPast(budget:Budget):Array<String> {
		final found:Array<String> = [];
		for (r in 0...budget.racks.length) {
			if (budget.rackOverflows(r))
				found.push('slots $r');
			if (budget.racks[r].over5V())
				found.push('5V $r');
			if (budget.racks[r].over24V())
				found.push('24V $r');
		}
		if (budget.ioPointsExceeded())
			found.push("points");
		if (budget.basesExceeded())
			found.push("bases");
		return found;
	}

	/**
		Modules of rack `index` taken to a rack with room for them (pinned there): of each module
		on it, heaviest in `limit` first, the fewest pieces that bring the rack within its limit
		with the reserve kept, to the racks with most room left first.
	**/
	function moveChanges(index:Int, limit:LimitKind):Array<Array<Candidate>> {
		final rack = budget.racks[index];
		final weight = (item:CatalogItem) -> limit == Slots ? item.slots : limit == Current5V ? item.draw5V : item.draw24V;
		final excess = rack.usedOf(limit) - rack.usableOf(limit);
		final free = (r:Int) -> budget.racks[r].usableOf(limit) - budget.racks[r].usedOf(limit);
		final targets = [for (r in 0...budget.racks.length) if (r != index && free(r) > 0) r];
		haxe.ds.ArraySort.sort(targets, (a, b) -> free(b) - free(a));
		final onRack = plan.fill.modulesIn(index, catalog).filter(line -> weight(line.item) > 0);
		haxe.ds.ArraySort.sort(onRack, (a, b) -> weight(b.item) - weight(a.item));
		final candidates:Array<Candidate> = [];
		for (line in onRack) {
			final pieces = Std.int((excess + weight(line.item) - 1) / weight(line.item));
			if (pieces > line.quantity)
				continue;
			for (target in targets)
				if (free(target) >= pieces * weight(line.item))
					candidates.push({
						keepsReserve: true,
						make: () -> {
							advice: '移到${RackBudget.labelOf(target)}：${line.item.code} ×$pieces',
							apply: (s:Selection) -> {
								final moved = [for (i in 0...plan.pieces.length) if (plan.fill.rackOf[i] == index && plan.pieces[i].item == line.item) i];
								s.keepPlannedRacks(plan, target);
								s.pinPieces(moved.slice(moved.length - pieces), target, catalog);
							}
						}
					});
		}
		return [candidates];
	}


	/**
		The limits run past first, then those whose reserve is eaten; each by rack, then the CPU's.
		When the planner could not keep the racks' reserve, that is one limit of them all.
	**/
	function overruns():Array<Overrun> {
		final past:Array<Overrun> = [];
		final eaten:Array<Overrun> = [];
		final last = budget.racks.length - 1;
		for (r in 0...budget.racks.length) {
			final rack = budget.racks[r];
			final name = r == 0 ? "" : rack.label + " ";
			final kind = r == 0 ? ModuleKind.Base : ModuleKind.ExpansionBase;
			if (budget.rackOverflows(r))
				past.push(overrun((r == last ? "" : name) + "槽位不足", r == last ? overflowChanges(r) : partChanges(r, kind, Slots).concat(moveChanges(r, Slots)),
					b -> !b.slotsExceeded(), b -> !b.slotsExceeded() && keepsReserve(b, r, Slots), kind));
			else if (rack.reserveEaten(Slots) && !plan.reservesGivenUp.contains(Slots))
				eaten.push(overrun(name + "槽位余量不足", partChanges(r, kind, Slots).concat(moveChanges(r, Slots)).concat(rackChanges()), null,
					b -> !b.slotsExceeded() && keepsReserve(b, r, Slots), kind));
			for (limit in [LimitKind.Current5V, LimitKind.Current24V]) {
				final over = limit == Current5V ? rack.over5V() : rack.over24V();
				if (!over && (!rack.reserveEaten(limit) || plan.reservesGivenUp.contains(limit)))
					continue;
				final carried = (b:Budget) -> r >= b.racks.length
					|| (!b.racks[r].over5V() && !b.racks[r].over24V() && (!b.racks[r].needsExternal24V() || rack.needsExternal24V()));
				(over ? past : eaten).push(overrun(name + limit.label + (over ? "超出" : "余量不足"), partChanges(r, Power, limit).concat(moveChanges(r, limit)),
					over ? carried : null, b -> carried(b) && keepsReserve(b, r, limit), Power));
			}
		}
		// By I/O need the planner keeps every rack's reserve whenever the bases the CPU drives allow; else more bases are the remedy.
		if (plan.reservesGivenUp.length > 0)
			eaten.push(overrun("基板不够，无法保留" + [for (kind in plan.reservesGivenUp) kind.label + "余量（占用 " + budget.reserveEatenBy(kind) + " "
				+ kind.unit + "）"].join("、"), cpuChanges(Slots), null, b -> b.racksKeepReserve(), Cpu));
		if (budget.ioPointsExceeded())
			past.push(overrun("I/O 点数超出", cpuChanges(Points), b -> !b.ioPointsExceeded(), b -> !b.ioPointsExceeded() && !b.pointsReserveEaten(), Cpu));
		else if (budget.pointsReserveEaten())
			eaten.push(overrun("I/O 点数余量不足", cpuChanges(Points), null, b -> !b.ioPointsExceeded() && !b.pointsReserveEaten(), Cpu));
		if (budget.basesExceeded())
			past.push(overrun("基板数超出", cpuChanges(Slots), null, b -> !b.basesExceeded(), Cpu));
		final unproven = plan.proven ? [] : [new Overrun("规划未找完", () -> [], "在限定的计算量内未能比较所有方案，可能还有更省的方案")];
		return past.concat(new CabinetFigures(selection, catalog, plan).overruns()).concat(eaten).concat(discontinued()).concat(unproven);
	}

	/** Each discontinued item the selection orders (accessories aside): its successor, where the catalogue names one it has. */
	function discontinued():Array<Overrun> {
		return [
			for (line in PurchaseList.lines(selection, catalog, plan))
				if (line.item.discontinued && line.item.kind != Accessory) {
					final item = line.item;
					final successor = item.replacement == null ? null : catalog.findOfKind(item.replacement, item.kind);
					final priced = successor != null && catalog.currency != null && successor.price != null && item.price != null;
					new Overrun('${item.code} 已停产', () -> successor == null ? [] : [
						new Remedy('改用替代型号 ${successor.code}', priced ? (successor.price - item.price) * 1.0 * line.quantity : null,
							s -> s.replace(item, successor))
					], '替代型号 ${item.replacement} 不在目录中');
				}
		];
	}

	/**
		The smallest change of each kind that fits `strict` (or, when none does and the limit is
		run past, `loose`), cheapest first.
	**/
	function overrun(limit:String, changes:Array<Array<Candidate>>, loose:Null<Budget -> Bool>, strict:Budget -> Bool, kind:ModuleKind):Overrun {
		return new Overrun(limit, () -> {
			var remedies = smallest(changes, strict, true);
			if (remedies.length == 0 && loose != null)
				remedies = smallest(changes, loose, false);
			ArraySort.sort(remedies, (a, b) -> a.priceChange == null || b.priceChange == null || a.priceChange == b.priceChange ? 0 : a.priceChange < b.priceChange ? -1 : 1);
			remedies.slice(0, MOST);
		}, '目录中没有能满足的${kind.label}，请减少模块');
	}

	/** Of each kind, the first candidate that `fits`; `keepingReserve`: only those that may keep the reserve are tried. */
	function smallest(changes:Array<Array<Candidate>>, fits:Budget -> Bool, keepingReserve:Bool):Array<Remedy> {
		final found:Array<Remedy> = [];
		for (kind in changes)
			for (candidate in kind.filter(c -> c.keepsReserve || !keepingReserve).slice(0, TRIED)) {
				final change = candidate.make();
				final trial = selection.copy();
				change.apply(trial);
				trial.settleSlotOrder(catalog);
				final system = new SystemPlan(trial, catalog, TRIAL_STEPS);
				final trialBudget = new Budget(trial, catalog, system);
				if (!fits(trialBudget) || limitsRunPast(trialBudget).filter(limit -> !runPast.contains(limit)).length > 0)
					continue;
				final price = PurchaseList.priceTotal(PurchaseList.lines(trial, catalog, system), catalog);
				found.push(new Remedy(change.advice, price == null || currentPrice == null ? null : price - currentPrice, change.apply));
				break;
			}
		return found;
	}

	/** The limit's rack keeps its reserve (a rack the change did away with keeps it too). */
	static function keepsReserve(trial:Budget, rack:Int, limit:LimitKind):Bool {
		return rack >= trial.racks.length || !trial.racks[rack].reserveEaten(limit);
	}

	/** What takes the modules that fit no base: a larger base for the last rack of the user's, more racks, a CPU that drives more. */
	function overflowChanges(last:Int):Array<Array<Candidate>> {
		final own = last - plan.planned.length;
		final kind = own == 0 ? ModuleKind.Base : ModuleKind.ExpansionBase;
		final more = selection.racksToAdd(catalog) == 0 || plan.shortfall != null ? cpuChanges(Slots) : [];
		final pastLast = own == last ? 0 : budget.racks[last].slotsUsed - budget.racks[last].slotsAvailable;
		final earlier = [for (r in 0...own) partChanges(r, r == 0 ? ModuleKind.Base : ModuleKind.ExpansionBase, Slots, budget.slotsUsed - budget.slotsAvailable)];
		return partChanges(own, kind, Slots, pastLast).concat(Lambda.flatten(earlier)).concat(rackChanges()).concat(more);
	}

	/** By module, the racks the planner would add for what the user's racks cannot hold. */
	function rackChanges():Array<Array<Candidate>> {
		final racks = plannedFor(selection);
		return racks == null ? [] : [[{keepsReserve: true, make: () -> {advice: "添加" + describeRacks(racks), apply: s -> for (rack in racks) s.racks.push(rack.copy())}}]];
	}

	/** The racks the planner adds to a selection by module for what its own cannot hold; null when none would do. */
	function plannedFor(target:Selection):Null<Array<ExpansionRack>> {
		if (target.mode != ByModule)
			return null;
		final system = new SystemPlan(target, catalog, TRIAL_STEPS);
		final planner = new RackPlanner(target, catalog, system.pieces, system.bases, system.powers, target.racksToAdd(catalog), TRIAL_STEPS);
		return planner.shortfall == null && planner.racks.length > 0 ? planner.racks : null;
	}

	/**
		Larger items of `kind` for rack `index`, least capacity first: only those that can carry
		what the rack carries (and `more` slots besides), so that few are tried.
	**/
	function partChanges(index:Int, kind:ModuleKind, limit:LimitKind, more = 0):Array<Array<Candidate>> {
		final rack = budget.racks[index];
		final current = kind == Power ? rack.power : rack.base;
		final reserve = selection.reserve;
		final carries = (item:CatalogItem, keep:Bool) -> {
			final slots = keep ? reserve.usable(Slots, item.slots) : item.slots;
			final supply5V = keep ? reserve.usable(Current5V, item.supply5V) : item.supply5V;
			final supply24V = keep ? reserve.usable(Current24V, item.supply24V) : item.supply24V;
			// A supply must carry both currents (24 V from an output of its own when the rack's supply has one).
			final output24V = rack.draw24V == 0 || (item.supply24V > 0 && (limit == Current24V ? supply24V : item.supply24V) >= rack.draw24V)
				|| (limit == Current5V && rack.needsExternal24V());
			switch (limit) {
				case Slots: item.slots > rack.slotsAvailable && slots >= rack.slotsUsed + more;
				case Current5V: supply5V >= rack.draw5V && output24V;
				default: output24V && item.supply5V >= rack.draw5V;
			}
		};
		final candidates = catalog.ofKind(kind).filter(item -> item != current && item.isOffered() && carries(item, false));
		ArraySort.sort(candidates, (a, b) -> kind == Power ? (a.supply5V != b.supply5V ? a.supply5V - b.supply5V : a.supply24V - b.supply24V) : a.slots - b.slots);
		final name = index == 0 ? "" : rack.label + " ";
		return [[
			for (item in candidates) {
				keepsReserve: carries(item, true),
				make: () -> {
					advice: name + "改用 " + item.code + "（" + (kind == Power ? '5V ${item.supply5V} mA / 24V ${item.supply24V} mA' : '${item.slots} 槽') + "）",
					apply: (s:Selection) -> {
						s.keepPlannedRacks(plan, index);
						s.chooseFor(index, item);
					}
				}
			}
		]];
	}

	/**
		CPUs that take more I/O points (`Points`) or drive more bases (`Slots`), least first; by
		module with the racks the planner then adds (planned once for each number of bases).
	**/
	function cpuChanges(limit:LimitKind):Array<Array<Candidate>> {
		final current = selection.cpu;
		final candidates = catalog.ofKind(Cpu).filter(cpu -> cpu != current && cpu.isOffered() && (limit == Points
			? (current == null || pointLimit(cpu) > pointLimit(current)) && cpu.maxBases >= budget.bases
			: current == null || cpu.maxBases > current.maxBases));
		ArraySort.sort(candidates, (a, b) -> limit == Points ? pointLimit(a) - pointLimit(b) : a.maxBases - b.maxBases);
		final racksFor:Map<Int, Null<Array<ExpansionRack>>> = [];
		final addedRacks = (cpu:CatalogItem) -> {
			if (limit != Slots || !budget.slotsExceeded())
				return null;
			if (!racksFor.exists(cpu.maxBases)) {
				final trial = selection.copy();
				trial.choose(cpu);
				racksFor[cpu.maxBases] = plannedFor(trial);
			}
			return racksFor[cpu.maxBases];
		};
		return [[
			for (cpu in candidates) {
				keepsReserve: true,
				make: () -> {
					final racks = addedRacks(cpu);
					final capacity = limit == Points ? (cpu.maxIoPoints == 0 ? "点数不限" : '${cpu.maxIoPoints} 点') : '${cpu.maxBases} 个基板';
					{
						advice: '改用 ${cpu.code}（$capacity）' + (racks == null ? "" : "并添加" + describeRacks(racks)),
						apply: (s:Selection) -> {
							s.choose(cpu);
							if (racks != null)
								for (rack in racks)
									s.racks.push(rack.copy());
						}
					}
				}
			}
		]];
	}

	static function describeRacks(racks:Array<ExpansionRack>):String {
		final each = [for (rack in racks) rack.base.code + " + " + rack.power.code];
		return racks.length == 1 ? "扩展基板 " + each[0] : ' ${racks.length} 个扩展基板：' + each.join("、");
	}

	/** A CPU that states no limit takes any number of points. */
	static function pointLimit(cpu:CatalogItem):Int {
		return cpu.maxIoPoints == 0 ? 0x7FFFFFFF : cpu.maxIoPoints;
	}
}
