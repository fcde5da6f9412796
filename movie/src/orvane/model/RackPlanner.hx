package orvane.model;

/**
	The expansion racks to add after a selection's own racks so that its pieces fit: each an
	expansion base with a power supply (and the catalogue's interface module and cable), as
	few racks as will do and then the lowest price, within the number of bases the CPU drives.
	The racks are planned so that every base keeps its slot reserve and every supply its 5 V and
	24 V reserve (and a supply with 24 V output where modules draw 24 V); when no number of racks
	does that, without the reserves. When not even that fits, the most racks the CPU allows, with
	the largest bases, and what is short.

	The own racks take the pieces first, as RackFill places them; then each planned rack takes
	the next pieces in order, as many as its base holds and its supply carries, and no more than
	the planner gives it (`takes`), so that a rack of heavy modules may stay partly free.
**/
class RackPlanner {
	/** The racks to add, in order. */
	public final racks:Array<ExpansionRack> = [];
	/** Per rack added: the slots the fill may take in it, pinned pieces included. */
	public final takes:Array<Int> = [];
	/** Planned with every reserve kept. */
	public final reserveKept:Bool;
	/** What no number of racks could take, worded for the user; null when the pieces fit. */
	public final shortfall:Null<String>;

	/**
		`bases`: the selection's racks (the main one first), whose bases the pieces fill before the
		planned ones; `maxAdded`: racks that may be added.
	**/
	public function new(selection:Selection, catalog:Catalog, pieces:Array<SlotPiece>, bases:Array<Null<CatalogItem>>, maxAdded:Int) {
		final parts = new RackOptions(catalog);
		final kept = parts.usable ? plan(selection.reserve, pieces, bases, maxAdded, parts) : null;
		final plain = kept == null && parts.usable ? plan(new Reserve(), pieces, bases, maxAdded, parts) : null;
		final chosen = kept != null ? kept : plain;
		reserveKept = kept != null;
		if (chosen != null) {
			for (step in chosen) {
				racks.push(new ExpansionRack(step.base, step.power));
				takes.push(step.slots);
			}
			shortfall = null;
			return;
		}
		final left = Remainder.after(pieces, bases, new Reserve(), maxAdded);
		if (!parts.usable) {
			shortfall = left.isEmpty() ? null : "目录中没有扩展基板、扩展接口模块或扩展电缆，无法添加扩展基板";
			return;
		}
		for (j in 0...maxAdded) {
			racks.push(new ExpansionRack(parts.largestBase, parts.largestPower));
			takes.push(parts.largestBase.slots);
		}
		final missing = left.slots() - maxAdded * parts.largestBase.slots;
		final drives = selection.cpu == null ? "" : '（${selection.cpu.code} 最多带 ${selection.cpu.maxBases} 个基板）';
		shortfall = missing > 0 ? 'I/O 需求无法满足：基板都用上仍缺 $missing 槽$drives' : "I/O 需求无法满足：扩展基板的电源容量不足";
	}

	static function plan(reserve:Reserve, pieces:Array<SlotPiece>, bases:Array<Null<CatalogItem>>, maxAdded:Int,
			parts:RackOptions):Null<Array<Step>> {
		final left = Remainder.after(pieces, bases, reserve, maxAdded);
		if (left.isEmpty())
			return [];
		if (left.slots() > maxAdded * parts.largestBase.slots)
			return null;
		parts.keepFor(reserve);
		return new RackSearch(left, reserve, maxAdded, parts).cheapest();
	}
}

/** The expansion bases and power supplies a planned rack may have, and what each rack carries besides its modules. */
private class RackOptions {
	public final bases:Array<CatalogItem>;
	/** Cheapest first. */
	public final powers:Array<CatalogItem>;
	public final interfaceModule:Null<CatalogItem>;
	public final cable:Null<CatalogItem>;
	public final usable:Bool;
	public var largestBase(default, null):Null<CatalogItem>;
	public var largestPower(default, null):Null<CatalogItem>;
	/** Per supply, what it offers with the reserve kept (`keepFor`); 24 V -1 without a 24 V output. */
	public var usable5V(default, null):Array<Int> = [];
	public var usable24V(default, null):Array<Int> = [];

	/**
		Discontinued items are never planned; bases and supplies a cheaper one matches in every figure
		are left out: no plan is the worse without them.
	**/
	public function new(catalog:Catalog) {
		final allBases = catalog.ofKind(ExpansionBase).filter(base -> !base.discontinued);
		bases = allBases.filter(a -> allBases.filter(b -> price(b) < price(a) && b.slots >= a.slots && b.draw5V <= a.draw5V
			&& b.draw24V <= a.draw24V).length == 0);
		final allPowers = catalog.ofKind(Power).filter(power -> !power.discontinued);
		powers = allPowers.filter(a -> allPowers.filter(b -> price(b) < price(a) && b.supply5V >= a.supply5V && b.supply24V >= a.supply24V)
			.length == 0);
		haxe.ds.ArraySort.sort(powers, (a, b) -> price(a) < price(b) ? -1 : price(a) > price(b) ? 1 : 0);
		interfaceModule = catalog.rackPart(ExpansionInterface);
		cable = catalog.rackPart(ExpansionCable);
		usable = bases.length > 0 && powers.length > 0 && interfaceModule != null && cable != null;
		for (base in bases)
			if (largestBase == null || base.slots > largestBase.slots)
				largestBase = base;
		for (power in powers)
			if (largestPower == null || power.supply5V > largestPower.supply5V)
				largestPower = power;
	}

	public function keepFor(reserve:Reserve):Void {
		usable5V = [for (power in powers) reserve.usable(Current5V, power.supply5V)];
		usable24V = [for (power in powers) power.supply24V == 0 ? -1 : reserve.usable(Current24V, power.supply24V)];
	}

	/** What a rack costs besides its modules: base, supply, interface module and cable (a missing price counts as none). */
	public function cost(base:CatalogItem, power:CatalogItem):Float {
		return price(base) + price(power) + price(interfaceModule) + price(cable);
	}

	static function price(item:CatalogItem):Float {
		return item.price == null ? 0.0 : item.price;
	}
}

/** The pieces the selection's own racks leave for planned ones: the unpinned ones in order, and those pinned to a rack to be added. */
private class Remainder {
	public final pieces:Array<CatalogItem> = [];
	/** Per rack to be added: the pieces pinned to it. */
	public final pinned:Array<Array<CatalogItem>>;

	function new(maxAdded:Int) {
		pinned = [for (_ in 0...maxAdded) []];
	}

	public static function after(all:Array<SlotPiece>, bases:Array<Null<CatalogItem>>, reserve:Reserve, maxAdded:Int):Remainder {
		final left = new Remainder(maxAdded);
		final own = bases.length;
		final limits = [for (base in bases) base == null ? 0 : reserve.usable(Slots, base.slots)];
		final toPlanned = (piece:SlotPiece) -> piece.rack >= own && piece.rack < own + maxAdded;
		final places = RackFill.place(all.filter(piece -> !toPlanned(piece)), limits);
		var placed = 0;
		for (piece in all) {
			if (toPlanned(piece))
				left.pinned[piece.rack - own].push(piece.item);
			else if (places[placed++] < 0)
				left.pieces.push(piece.item);
		}
		return left;
	}

	public function isEmpty():Bool {
		return pieces.length == 0 && pinned.filter(p -> p.length > 0).length == 0;
	}

	/** Slots of every piece left. */
	public function slots():Int {
		var total = 0;
		for (item in pieces)
			total += item.slots;
		for (rack in pinned)
			for (item in rack)
				total += item.slots;
		return total;
	}

	/** The last rack to be added that holds a pinned piece; -1: none. */
	public function lastPinnedRack():Int {
		var last = -1;
		for (j in 0...pinned.length)
			if (pinned[j].length > 0)
				last = j;
		return last;
	}
}

/**
	The fewest racks, then the lowest price: for each rack in turn and each piece it may start
	at, the best way to place the rest (each state worked out once). A rack on a given base takes
	as many of the next pieces as the base holds and the supply carries, a dearer supply only
	when it carries more; taking fewer never leaves a cheaper rest.
**/
private class RackSearch {
	final left:Remainder;
	final maxAdded:Int;
	final parts:RackOptions;
	/** Prefix sums over the unpinned pieces: slots, 5 V and 24 V. */
	final slotsBefore:Array<Int> = [0];
	final draw5VBefore:Array<Int> = [0];
	final draw24VBefore:Array<Int> = [0];
	final bestFrom:Array<Array<Null<Step>>>;
	final worked:Array<Array<Bool>>;
	/** Per piece and base: the racks without pinned pieces that start there. */
	final plain:Array<Array<Null<Array<Step>>>>;
	/** Per base: the slots it offers with the reserve kept. */
	final rooms:Array<Int>;

	public function new(left:Remainder, reserve:Reserve, maxAdded:Int, parts:RackOptions) {
		this.left = left;
		this.maxAdded = maxAdded;
		this.parts = parts;
		for (item in left.pieces) {
			slotsBefore.push(slotsBefore[slotsBefore.length - 1] + item.slots);
			draw5VBefore.push(draw5VBefore[draw5VBefore.length - 1] + item.draw5V);
			draw24VBefore.push(draw24VBefore[draw24VBefore.length - 1] + item.draw24V);
		}
		bestFrom = [for (_ in 0...maxAdded + 1) [for (_ in 0...left.pieces.length + 1) null]];
		worked = [for (_ in 0...maxAdded + 1) [for (_ in 0...left.pieces.length + 1) false]];
		plain = [for (_ in 0...left.pieces.length + 1) [for (_ in parts.bases) null]];
		rooms = [for (base in parts.bases) reserve.usable(Slots, base.slots)];
	}

	/** The racks of the best plan; null when none fits. */
	public function cheapest():Null<Array<Step>> {
		var step = solve(0, 0);
		if (step == null)
			return null;
		final racks:Array<Step> = [];
		var j = 0;
		while (step.base != null) {
			racks.push(step);
			step = bestFrom[++j][step.next];
		}
		return racks;
	}

	function solve(rack:Int, start:Int):Null<Step> {
		if (worked[rack][start])
			return bestFrom[rack][start];
		worked[rack][start] = true;
		if (start == left.pieces.length && rack > left.lastPinnedRack())
			return bestFrom[rack][start] = Step.done();
		if (rack == maxAdded)
			return null;
		var found:Null<Step> = null;
		for (b in 0...parts.bases.length)
			for (option in (left.pinned[rack].length == 0 ? plainRacks(start, b) : racksFrom(start, b, left.pinned[rack]))) {
				final rest = solve(rack + 1, option.next);
				if (rest == null)
					continue;
				final step = new Step(option.base, option.power, option.next, option.slots, rest.racks + 1, rest.cost + option.cost,
					rest.baseSlots + option.base.slots);
				if (found == null || step.isBetterThan(found))
					found = step;
			}
		return bestFrom[rack][start] = found;
	}

	/** The racks on base `b` without pinned pieces from piece `start`: the same wherever they stand in the plan, so worked out once. */
	function plainRacks(start:Int, b:Int):Array<Step> {
		if (plain[start][b] == null)
			plain[start][b] = racksFrom(start, b, []);
		return plain[start][b];
	}

	/**
		The racks on base `b` that carry `pinned` and the pieces from `start` on: per supply,
		cheapest first, as many pieces as it carries, kept only where a dearer supply carries more.
	**/
	function racksFrom(start:Int, b:Int, pinned:Array<CatalogItem>):Array<Step> {
		final base = parts.bases[b];
		var room = rooms[b];
		var draw5V = base.draw5V + parts.interfaceModule.draw5V;
		var draw24V = base.draw24V + parts.interfaceModule.draw24V;
		for (item in pinned) {
			room -= item.slots;
			draw5V += item.draw5V;
			draw24V += item.draw24V;
		}
		final options:Array<Step> = [];
		if (room < 0)
			return options;
		final bySlots = lastWithin(slotsBefore, start, room, left.pieces.length);
		var most = start - 1;
		for (p in 0...parts.powers.length) {
			final for24V = parts.usable24V[p] < 0 ? (draw24V > 0 ? -1 : 0) : parts.usable24V[p] - draw24V;
			final free5V = parts.usable5V[p] - draw5V;
			if (for24V < 0 || free5V < 0)
				continue;
			final end = lastWithin(draw24VBefore, start, for24V, lastWithin(draw5VBefore, start, free5V, bySlots));
			if (end <= most || (end == start && start < left.pieces.length && pinned.length == 0))
				continue;
			most = end;
			var slots = slotsBefore[end] - slotsBefore[start];
			for (item in pinned)
				slots += item.slots;
			options.push(new Step(base, parts.powers[p], end, slots, 1, parts.cost(base, parts.powers[p]), base.slots));
			if (end == bySlots)
				break;
		}
		return options;
	}

	/** The last piece up to `end` a rack from `start` takes while the sum over `before` stays within `room`. */
	function lastWithin(before:Array<Int>, start:Int, room:Int, end:Int):Int {
		if (before[end] - before[start] <= room)
			return end;
		var low = start;
		var high = end;
		while (low < high) {
			final middle = (low + high + 1) >> 1;
			if (before[middle] - before[start] <= room)
				low = middle;
			else
				high = middle - 1;
		}
		return low;
	}
}

/** One rack of a plan: its base and supply, where the next rack starts, the slots it fills, and what the plan from there costs. */
private class Step {
	public final base:Null<CatalogItem>;
	public final power:Null<CatalogItem>;
	/** The piece the next rack starts at. */
	public final next:Int;
	/** The slots this rack fills, pinned pieces included. */
	public final slots:Int;
	public final racks:Int;
	public final cost:Float;
	public final baseSlots:Int;

	public function new(base, power, next, slots, racks, cost, baseSlots) {
		this.base = base;
		this.power = power;
		this.next = next;
		this.slots = slots;
		this.racks = racks;
		this.cost = cost;
		this.baseSlots = baseSlots;
	}

	public static function done():Step {
		return new Step(null, null, 0, 0, 0, 0.0, 0);
	}

	/** Fewer racks, then a lower price, then fewer slots. */
	public function isBetterThan(other:Step):Bool {
		return racks != other.racks ? racks < other.racks : cost != other.cost ? cost < other.cost : baseSlots < other.baseSlots;
	}
}
