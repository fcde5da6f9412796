package orvane.model;

/**
	What the user keeps free of each limit for changes on site: a percentage of each base's
	slots, of each power supply's 5 V and 24 V output and of the CPU's I/O points; none by
	default. The share kept is rounded up to whole slots, mA or points.
**/
class Reserve {
	public static inline final MAX_PERCENT = 50;

	final percents:Array<Int> = [for (_ in LimitKind.all) 0];

	public function new() {}

	public function copy():Reserve {
		final twin = new Reserve();
		for (kind in LimitKind.all)
			twin.set(kind, percent(kind));
		return twin;
	}

	public function percent(kind:LimitKind):Int {
		return percents[kind.index()];
	}

	/** Sets a percentage within 0..MAX_PERCENT. */
	public function set(kind:LimitKind, value:Int):Void {
		percents[kind.index()] = value < 0 ? 0 : value > MAX_PERCENT ? MAX_PERCENT : value;
	}

	public function isNone():Bool {
		return percents.filter(p -> p > 0).length == 0;
	}

	/** How much of `capacity` stays free. */
	public function kept(kind:LimitKind, capacity:Int):Int {
		return Std.int((capacity * percent(kind) + 99) / 100);
	}

	/** What may be used of `capacity` while the reserve is kept. */
	public function usable(kind:LimitKind, capacity:Int):Int {
		return capacity - kept(kind, capacity);
	}

	/** `slots:10,5V:15,24V:15,points:20` (the selection text's `reserve=`). */
	public function write():String {
		return [for (kind in LimitKind.all) kind.tag + ":" + percent(kind)].join(",");
	}

	/** The reserve `write` gave; null for any other text. */
	public static function read(text:String):Null<Reserve> {
		final entries = text.split(",");
		if (entries.length != LimitKind.all.length)
			return null;
		final reserve = new Reserve();
		for (i in 0...entries.length) {
			final pair = entries[i].split(":");
			final kind = LimitKind.all[i];
			if (pair.length != 2 || pair[0] != kind.tag || !~/^[0-9]{1,2}$/.match(pair[1]) || Std.parseInt(pair[1]) > MAX_PERCENT)
				return null;
			reserve.set(kind, Std.parseInt(pair[1]));
		}
		return reserve.isNone() ? null : reserve;
	}
}
