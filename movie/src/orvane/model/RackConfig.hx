package orvane.model;

/** An expansion rack the planner may add: its base and supply, what it costs, and the room it gives modules. */
class RackConfig {
	public final base:CatalogItem;
	public final power:CatalogItem;
	/** Base, supply, interface module, cable and the accessories they require (a missing price counts as none). */
	public final cost:Int;
	/** Slots, 5 V and 24 V left for modules once the base and interface module draw theirs, the reserve kept. */
	public final room:Array<Int>;

	public function new(base, power, cost, room) {
		this.base = base;
		this.power = power;
		this.cost = cost;
		this.room = room;
	}
}
