package orvane.model;

/** A plan of racks to add and of the modules on every rack. */
class RackLayout {
	/** Per rack added, in order. */
	public final configs:Array<RackConfig>;
	/** Per rack (the selection's own first, then those added): per kind, the pieces on it. */
	public final loads:Array<Array<Int>>;
	/** Pieces the plan puts on another rack than the reference layout. */
	public final moved:Int;

	public function new(configs, loads, moved) {
		this.configs = configs;
		this.loads = loads;
		this.moved = moved;
	}
}

/**
	The best plan for one set of rooms: the fewest racks added, then the lowest price of what they
	add, then the fewest pieces moved from the reference layout. Exact: every number of racks from
	the fewest that could hold the demand, every set of catalogue racks for it (those that do most
	for their price first, bounded by the cheapest completion and by what the rest could hold at
	most), and for each a packing of the module counts; within the budget, else the best found.
**/
class RackSearch {
	/** Sets of racks of the same lowest price compared for the fewest moves, at most. */
	static inline final TIES = 6;
	/** Orders of one set of racks compared for the fewest moves, at most. */
	static inline final ORDERS = 24;
	/** Search steps to decide whether one set of racks holds the modules, at most. */
	static inline final LEAF_STEPS = 500;
	/** A set of racks was left undecided: the plan found may not be the best. */
	public var undecided(default, null) = false;

	final weights:Array<Array<Int>>;
	final counts:Array<Int>;
	final ownRooms:Array<Array<Int>>;
	/** The racks that may be added, their room cut to what the modules could take, those that do most for their price first. */
	final configs:Array<RackConfig>;
	/** Per rack that may be added: the pieces pinned to it. */
	final pinned:Array<Array<CatalogItem>>;
	final budget:SearchBudget;
	/** Search steps for the fewest moves, the last of the goals: the best found when they run out. */
	final moveSteps:Int;
	/** What the unpinned modules need, figure by figure (the pinned ones are taken off their racks' room). */
	final need:Array<Int>;
	final ranking:RackRanking;
	var cheapest:Int;
	var found:Array<Array<RackConfig>> = [];
	/** Per rack chosen so far: its place in `configs`. */
	final chosenAt:Array<Int> = [];
	/** Per set found: the counts per rack and kind its packing gave. */
	var foundLoads:Array<Array<Array<Int>>> = [];

	/** `options`: the catalogue's racks, those kept with `reserve` may be added. */
	public function new(weights:Array<Array<Int>>, counts:Array<Int>, ownRooms:Array<Array<Int>>, options:RackConfigs, reserve:Reserve,
			pinned:Array<Array<CatalogItem>>, budget:SearchBudget, moveSteps:Int) {
		this.weights = weights;
		this.counts = counts;
		this.ownRooms = ownRooms;
		this.pinned = pinned;
		this.budget = budget;
		this.moveSteps = moveSteps;
		need = [for (d in 0...3) {
			var sum = 0;
			for (k in 0...counts.length)
				sum += counts[k] * weights[k][d];
			sum;
		}];
		final pins = [0, 0, 0];
		for (rack in pinned) {
			final taken = RackRoom.less([0, 0, 0], rack);
			for (d in 0...3)
				pins[d] = Std.int(Math.max(pins[d], -taken[d]));
		}
		ranking = options.ranked(reserve, need, [for (d in 0...3) need[d] + pins[d]]);
		configs = ranking.configs;
	}

	/**
		The least the racks still to choose cost, `missing` being what the racks chosen leave of
		each figure: at least the cheapest rack each, and for each figure what is missing at the
		lowest price per unit any rack offers; -1 when even the roomiest racks could not hold it.
	**/
	function restCost(missing:Array<Float>, added:Int):Float {
		var least = added * 1.0 * ranking.cheapest;
		for (d in 0...3) {
			if (missing[d] > added * 1.0 * ranking.most[d])
				return -1;
			if (missing[d] > 0)
				least = Math.max(least, missing[d] * ranking.pricePerUnit[d]);
		}
		return least;
	}

	/** What the own racks leave of each figure. */
	function missingAfterOwn():Array<Float> {
		final missing = [for (d in 0...3) need[d] * 1.0];
		for (room in ownRooms)
			for (d in 0...3)
				missing[d] -= room[d] < 0 ? 0 : room[d];
		return missing;
	}

	/** The best plan; null when none fits (or the budget ended before one was found). `reference` gives the reference layout of a set of added racks. */
	public function best(reference:Array<RackConfig> -> Array<Array<Int>>):Null<RackLayout> {
		var lastPinned = -1;
		for (j in 0...pinned.length)
			if (pinned[j].length > 0)
				lastPinned = j;
		for (racks in lastPinned + 1...pinned.length + 1) {
			if (racks > 0 && configs.length == 0)
				break;
			if (restCost(missingAfterOwn(), racks) < 0)
				continue;
			cheapest = 0x7FFFFFFF;
			found = [];
			foundLoads = [];
			choose([], racks, 0, missingAfterOwn());
			if (found.length > 0)
				return fewestMoves(reference);
			if (budget.ended)
				return null;
		}
		return null;
	}

	/** Every set of `racks` racks added, cheapest first, bounded; those that hold the modules at the lowest price are kept. */
	function choose(chosen:Array<RackConfig>, racks:Int, cost:Int, missing:Array<Float>):Void {
		final j = chosen.length;
		if (j == racks) {
			final loads = cost < cheapest || cost == cheapest && found.length < TIES ? packedWithin(chosen) : null;
			if (loads != null) {
				if (cost < cheapest) {
					found = [];
					foundLoads = [];
				}
				cheapest = cost;
				found.push(chosen.copy());
				foundLoads.push(loads);
			}
			return;
		}
		// Racks without pinned pieces are alike: their configurations are taken in one order, never in two.
		var from = 0;
		if (pinned[j].length == 0)
			for (i in 0...j)
				if (pinned[i].length == 0)
					from = chosenAt[i];
		final left = [0.0, 0.0, 0.0];
		for (c in from...configs.length) {
			if (!budget.spend())
				return;
			final config = configs[c];
			final room = pinned[j].length == 0 ? config.room : RackRoom.less(config.room, pinned[j]);
			if (room[0] < 0 || room[1] < 0 || room[2] < 0 || cost + config.cost > cheapest)
				continue;
			for (d in 0...3)
				left[d] = missing[d] - room[d];
			final rest = restCost(left, racks - j - 1);
			if (rest < 0 || cost + config.cost + rest > cheapest)
				continue;
			chosen.push(config);
			chosenAt.push(c);
			choose(chosen, racks, cost + config.cost, left.copy());
			chosen.pop();
			chosenAt.pop();
			if (budget.ended)
				return;
		}
	}

	/**
		How the modules fit the own racks and `added` (per rack and kind), decided within LEAF_STEPS;
		null where they do not, or where that was left undecided (the search then counts as cut short).
	**/
	function packedWithin(added:Array<RackConfig>):Null<Array<Array<Int>>> {
		final steps = budget.part(LEAF_STEPS);
		final packing = packing(added, steps);
		if (packing.fits(counts))
			return packing.packed;
		if (steps.ended)
			undecided = true;
		return null;
	}

	/**
		Of the cheapest sets found, in each order of their racks, the packing with the fewest pieces
		moved from the reference layout; when the steps for that run out first, the first set's
		packing as found.
	**/
	function fewestMoves(reference:Array<RackConfig> -> Array<Array<Int>>):RackLayout {
		final steps = new SearchBudget(moveSteps);
		var best:Null<RackLayout> = null;
		for (set in found)
			for (order in orders(set)) {
				final layout = reference(order);
				final loads = packing(order, steps).closestTo(counts, layout);
				if (loads == null)
					continue;
				final moved = movedFrom(layout, loads);
				if (best == null || moved < best.moved)
					best = new RackLayout(order, loads, moved);
				if (moved == 0 || steps.ended)
					return best;
			}
		return best != null ? best : new RackLayout(found[0], foundLoads[0], movedFrom(reference(found[0]), foundLoads[0]));
	}

	function movedFrom(layout:Array<Array<Int>>, loads:Array<Array<Int>>):Int {
		var moved = 0;
		for (r in 0...loads.length)
			for (k in 0...counts.length)
				moved += layout[r][k] > loads[r][k] ? layout[r][k] - loads[r][k] : 0;
		return moved;
	}

	/** The orders of a set's racks, those without pinned pieces exchanged among their places, the largest first (ORDERS at most). */
	function orders(set:Array<RackConfig>):Array<Array<RackConfig>> {
		final free = [for (j in 0...set.length) if (pinned[j].length == 0) j];
		final pool = [for (j in free) set[j]];
		haxe.ds.ArraySort.sort(pool, (a, b) -> b.room[0] != a.room[0] ? b.room[0] - a.room[0] : configs.indexOf(a) - configs.indexOf(b));
		final result:Array<Array<RackConfig>> = [];
		function walk(rest:Array<RackConfig>, taken:Array<RackConfig>):Void {
			if (result.length >= ORDERS)
				return;
			if (rest.length == 0) {
				final order = set.copy();
				for (i in 0...free.length)
					order[free[i]] = taken[i];
				result.push(order);
				return;
			}
			for (i in 0...rest.length)
				if (i == 0 || rest[i] != rest[i - 1])
					walk(rest.slice(0, i).concat(rest.slice(i + 1)), taken.concat([rest[i]]));
		}
		walk(pool, []);
		return result;
	}

	function packing(added:Array<RackConfig>, ?steps:SearchBudget):ModulePacking {
		return new ModulePacking(weights, ownRooms.concat(roomsOf(added)), steps != null ? steps : budget);
	}

	function roomsOf(added:Array<RackConfig>):Array<Array<Int>> {
		return [for (j in 0...added.length) RackRoom.less(added[j].room, pinned[j])];
	}
}
