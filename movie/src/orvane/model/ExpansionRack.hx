package orvane.model;

/** An expansion rack: its base and power supply, each null until chosen. */
class ExpansionRack {
	public var base:Null<CatalogItem>;
	public var power:Null<CatalogItem>;

	public function new(?base:CatalogItem, ?power:CatalogItem) {
		this.base = base;
		this.power = power;
	}

	public function copy():ExpansionRack {
		return new ExpansionRack(base, power);
	}
}
