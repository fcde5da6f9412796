using StringTools;
import orvane.model.*;
import PlannedSelection.Lcg;
import ExhaustivePlanner.ReferencePlan;

/**
	The planner against its exhaustive reference: engineers' cases with the plans they should
	give, and random needs, reserves, pins and racks drawn from the shipped catalogue.
	`PLANNER_CASES` sets how many random cases (1,000 by default), `PLANNER_SEED` the seed; a
	failure prints the seed and the case, so that it can be replayed.
**/
class PlannerTest {
	static var failures = 0;

	static function main() {
		final text = sys.io.File.getContent(Sys.args()[0]);
		final catalog = CatalogParser.parse(text).value;
		engineersCases(catalog);
		largerCatalogue(CatalogParser.parse(LargerCatalogue.tenTimes(text)).value);
		final cases = Sys.getEnv("PLANNER_CASES") == null ? 1000 : Std.parseInt(Sys.getEnv("PLANNER_CASES"));
		final seed = Sys.getEnv("PLANNER_SEED") == null ? 20261208 : Std.parseInt(Sys.getEnv("PLANNER_SEED"));
		randomNeeds(catalog, cases, seed);
		if (failures > 0) {
			Sys.println('$failures check(s) failed');
			Sys.exit(1);
		}
		Sys.println("all checks passed");
	}

	static function engineersCases(catalog:Catalog) {
		// The packaging line: four relay output modules on the main rack drew 640 of its 600 mA at 24 V.
		final line = PlannedSelection.on(catalog, "ZC-120", "ZP-P30", "ZB-B12").need(120, 80, 8, 4).pick("ZX-DO16R").comm("ZX-EN01", 1);
		expectPlan(line, catalog, "ZB-E06/ZP-P50", "the packaging line");
		final plan = new SystemPlan(line.selection, catalog);
		final budget = new Budget(line.selection, catalog, plan);
		check(budget.problems().length == 0 && budget.main().draw24V <= 600, "no rack of the packaging line runs past a limit: " + budget.problems().join("|"));
		expectTotal(line, catalog, "25,665.00");

		// The plant, 20 % reserve of every limit, 16-point modules: more slots than eight bases keep free, so the slot reserve alone goes.
		final plant16 = PlannedSelection.on(catalog, "ZC-320", "ZP-P50", "ZB-B12").need(600, 400, 48, 16).reserve(20);
		final plan16 = new SystemPlan(plant16.selection, catalog);
		check(tags(plan16.reservesGivenUp) == "slots" && plan16.shortfall == null,
			"the plant on 16-point modules gives up the slot reserve and keeps the currents': " + tags(plan16.reservesGivenUp) + " " + plan16.shortfall);
		expectTotal(plant16, catalog, "94,240.00");
		final eaten = Remedies.find(plant16.selection, catalog, plan16).filter(o -> o.limit.startsWith("基板不够，无法保留"));
		check(eaten.length == 1 && eaten[0].limit.startsWith("基板不够，无法保留槽位余量（占用 ") && eaten[0].limit.indexOf("电流") < 0,
			"and the status line names it and by how much: " + [for (o in eaten) o.limit]);
		// The same plant on 32-point modules keeps every reserve (too large for the reference: the search ran to its end).
		final plant32 = PlannedSelection.on(catalog, "ZC-320", "ZP-P50", "ZB-B12").need(600, 400, 48, 16).pick("ZX-DI32").pick("ZX-DO32T").reserve(20);
		final plan32 = new SystemPlan(plant32.selection, catalog);
		check(plan32.reservesGivenUp.length == 0 && plan32.proven && plan32.planned.length == 5 && new Budget(plant32.selection, catalog, plan32).problems().length == 0,
			"the plant on 32-point modules keeps every reserve on five added racks, proven the fewest and cheapest");
		expectTotal(plant32, catalog, "96,435.00");

		// Eight analogue outputs (1,920 mA at 24 V) spread over the racks that carry them.
		final outputs = PlannedSelection.on(catalog, "ZC-220", "ZP-P50", "ZB-B08").need(0, 0, 0, 32);
		expectReference(outputs, catalog, "eight ZX-AO04");
		check(new Budget(outputs.selection, catalog).problems().length == 0, "no rack carries more 24 V than its supply gives");

		// By module, eight ZX-AO04 on one rack (1,920 mA at 24 V) while the main rack has 1,000 mA free and the next rack is empty:
		// moving half of them is offered (to the main rack, whose own modules the fill then moves on).
		final byModule = new Selection();
		for (code in ["ZC-220", "ZP-P50", "ZB-B04"])
			byModule.choose(catalog.find(code));
		for (_ in 0...2)
			byModule.addRack();
		for (r => codes in [1 => ["ZB-E08", "ZP-P50"], 2 => ["ZB-E06", "ZP-P50"]])
			for (code in codes)
				byModule.chooseFor(r, catalog.find(code));
		byModule.setQuantity(catalog.find("ZX-DI16"), 4);
		byModule.setQuantity(catalog.find("ZX-AO04"), 8);
		final heavy = Remedies.find(byModule, catalog).filter(o -> o.limit == "扩展基板 1 24V 电流超出");
		final moves = heavy.length == 1 ? heavy[0].remedies().filter(r -> r.advice.startsWith("移到") && r.advice.endsWith("：ZX-AO04 ×4")) : [];
		check(moves.length == 1 && moves[0].priceChange == 0, "eight ZX-AO04 on one rack: four are offered to a rack with room at no cost: "
			+ [for (o in heavy) for (r in o.remedies()) r.text()]);
		for (overrun in Remedies.find(byModule, catalog))
			for (remedy in overrun.remedies()) {
				final trial = byModule.copy();
				remedy.apply(trial);
				final after = Remedies.find(trial, catalog).map(o -> o.limit);
				check(after.indexOf(overrun.limit) < 0 && after.filter(l -> l.indexOf("超出") >= 0 || l.indexOf("槽位不足") >= 0).length <= 0,
					'${remedy.advice} fixes ${overrun.limit} and runs past no other limit: $after');
			}

		// An expansion rack of the user's past its slots: the planner puts what the main rack has room for there.
		final full = PlannedSelection.on(catalog, "ZC-120", "ZP-P30", "ZB-B12").need(224, 0, 0, 0).ownRack("ZB-E06", "ZP-P30");
		expectPlan(full, catalog, "", "fourteen DI16 on the main rack and the user's six-slot rack");
		check(new Budget(full.selection, catalog).problems().length == 0, "the user's rack past its slots is no more");

		// Steps that run out: the best plan found so far is kept and said to be unproven; with none found, that is said, not a shortfall.
		final system = new SystemPlan(plant16.selection, catalog);
		final own = system.rackCount() - system.planned.length;
		final cut = (steps:Int) -> new RackPlanner(plant16.selection, catalog, system.pieces, system.bases.slice(0, own), system.powers.slice(0, own),
			plant16.selection.racksToAdd(catalog), steps);
		for (steps in 1...41) {
			final planner = cut(steps);
			final honest = planner.proven ? planner.racks.length == plan16.planned.length && planner.shortfall == null
				: planner.shortfall == null ? planner.racks.length >= plan16.planned.length : planner.shortfall.indexOf("未能规划完") > 0;
			check(honest, 'a search cut after $steps steps keeps the best found and says it is unproven: ${planner.racks.length} racks, ${planner.shortfall}');
		}
		check(Remedies.find(plant16.selection, catalog, plan16).filter(o -> o.limit == "规划未找完").length == 0, "a search run to its end says nothing");

		// A small change of need moves few pieces: one more DI16 leaves every other piece on its rack.
		final before = PlannedSelection.on(catalog, "ZC-220", "ZP-P30", "ZB-B08").need(96, 64, 8, 4);
		final placesBefore = racksOf(before.selection, catalog);
		before.need(112, 64, 8, 4);
		final placesAfter = racksOf(before.selection, catalog);
		var moved = 0;
		for (code => racks in placesBefore)
			for (r in 0...racks.length)
				moved += racks[r] > placesAfter[code][r] ? racks[r] - placesAfter[code][r] : 0;
		check(moved <= 1, 'one more DI16 moves at most one piece: $moved ($placesBefore → $placesAfter)');
	}

	/**
		With ten times the racks to choose from, the search for the largest plant ends before it can
		prove its plan the cheapest, and keeps the plan it found: the fewest moves' steps ran out
		before any order of the racks was packed, and the packing that decided the racks is used.
	**/
	static function largerCatalogue(catalog:Catalog) {
		final plant = PlannedSelection.on(catalog, "ZC-320", "ZP-P50", "ZB-B12").need(1000, 800, 96, 32).pick("ZX-DI32").pick("ZX-DO32T").reserve(20);
		final plan = new SystemPlan(plant.selection, catalog);
		check(plan.shortfall == null && !plan.proven && plan.planned.length > 0,
			'the 1,000-point plant on the larger catalogue is planned, said unproven: ${plan.planned.length} racks, ${plan.shortfall}');
		final past = limitsRunPast(plant.selection, catalog, plan);
		check(past == null, 'and no rack of it runs past a limit: $past');
	}

	/** The bill's total, as the screen shows it. */
	static function expectTotal(c:PlannedSelection, catalog:Catalog, total:String) {
		final shown = Money.grouped(PurchaseList.priceTotal(PurchaseList.lines(c.selection, catalog, new SystemPlan(c.selection, catalog)), catalog));
		check(shown == total, 'the bill totals $shown, expected $total');
	}

	/** Per module code, its pieces on each rack. */
	static function racksOf(selection:Selection, catalog:Catalog):Map<String, Array<Int>> {
		final plan = new SystemPlan(selection, catalog);
		final result:Map<String, Array<Int>> = [];
		for (i in 0...plan.pieces.length) {
			final code = plan.pieces[i].item.code;
			if (!result.exists(code))
				result[code] = [for (_ in 0...9) 0];
			result[code][plan.fill.rackOf[i]]++;
		}
		return result;
	}

	/** The planner adds `racks` (base/supply each, blank: none) and the reference finds no fewer or cheaper. */
	static function expectPlan(c:PlannedSelection, catalog:Catalog, racks:String, what:String) {
		final plan = new SystemPlan(c.selection, catalog);
		final added = [for (r in plan.planned) r.base.code + "/" + r.power.code].join(" ");
		check(added == racks, '$what: the planner adds "$added", expected "$racks"');
		expectReference(c, catalog, what);
	}

	static function expectReference(c:PlannedSelection, catalog:Catalog, what:String) {
		final failure = compare(c.selection, catalog);
		check(failure == null, '$what: $failure');
	}

	static function randomNeeds(catalog:Catalog, cases:Int, seed:Int) {
		final random = new Lcg(seed);
		var proven = 0, cheapest = 0, unproven = 0, worstGap = 0.0, noPlan = 0, withRacks = 0, givingUp = 0, pinned = 0;
		for (n in 0...cases) {
			final c = PlannedSelection.draw(catalog, random);
			final failure = compare(c.selection, catalog);
			final plan = new SystemPlan(c.selection, catalog);
			if (plan.proven)
				proven++;
			else
				unproven++;
			if (plan.shortfall != null)
				noPlan++;
			if (plan.shortfall == null && plan.planned.length > 0)
				withRacks++;
			if (plan.reservesGivenUp.length > 0)
				givingUp++;
			if (plan.pieces.filter(p -> p.isPinned()).length > 0)
				pinned++;
			if (failure != null) {
				check(false, 'case $n of seed $seed: $failure\n  ${SelectionFormat.write(c.selection, catalog).replace("\n", "|")}');
				if (failures > 20)
					break;
			} else if (plan.shortfall == null && plan.proven)
				cheapest++;
			worstGap = Math.max(worstGap, gapOf(c.selection, catalog, plan));
		}
		Sys.println('random needs of seed $seed: $cases tried, $cheapest plans proven as cheap as the reference\'s, $noPlan without a plan (as the reference), '
			+ '$proven searched to the end, $unproven where the budget ended, worst price gap ${Math.round(worstGap * 10000) / 100} %; '
			+ '$withRacks planned with racks added, $givingUp giving up a reserve, $pinned with a pinned piece');
	}

	/** Why the planner's plan is worse than the reference's, or breaks a limit; null when it is not. */
	static function compare(selection:Selection, catalog:Catalog):Null<String> {
		final plan = new SystemPlan(selection, catalog);
		final reference = new ExhaustivePlanner(selection, catalog, plan.pieces, selection.racksToAdd(catalog)).best();
		if (reference == null && plan.shortfall == null)
			return 'the reference finds no plan, the planner gives one';
		if (reference == null)
			return plan.shortfall != null && (plan.shortfall.startsWith("I/O 需求") || plan.shortfall.startsWith("目录中没有")) ? null
				: 'the reference finds no plan, the planner gives one (shortfall ${plan.shortfall})';
		if (plan.shortfall != null)
			return plan.proven ? 'the planner finds no plan, the reference adds ${describe(reference)}: ${plan.shortfall}' : null;
		if (!plan.proven)
			return limitsRunPast(selection, catalog, plan);
		if (plan.planned.length != reference.racks.length)
			return 'the planner adds ${plan.planned.length} racks, the reference ${describe(reference)}';
		if (costOf(plan, catalog) > reference.cost)
			return 'the planner\'s racks cost ${costOf(plan, catalog)}, the reference\'s ${reference.cost} (${describe(reference)})';
		if (tags(plan.reservesGivenUp) != tags(reference.givenUp))
			return 'the planner gives up ${tags(plan.reservesGivenUp)}, the reference ${tags(reference.givenUp)}';
		return limitsRunPast(selection, catalog, plan);
	}

	/** Which rack of the plan runs past a limit or eats a reserve the plan keeps; null when none. */
	static function limitsRunPast(selection:Selection, catalog:Catalog, plan:SystemPlan):Null<String> {
		final budget = new Budget(selection, catalog, plan);
		for (r in 0...budget.racks.length) {
			final rack = budget.racks[r];
			if (budget.rackOverflows(r) || rack.over5V() || rack.over24V())
				return '${rack.label} runs past a limit: ${budget.problems().join("|")}';
			for (kind in [LimitKind.Slots, LimitKind.Current5V, LimitKind.Current24V])
				if (rack.reserveEaten(kind) && !plan.reservesGivenUp.contains(kind) && !fixedLoadEats(selection, plan, r, kind))
					return '${rack.label} eats the ${kind.label} reserve kept: ${budget.reserveProblems().join("|")}';
		}
		return null;
	}

	/** What a rack carries besides the planner's modules (its CPU, pinned pieces) eats its reserve of `kind` by itself. */
	static function fixedLoadEats(selection:Selection, plan:SystemPlan, r:Int, kind:LimitKind):Bool {
		final fixed = new RackBudget(r, plan.bases[r], plan.powers[r], selection.reserve);
		if (r == 0)
			fixed.carry(selection.cpu, 1);
		for (piece in plan.pieces)
			if (piece.rack == r)
				fixed.carry(piece.item, 1);
		return fixed.usedOf(kind) > fixed.usableOf(kind);
	}

	static function gapOf(selection:Selection, catalog:Catalog, plan:SystemPlan):Float {
		final reference = new ExhaustivePlanner(selection, catalog, plan.pieces, selection.racksToAdd(catalog)).best();
		return reference == null || reference.cost == 0 || plan.shortfall != null ? 0.0 : (costOf(plan, catalog) - reference.cost) / reference.cost;
	}

	/** What the added racks cost: base, supply, interface module and cable. */
	static function costOf(plan:SystemPlan, catalog:Catalog):Int {
		var cost = 0;
		for (rack in plan.planned)
			cost += ExhaustivePlanner.price(rack.base) + ExhaustivePlanner.price(rack.power) + ExhaustivePlanner.price(catalog.rackPart(ExpansionInterface))
				+ ExhaustivePlanner.price(catalog.rackPart(ExpansionCable));
		return cost;
	}

	static function tags(kinds:Array<LimitKind>):String {
		return [for (kind in kinds) kind.tag].join(",");
	}

	static function describe(plan:ReferencePlan):String {
		return [for (r in plan.racks) r.base.code + "/" + r.power.code].join(" ") + ' for ${plan.cost}';
	}

	public static function check(condition:Bool, what:String) {
		if (!condition) {
			failures++;
			Sys.println("FAILED: " + what);
		}
	}
}
