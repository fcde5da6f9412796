package orvane.model;

/**
	Which piece stands in which slot of which rack, given the rack of each piece: by module
	(`place`) pinned pieces stand in their rack and the others, in the selection's order, fill the
	main rack from slot 1 and then each rack in turn up to a limit, a piece wider than what is left
	starting the next rack; by I/O need the planner says where each goes (RackPlanner). In each
	rack the pieces stand in the selection's order. What a rack cannot
	hold (pinned pieces beyond its base, and with the last rack the pieces no rack has room for)
	lies past its base. A piece of an item the catalogue lacks takes no slot: it stands between the
	slots where its order puts it (`uncounted`), counted in no slot figure.
**/
class RackFill {
	public final pieces:Array<SlotPiece>;
	/** Per rack from the main one: one entry per slot of its base; null: free. */
	public final racks:Array<Array<Null<SlotUse>>> = [];
	/** Per rack: the slots its pieces would take past its base. */
	public final beyond:Array<Array<SlotUse>> = [];
	/** Per rack: the pieces that take no slot, each with the number of slots (the base's, then past it) before it. */
	public final uncounted:Array<Array<{use:SlotUse, at:Int}>> = [];
	/** The rack each piece stands in (or, past every base, the last one). */
	public final rackOf:Array<Int>;
	/** `places`: the rack of each piece (-1: none has room), as `place` or the planner gives them. */
	public function new(pieces:Array<SlotPiece>, capacities:Array<Int>, places:Array<Int>) {
		this.pieces = pieces;
		final last = capacities.length - 1;
		rackOf = [for (rack in places) rack < 0 ? last : rack];
		for (r in 0...capacities.length) {
			final slots:Array<Null<SlotUse>> = [for (_ in 0...capacities[r]) null];
			final past:Array<SlotUse> = [];
			final between:Array<{use:SlotUse, at:Int}> = [];
			var used = 0;
			final standAside = (i:Int) -> between.push({use: new SlotUse(pieces[i].item, false, i, pieces[i].isPinned()),
				at: past.length == 0 ? used : capacities[r] + past.length});
			for (i in 0...pieces.length) {
				if (places[i] != r)
					continue;
				final piece = pieces[i];
				if (piece.item.slots == 0) {
					standAside(i);
					continue;
				}
				final fits = past.length == 0 && used + piece.item.slots <= capacities[r];
				for (part in 0...piece.item.slots) {
					final use = new SlotUse(piece.item, part > 0, i, piece.isPinned());
					if (fits)
						slots[used++] = use;
					else
						past.push(use);
				}
			}
			if (r == last)
				for (i in 0...pieces.length)
					if (places[i] < 0) {
						if (pieces[i].item.slots == 0)
							standAside(i);
						for (part in 0...pieces[i].item.slots)
							past.push(new SlotUse(pieces[i].item, part > 0, i, false));
					}
			racks.push(slots);
			beyond.push(past);
			uncounted.push(between);
		}
	}

	/**
		The rack of each of `pieces` from `countedPlaces`, the racks of those that take slots in
		order: a piece of an item the catalogue lacks stands on the rack it is pinned to (of
		`racks`), else with the piece before it (the main rack when none is).
	**/
	public static function withUncounted(pieces:Array<SlotPiece>, countedPlaces:Array<Int>, racks:Int):Array<Int> {
		var next = 0;
		var previous = 0;
		return [
			for (piece in pieces)
				if (!piece.item.unknown) previous = countedPlaces[next++]; else if (piece.rack >= 0 && piece.rack < racks) piece.rack; else previous
		];
	}

	/** The rack of each piece by `place` with the first of `limits` (each a limit per rack) that gives every piece one, else the last. */
	public static function firstFitting(pieces:Array<SlotPiece>, limits:Array<Array<Int>>):Array<Int> {
		var places = [];
		for (tried in limits) {
			places = place(pieces, tried);
			if (places.indexOf(-1) < 0)
				break;
		}
		return places;
	}

	/**
		The rack of each piece (-1: none has room), each rack taking up to `limits` slots: first
		the pinned pieces, then the others in order.
	**/
	public static function place(pieces:Array<SlotPiece>, limits:Array<Int>):Array<Int> {
		final pinned = [for (_ in limits) 0];
		for (piece in pieces)
			if (piece.rack >= 0 && piece.rack < limits.length)
				pinned[piece.rack] += piece.item.slots;
		var rack = 0;
		var used = 0;
		return [
			for (piece in pieces) {
				if (piece.rack >= 0 && piece.rack < limits.length) {
					piece.rack;
				} else {
					while (rack < limits.length && used + piece.item.slots > limits[rack] - pinned[rack]) {
						rack++;
						used = 0;
					}
					if (rack < limits.length)
						used += piece.item.slots;
					rack < limits.length ? rack : -1;
				}
			}
		];
	}

	/** Some piece lies past its rack's base. */
	public function overflows():Bool {
		return beyond.filter(past -> past.length > 0).length > 0;
	}

	/** The modules in rack `index` with their quantities, in catalogue order. */
	public function modulesIn(index:Int, catalog:Catalog):Array<ModuleLine> {
		final counts:Map<String, Int> = [];
		for (i in 0...pieces.length)
			if (rackOf[i] == index)
				counts[pieces[i].item.code] = (counts.exists(pieces[i].item.code) ? counts[pieces[i].item.code] : 0) + 1;
		return [for (item in catalog.items) if (counts.exists(item.code)) new ModuleLine(item, counts[item.code])];
	}

	/** The slots taken in rack `index`, those past its base included. */
	public function uses(index:Int):Array<SlotUse> {
		return [for (use in racks[index]) if (use != null) use].concat(beyond[index]);
	}

	/** Rack `index` as shown: its base's slots (null: free), those past it, and the pieces that take no slot in their places. */
	public function cells(index:Int):Array<Null<SlotUse>> {
		final all:Array<Null<SlotUse>> = racks[index].concat(cast beyond[index]);
		final aside = uncounted[index];
		for (k in 0...aside.length)
			all.insert(aside[k].at + k, aside[k].use);
		return all;
	}

	/**
		The piece that piece `index` changes places with when moved one place left (-1) or right
		(+1) as the racks show them; -1 when it cannot go that way. In its rack it passes its
		neighbour; past the rack's first or last slot an unpinned piece changes places with the
		nearest unpinned piece of the rack before or after, and a pinned one stays. Pieces of one
		module do not change places.
	**/
	public function partnerFor(index:Int, direction:Int):Int {
		final shown = [for (r in 0...racks.length) for (use in cells(r)) if (use != null && !use.continued) use.piece];
		final at = shown.indexOf(index);
		if (at < 0)
			return -1;
		var target = at + direction;
		if (target >= 0 && target < shown.length && rackOf[shown[target]] != rackOf[index]) {
			if (pieces[index].isPinned())
				return -1;
			while (target >= 0 && target < shown.length && pieces[shown[target]].isPinned())
				target += direction;
		}
		if (target < 0 || target >= shown.length)
			return -1;
		final partner = shown[target];
		return pieces[partner].item == pieces[index].item ? -1 : partner;
	}
}
