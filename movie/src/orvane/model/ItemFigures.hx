package orvane.model;

/**
	What an item takes of the DIN rail and the heat it gives off, as a format 3 catalogue states
	them: the width in tenths of a millimetre, and the power loss in mW, a fixed part and a part
	per I/O point (with every point loaded). Null where the catalogue does not say (every item of a
	format 1 or 2 catalogue): unknown, never taken as 0.
**/
class ItemFigures {
	public static final UNKNOWN = new ItemFigures(null, null, 0);

	/** Rail width in 0.1 mm; null when unknown. */
	public final width:Null<Int>;
	/** Power loss in mW without load; null when unknown. */
	public final loss:Null<Int>;
	/** Power loss per loaded I/O point in mW. */
	public final lossPerPoint:Int;

	public function new(width:Null<Int>, loss:Null<Int>, lossPerPoint:Int) {
		this.width = width;
		this.loss = loss;
		this.lossPerPoint = lossPerPoint;
	}

	/** The loss with `points` I/O points loaded, in mW; null when unknown. */
	public function lossWith(points:Int):Null<Int> {
		return loss == null ? null : loss + lossPerPoint * points;
	}
}
