package orvane.model;

/**
	What a rack leaves its modules: slots, 5 V and 24 V with the reserve kept, once its base, its
	supply and what else it carries (the CPU, an expansion rack's interface module and cable) have
	theirs. UNLIMITED where nothing limits it: a current without a supply chosen, and 24 V on a
	rack of the user's whose supply has no 24 V output (an external supply feeds it); a rack the
	planner adds draws 24 V from its own supply only.
**/
class RackRoom {
	public static inline final UNLIMITED = 0x3FFFFFF;

	public static function of(base:Null<CatalogItem>, power:Null<CatalogItem>, carried:Array<Null<CatalogItem>>, reserve:Reserve,
			own:Bool):Array<Int> {
		var draw5V = 0;
		var draw24V = 0;
		for (item in carried)
			if (item != null) {
				draw5V += item.draw5V;
				draw24V += item.draw24V;
			}
		for (item in [base, power])
			if (item != null) {
				draw5V += item.draw5V;
				draw24V += item.draw24V;
			}
		final slots = base == null ? 0 : reserve.usable(Slots, base.slots);
		final room5V = power == null ? UNLIMITED : reserve.usable(Current5V, power.supply5V) - draw5V;
		final room24V = power == null || (own && power.supply24V == 0) ? UNLIMITED : power.supply24V == 0 ? -draw24V : reserve.usable(Current24V,
			power.supply24V) - draw24V;
		return [slots, room5V, room24V];
	}

	/** `room` less what `items` take. */
	public static function less(room:Array<Int>, items:Array<CatalogItem>):Array<Int> {
		final left = room.copy();
		for (item in items) {
			left[0] -= item.slots;
			if (left[1] < UNLIMITED)
				left[1] -= item.draw5V;
			if (left[2] < UNLIMITED)
				left[2] -= item.draw24V;
		}
		return left;
	}
}
