package orvane.model;

/**
	How many modules of each kind go on each rack so that no rack gets more than its room (slots,
	5 V, 24 V): whether any way exists, and the way that leaves most pieces on the racks a
	reference layout gives them. Modules of one kind are interchangeable, so the search runs over
	counts per kind per rack; a state that cannot be completed is remembered.
**/
class ModulePacking {
	/** Per kind: slots, 5 V, 24 V of one piece. */
	final weights:Array<Array<Int>>;
	final rooms:Array<Array<Int>>;
	final budget:SearchBudget;
	/** Per rack: the room of it and every rack after it, per figure. */
	final roomFrom:Array<Array<Int>>;
	/** States that cannot be completed: by number where the counts allow one, else by text. */
	final dead:Map<Int, Bool> = [];
	final deadByText:Map<String, Bool> = [];
	/** Per kind, what one piece left of it adds to a state's number; null where numbers would grow too large. */
	var radix:Null<Array<Int>>;
	var reference:Array<Array<Int>> = [];
	/** Per rack: per kind, the reference's pieces on it and every rack after it. */
	var referenceFrom:Array<Array<Int>> = [];
	var mostKept = -1;
	var closest:Null<Array<Array<Int>>>;
	/** Per rack and kind: the counts `fits` found, when it found some. */
	public var packed(default, null):Null<Array<Array<Int>>>;

	public function new(weights:Array<Array<Int>>, rooms:Array<Array<Int>>, budget:SearchBudget) {
		this.weights = weights;
		this.rooms = rooms;
		this.budget = budget;
		roomFrom = [for (_ in 0...rooms.length + 1) [0, 0, 0]];
		var r = rooms.length;
		while (r-- > 0)
			for (d in 0...3)
				roomFrom[r][d] = Std.int(Math.min(RackRoom.UNLIMITED, roomFrom[r + 1][d] + Math.max(0, rooms[r][d])));
	}

	/** Whether `counts` (per kind) fit the racks. */
	public function fits(counts:Array<Int>):Bool {
		var scale = rooms.length + 1.0;
		radix = [];
		for (n in counts) {
			radix.push(Std.int(scale));
			scale *= n + 1;
		}
		if (scale > 0x3FFFFFFF)
			radix = null;
		packed = [for (_ in rooms) [for (_ in counts) 0]];
		if (completes(0, counts))
			return true;
		packed = null;
		return false;
	}

	/**
		The counts per rack and kind that fit and keep most pieces where `layout` (per rack and kind)
		has them; null when none fits or the budget ended before one was found.
	**/
	public function closestTo(counts:Array<Int>, layout:Array<Array<Int>>):Null<Array<Array<Int>>> {
		reference = layout;
		referenceFrom = [for (_ in 0...rooms.length + 1) [for (_ in counts) 0]];
		var r = rooms.length;
		while (r-- > 0)
			for (k in 0...counts.length)
				referenceFrom[r][k] = referenceFrom[r + 1][k] + layout[r][k];
		mostKept = -1;
		closest = null;
		if (fits(counts))
			search(0, counts, 0, []);
		return closest;
	}

	/** Pieces that stay where the reference has them, at most, from rack `rack` on with `left` to place. */
	function keepable(rack:Int, left:Array<Int>):Int {
		var most = 0;
		for (k in 0...left.length)
			most += left[k] < referenceFrom[rack][k] ? left[k] : referenceFrom[rack][k];
		return most;
	}

	function search(rack:Int, left:Array<Int>, kept:Int, loads:Array<Array<Int>>):Void {
		if (rack == rooms.length) {
			if (kept > mostKept) {
				mostKept = kept;
				closest = [for (load in loads) load.copy()];
			}
			return;
		}
		if (kept + keepable(rack, left) <= mostKept || !budget.spend())
			return;
		final load = [for (_ in left) 0];
		loads.push(load);
		nearReference(rack, left, 0, rooms[rack].copy(), load, kept, loads);
		loads.pop();
	}

	/** The loads of rack `rack`, kind by kind, those nearest the reference first, each followed by the search of the rest. */
	function nearReference(rack:Int, left:Array<Int>, kind:Int, room:Array<Int>, load:Array<Int>, kept:Int, loads:Array<Array<Int>>):Void {
		if (kind == left.length) {
			final rest = [for (k in 0...left.length) left[k] - load[k]];
			if (budget.spend() && completes(rack + 1, rest))
				search(rack + 1, rest, kept, loads);
			return;
		}
		final most = mostOf(kind, left[kind], room);
		final wanted = reference[rack][kind] < most ? reference[rack][kind] : most;
		final order = [for (n in wanted...most + 1) n].concat([for (i in 0...wanted) wanted - 1 - i]);
		for (n in order) {
			if (budget.ended || kept + keepable(rack, left) <= mostKept)
				return;
			load[kind] = n;
			take(room, kind, n);
			nearReference(rack, left, kind + 1, room, load, kept + (n < reference[rack][kind] ? n : reference[rack][kind]), loads);
			take(room, kind, -n);
		}
		load[kind] = 0;
	}

	function completes(rack:Int, left:Array<Int>):Bool {
		var empty = true;
		for (n in left)
			if (n > 0)
				empty = false;
		if (empty)
			return true;
		if (rack == rooms.length || !withinRoom(rack, left))
			return false;
		var key = rack;
		if (radix != null)
			for (k in 0...left.length)
				key += left[k] * radix[k];
		final text = radix == null ? rack + ":" + left.join(",") : "";
		if ((radix != null ? dead.exists(key) : deadByText.exists(text)) || !budget.spend())
			return false;
		final found = fullLoads(rack, left, 0, rooms[rack].copy(), [for (_ in left) 0]);
		if (!found && !budget.ended) {
			if (radix != null)
				dead[key] = true;
			else
				deadByText[text] = true;
		}
		return found;
	}

	/**
		Whether some load of rack `rack` lets the rest fit. Only full loads are tried: a load that
		could take one more piece still to place does no better than the load with it, since the
		piece then leaves room on a later rack (so the last kind takes all it can); a partial load
		that leaves room for one more piece of a kind before, whatever the kinds after take, is
		given up at once. Each kind's count is tried from its share of what is left, the rack's
		part of the slots still free, outwards: a balanced first try, that mostly fits at once.
	**/
	function fullLoads(rack:Int, left:Array<Int>, kind:Int, room:Array<Int>, load:Array<Int>):Bool {
		if (kind > 0 && kind < left.length && roomStaysFor(left, kind, room, load))
			return false;
		if (kind == left.length) {
			for (k in 0...left.length)
				if (left[k] > load[k] && mostOf(k, 1, room) == 1)
					return false;
			if (!budget.spend() || !completes(rack + 1, [for (k in 0...left.length) left[k] - load[k]]))
				return false;
			packed[rack] = load.copy();
			return true;
		}
		final most = mostOf(kind, left[kind], room);
		final share = roomFrom[rack][0] <= 0 ? 1.0 : Math.min(1.0, Math.max(0, rooms[rack][0]) / roomFrom[rack][0]);
		final first = kind == left.length - 1 ? most : Std.int(Math.min(most, Math.round(left[kind] * share)));
		final low = kind == left.length - 1 ? most : 0;
		var step = 0;
		while (first + step <= most || first - step >= low) {
			for (side in (step == 0 ? 0 : -1)...1) {
				final n = side == 0 ? first + step : first - step;
				if (n >= low && n <= most) {
					load[kind] = n;
					take(room, kind, n);
					final found = fullLoads(rack, left, kind + 1, room, load);
					take(room, kind, -n);
					if (found || budget.ended)
						return found;
				}
			}
			step++;
		}
		load[kind] = 0;
		return false;
	}

	/**
		Whether a piece of a kind before `kind` that is still to place would fit `room` even if
		the kinds from `kind` on took all they could of every figure: the load could not be full.
	**/
	function roomStaysFor(left:Array<Int>, kind:Int, room:Array<Int>, load:Array<Int>):Bool {
		final free = room.copy();
		for (k in kind...left.length) {
			final most = mostOf(k, left[k], room);
			for (d in 0...3)
				free[d] -= most * weights[k][d];
		}
		for (k in 0...kind)
			if (left[k] > load[k]) {
				var fits = true;
				for (d in 0...3)
					if (weights[k][d] > 0 && room[d] < RackRoom.UNLIMITED && free[d] < weights[k][d])
						fits = false;
				if (fits)
					return true;
			}
		return false;
	}

	/** Whether what is left fits the room of rack `rack` and those after it, figure by figure. */
	function withinRoom(rack:Int, left:Array<Int>):Bool {
		for (d in 0...3) {
			if (roomFrom[rack][d] >= RackRoom.UNLIMITED)
				continue;
			var need = 0;
			for (k in 0...left.length)
				need += left[k] * weights[k][d];
			if (need > roomFrom[rack][d])
				return false;
		}
		return true;
	}

	/** The most pieces of `kind`, up to `wanted`, that `room` takes. */
	function mostOf(kind:Int, wanted:Int, room:Array<Int>):Int {
		var most = wanted;
		for (d in 0...3)
			if (weights[kind][d] > 0 && room[d] < RackRoom.UNLIMITED) {
				final fit = room[d] < 0 ? 0 : Std.int(room[d] / weights[kind][d]);
				if (fit < most)
					most = fit;
			}
		return most;
	}

	function take(room:Array<Int>, kind:Int, n:Int):Void {
		for (d in 0...3)
			if (room[d] < RackRoom.UNLIMITED)
				room[d] -= weights[kind][d] * n;
	}
}
