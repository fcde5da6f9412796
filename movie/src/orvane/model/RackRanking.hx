package orvane.model;

/**
	The racks that may be added for one need, those that do most of the work for their price
	first, with what bounds a search over them: the most room any gives of each figure, the
	cheapest, and the lowest price per unit of each figure.
**/
class RackRanking {
	public final configs:Array<RackConfig>;
	public final most:Array<Int> = [0, 0, 0];
	public final cheapest:Int = 0x7FFFFFFF;
	public final pricePerUnit:Array<Float> = [1e12, 1e12, 1e12];

	public function new(configs:Array<RackConfig>) {
		this.configs = configs;
		for (c in configs) {
			if (c.cost < cheapest)
				cheapest = c.cost;
			for (d in 0...3) {
				if (c.room[d] > most[d])
					most[d] = c.room[d];
				if (c.room[d] > 0 && c.cost / c.room[d] < pricePerUnit[d])
					pricePerUnit[d] = c.cost / c.room[d];
			}
		}
	}
}
