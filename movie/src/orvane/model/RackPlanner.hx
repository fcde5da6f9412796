package orvane.model;

/**
	By I/O need: which rack each module goes on, and the expansion racks to add after the
	selection's own, within the bases the CPU drives. Goals in order: every rack keeps its slots,
	5 V and 24 V with the reserve; then the fewest racks; then the lowest price of what the added
	racks bring (base, supply, interface module, cable, their accessories); then the fewest pieces
	moved from where the selection's order puts them (each rack filled in turn, as by module), so
	that a small change of need moves few pieces. The CPU and the selection's own racks are the
	user's and stay; pinned pieces stay on their rack.

	When no plan keeps every reserve, the reserves that cannot be kept are given up, the fewest
	first and, among as many, slots before 24 V before 5 V; when none keeps even the limits, the
	most racks the CPU drives are laid out with the largest base and supply, and what is short
	is named.
**/
class RackPlanner {
	/** Search steps per set of reserves tried (SearchBudget), and for all of them: about 100 ms of the player's time at most. */
	public static inline final STEPS = 900;
	static inline final ALL_STEPS = 1500;
	/** Search steps for the fewest pieces moved, the last of the goals, beside those (fewer in proportion with fewer steps). */
	static inline final MOVE_STEPS = 200;

	/** The racks to add, in order. */
	public final racks:Array<ExpansionRack> = [];
	/** Per piece: the rack it goes on (0: the main one); -1 where no rack has room. */
	public final places:Array<Int>;
	/** The reserves the plan could not keep, in the order given up. */
	public final givenUp:Array<LimitKind> = [];
	/** What no number of racks could take, worded for the user; null when a plan keeps the limits. */
	public final shortfall:Null<String>;
	/** The search ran to its end: no plan is better. False when the budget ended first. */
	public final proven:Bool;

	final pieces:Array<SlotPiece>;
	final own:Int;

	/** `bases`, `powers`: the selection's racks (the main one first); `maxAdded`: racks that may be added; `steps`: per set of reserves. */
	public function new(selection:Selection, catalog:Catalog, pieces:Array<SlotPiece>, bases:Array<Null<CatalogItem>>,
			powers:Array<Null<CatalogItem>>, maxAdded:Int, steps = STEPS) {
		own = bases.length;
		this.pieces = [for (piece in pieces) piece.rack >= own + maxAdded ? new SlotPiece(piece.item) : piece];
		final options = RackConfigs.of(catalog);
		final addable = options.usable ? maxAdded : 0;
		final kinds:Array<CatalogItem> = [];
		final counts:Array<Int> = [];
		for (piece in this.pieces)
			if (!piece.isPinned()) {
				final k = kinds.indexOf(piece.item);
				if (k < 0) {
					kinds.push(piece.item);
					counts.push(1);
				} else
					counts[k]++;
			}
		final weights = [for (item in kinds) [item.slots, item.draw5V, item.draw24V]];
		final pinnedTo = [for (r in 0...own + addable) [for (piece in this.pieces) if (piece.rack == r) piece.item]];
		final carried = [for (r in 0...own) r == 0 ? [selection.cpu] : [options.interfaceModule, options.cable]];
		var complete = true;
		final all = new SearchBudget(Std.int(steps * ALL_STEPS / STEPS));
		for (dropped in reserveSets(selection.reserve)) {
			final reserve = selection.reserve.copy();
			for (kind in dropped)
				reserve.set(kind, 0);
			final ownRooms = [
				for (r in 0...own) [for (n in RackRoom.less(RackRoom.of(bases[r], powers[r], carried[r], reserve, true), pinnedTo[r])) n < 0 ? 0 : n]
			];
			final budget = all.part(steps);
			final search = new RackSearch(weights, counts, ownRooms, options, reserve, pinnedTo.slice(own), budget, Std.int(steps * MOVE_STEPS / STEPS));
			final layout = search.best(added -> reference(kinds, inTurn(reserve, bases, added), own + added.length));
			complete = complete && !budget.ended && !search.undecided;
			if (layout != null) {
				for (config in layout.configs)
					racks.push(new ExpansionRack(config.base, config.power));
				places = assign(kinds, layout.loads, inTurn(reserve, bases, layout.configs));
				for (kind in dropped)
					givenUp.push(kind);
				shortfall = null;
				proven = complete;
				return;
			}
		}
		proven = complete;
		final largest = options.largest();
		final capacities = [for (base in bases) base == null ? 0 : base.slots];
		if (largest != null)
			for (_ in 0...addable) {
				racks.push(largest.copy());
				capacities.push(largest.base.slots);
			}
		places = RackFill.place(this.pieces, capacities);
		shortfall = complete ? shortOf(selection, capacities, options.usable) : "I/O 需求在限定的计算量内未能规划完，请减少模块或手工添加扩展基板";
	}

	/**
		The reserves to keep, tried in turn: all of them, then with one given up, then two, then
		none; among as many, slots before 24 V before 5 V (only those that are set).
	**/
	static function reserveSets(reserve:Reserve):Array<Array<LimitKind>> {
		final set = [for (kind in [LimitKind.Slots, LimitKind.Current24V, LimitKind.Current5V]) if (reserve.percent(kind) > 0) kind];
		final subsets:Array<Array<LimitKind>> = [[]];
		for (size in 1...set.length + 1)
			for (mask in 0...1 << set.length) {
				final chosen = [for (i in 0...set.length) if (mask & (1 << i) != 0) set[i]];
				if (chosen.length == size)
					subsets.push(chosen);
			}
		return subsets;
	}

	/** Where the selection's order puts each piece: each rack, the added ones after the own, filled in turn up to its usable slots. */
	function inTurn(reserve:Reserve, bases:Array<Null<CatalogItem>>, added:Array<RackConfig>):Array<Int> {
		final limits = [for (base in bases) base == null ? 0 : reserve.usable(Slots, base.slots)]
			.concat([for (config in added) reserve.usable(Slots, config.base.slots)]);
		return RackFill.place(pieces, limits);
	}

	/** Per rack and kind, the unpinned pieces `places` puts there. */
	function reference(kinds:Array<CatalogItem>, places:Array<Int>, racks:Int):Array<Array<Int>> {
		final layout = [for (_ in 0...racks) [for (_ in kinds) 0]];
		for (i in 0...pieces.length)
			if (!pieces[i].isPinned() && places[i] >= 0)
				layout[places[i]][kinds.indexOf(pieces[i].item)]++;
		return layout;
	}

	/** The rack of each piece for the counts `loads`: pinned ones on theirs, the others where the order puts them if the counts let them stay there. */
	function assign(kinds:Array<CatalogItem>, loads:Array<Array<Int>>, inTurn:Array<Int>):Array<Int> {
		final left = [for (load in loads) load.copy()];
		final result = [for (piece in pieces) piece.isPinned() ? piece.rack : -1];
		for (i in 0...pieces.length) {
			final r = inTurn[i];
			if (!pieces[i].isPinned() && r >= 0 && r < left.length && left[r][kinds.indexOf(pieces[i].item)] > 0) {
				left[r][kinds.indexOf(pieces[i].item)]--;
				result[i] = r;
			}
		}
		for (i in 0...pieces.length)
			if (!pieces[i].isPinned() && result[i] < 0) {
				final k = kinds.indexOf(pieces[i].item);
				var r = 0;
				while (left[r][k] == 0)
					r++;
				left[r][k]--;
				result[i] = r;
			}
		return result;
	}

	/** What is short with the largest racks, worded for the user. */
	function shortOf(selection:Selection, capacities:Array<Int>, usable:Bool):String {
		var slots = 0;
		for (piece in pieces)
			slots += piece.item.slots;
		for (capacity in capacities)
			slots -= capacity;
		if (!usable)
			return "目录中没有扩展基板、扩展接口模块或扩展电缆，无法添加扩展基板";
		final drives = selection.cpu == null ? "" : '（${selection.cpu.code} 最多带 ${selection.cpu.maxBases} 个基板）';
		return slots > 0 ? 'I/O 需求无法满足：基板都用上仍缺 $slots 槽$drives' : "I/O 需求无法满足：各基板的电源容量不足" + drives;
	}
}
