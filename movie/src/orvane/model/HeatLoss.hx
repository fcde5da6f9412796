package orvane.model;

/**
	Power loss added up over items: what the known ones give, and whether any is unknown. With an
	unknown part the sum is a lower bound ("至少 …"); with no known part at all it is unknown.
**/
class HeatLoss {
	public var milliwatts(default, null) = 0;
	public var unknownParts(default, null) = 0;
	public var knownParts(default, null) = 0;

	public function new() {}

	/** Adds `quantity` pieces of `item`, each with its own I/O points all loaded. */
	public function addItem(item:Null<CatalogItem>, quantity:Int):Void {
		if (item == null || quantity <= 0)
			return;
		final each = item.figures.lossWith(item.points.total());
		if (each == null)
			unknownParts += quantity;
		else {
			milliwatts += each * quantity;
			knownParts += quantity;
		}
	}

	public function add(other:HeatLoss):Void {
		milliwatts += other.milliwatts;
		unknownParts += other.unknownParts;
		knownParts += other.knownParts;
	}

	public function isComplete():Bool {
		return unknownParts == 0;
	}

	public function isUnknown():Bool {
		return knownParts == 0 && unknownParts > 0;
	}

	public function watts():Float {
		return milliwatts / 1000;
	}

	/** "12.5 W", "至少 12.5 W" with an unknown part, "未知" with nothing known. */
	public function text():String {
		return isUnknown() ? CabinetFigures.UNKNOWN : (isComplete() ? "" : "至少 ") + CabinetFigures.oneDecimal(watts()) + " W";
	}
}
