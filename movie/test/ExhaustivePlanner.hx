import orvane.model.*;

/** A plan the reference found: the reserves given up, the racks added (base and supply), their price. */
typedef ReferencePlan = {givenUp:Array<LimitKind>, racks:Array<{base:CatalogItem, power:CatalogItem}>, cost:Int};

/**
	The planner's reference, for small systems only: tries every number of added racks, every
	base and supply for each of them in every order, and every way to put the module counts on
	the racks, and keeps the fewest racks and then the lowest price, with the fewest reserves given
	up (slots before 24 V before 5 V). Nothing clever: no bound, no left-out parts, no shortcut but
	trying the sets of racks cheapest first and stopping at the first that holds the modules.
**/
class ExhaustivePlanner {
	static inline final UNLIMITED = 1 << 29;

	final catalog:Catalog;
	final selection:Selection;
	final pieces:Array<SlotPiece>;
	final own:Int;
	final maxAdded:Int;

	public function new(selection:Selection, catalog:Catalog, pieces:Array<SlotPiece>, maxAdded:Int) {
		this.catalog = catalog;
		this.selection = selection;
		own = 1 + selection.racks.length;
		this.maxAdded = maxAdded;
		this.pieces = [for (p in pieces) p.rack >= own + maxAdded ? new SlotPiece(p.item) : p];
	}

	public function best():Null<ReferencePlan> {
		final kinds = [LimitKind.Slots, LimitKind.Current24V, LimitKind.Current5V].filter(k -> selection.reserve.percent(k) > 0);
		final sets:Array<Array<LimitKind>> = [];
		for (mask in 0...1 << kinds.length)
			sets.push([for (i in 0...kinds.length) if (mask & (1 << i) != 0) kinds[i]]);
		// Fewest given up first; among as many, the earlier kinds given up first (the mask's order within a size).
		haxe.ds.ArraySort.sort(sets, (a, b) -> a.length != b.length ? a.length - b.length : rank(a, kinds) - rank(b, kinds));
		for (givenUp in sets) {
			final plan = bestKeeping(givenUp);
			if (plan != null)
				return plan;
		}
		return null;
	}

	static function rank(set:Array<LimitKind>, kinds:Array<LimitKind>):Int {
		var bits = 0;
		for (k in set)
			bits |= 1 << kinds.indexOf(k);
		return bits;
	}

	function bestKeeping(givenUp:Array<LimitKind>):Null<ReferencePlan> {
		final pct = (k:LimitKind) -> givenUp.contains(k) ? 0 : selection.reserve.percent(k);
		final usable = (k:LimitKind, capacity:Int) -> capacity - Std.int((capacity * pct(k) + 99) / 100);
		final ifm = catalog.rackPart(ExpansionInterface);
		final cable = catalog.rackPart(ExpansionCable);
		final pairs = [];
		if (ifm != null && cable != null)
			for (b in catalog.ofKind(ExpansionBase))
				for (p in catalog.ofKind(Power))
					if (!b.discontinued && !p.discontinued)
						pairs.push({base: b, power: p, cost: price(b) + price(p) + price(ifm) + price(cable)});
		final kinds:Array<CatalogItem> = [];
		final counts:Array<Int> = [];
		for (p in pieces)
			if (!p.isPinned()) {
				final k = kinds.indexOf(p.item);
				if (k < 0) {
					kinds.push(p.item);
					counts.push(1);
				} else
					counts[k]++;
			}
		var lastPinned = -1;
		for (p in pieces)
			if (p.isPinned() && p.rack >= own)
				lastPinned = Std.int(Math.max(lastPinned, p.rack - own));
		final ownRacks = [{base: selection.base, power: selection.power, carried: [selection.cpu]}].concat([
			for (r in selection.racks) {base: r.base, power: r.power, carried: [ifm, cable]}
		]);
		for (added in lastPinned + 1...(pairs.length == 0 ? 0 : maxAdded) + 1) {
			final tuples = [];
			tuplesOf(pairs, added, [], tuples);
			haxe.ds.ArraySort.sort(tuples, (a, b) -> costOf(a) - costOf(b));
			for (tuple in tuples) {
				// Room per rack: slots, 5 V, 24 V (-1: unlimited); an own rack's pinned pieces and parts first.
				final rooms = [];
				for (r in 0...own + added) {
					final isOwn = r < own;
					final base = isOwn ? ownRacks[r].base : tuple[r - own].base;
					final power = isOwn ? ownRacks[r].power : tuple[r - own].power;
					final loads = (isOwn ? ownRacks[r].carried : [ifm, cable]).concat([base, power]).concat([for (p in pieces) if (p.rack == r) p.item]);
					var s = base == null ? 0 : usable(Slots, base.slots), a = 0, c = 0;
					var slotsUsed = 0;
					for (item in loads)
						if (item != null) {
							a += item.draw5V;
							c += item.draw24V;
						}
					for (p in pieces)
						if (p.rack == r)
							slotsUsed += p.item.slots;
					final room5 = power == null ? UNLIMITED : usable(Current5V, power.supply5V) - a;
					final room24 = power == null || (isOwn && power.supply24V == 0) ? UNLIMITED : power.supply24V == 0 ? -c : usable(Current24V,
						power.supply24V) - c;
					final roomS = s - slotsUsed;
					// A rack added must hold its parts and pinned pieces; an own rack past a limit by those alone takes nothing more of it.
					if (!isOwn && (roomS < 0 || room5 < 0 || room24 < 0))
						rooms.push(null);
					else
						rooms.push([for (room in [roomS, room5, room24]) room < 0 ? 0 : room]);
				}
				if (rooms.indexOf(null) >= 0)
					continue;
				if (place(kinds, counts.copy(), rooms, 0, 0))
					return {givenUp: givenUp, racks: [for (t in tuple) {base: t.base, power: t.power}], cost: costOf(tuple)};
			}
		}
		return null;
	}

	/** Every way to put the counts on the racks, kind by kind and rack by rack. */
	function place(kinds:Array<CatalogItem>, left:Array<Int>, rooms:Array<Array<Int>>, kind:Int, rack:Int):Bool {
		if (kind == kinds.length)
			return true;
		if (rack == rooms.length - 1 || left[kind] == 0) {
			final n = left[kind];
			if (!takes(rooms[rack], kinds[kind], n))
				return false;
			take(rooms[rack], kinds[kind], n);
			final ok = place(kinds, left, rooms, kind + 1, 0);
			take(rooms[rack], kinds[kind], -n);
			return ok;
		}
		for (n in 0...left[kind] + 1) {
			if (!takes(rooms[rack], kinds[kind], n))
				break;
			take(rooms[rack], kinds[kind], n);
			left[kind] -= n;
			final ok = place(kinds, left, rooms, kind, rack + 1);
			left[kind] += n;
			take(rooms[rack], kinds[kind], -n);
			if (ok)
				return true;
		}
		return false;
	}

	static function takes(room:Array<Int>, item:CatalogItem, n:Int):Bool {
		return item.slots * n <= room[0] && item.draw5V * n <= room[1] && item.draw24V * n <= room[2];
	}

	static function take(room:Array<Int>, item:CatalogItem, n:Int):Void {
		room[0] -= item.slots * n;
		room[1] -= item.draw5V * n;
		room[2] -= item.draw24V * n;
	}

	static function tuplesOf<T>(pairs:Array<T>, length:Int, prefix:Array<T>, into:Array<Array<T>>):Void {
		if (prefix.length == length) {
			into.push(prefix.copy());
			return;
		}
		for (p in pairs) {
			prefix.push(p);
			tuplesOf(pairs, length, prefix, into);
			prefix.pop();
		}
	}

	static function costOf(tuple:Array<{base:CatalogItem, power:CatalogItem, cost:Int}>):Int {
		var sum = 0;
		for (t in tuple)
			sum += t.cost;
		return sum;
	}

	public static function price(item:CatalogItem):Int {
		var total = item.price == null ? 0 : item.price;
		for (need in item.accessories)
			total += (need.item.price == null ? 0 : need.item.price) * need.quantity;
		return total;
	}
}
