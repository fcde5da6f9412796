package orvane.model;

/** A change of the selection that fixes a limit it runs past: what it is, worded for the user, and what it does to the price. */
class Remedy {
	/** What to do, worded for the user ("改用 ZB-B12（12 槽）"). */
	public final advice:String;
	/** How the price of the bill changes, in fen; null when the catalogue gives no prices. */
	public final priceChange:Null<Float>;
	/** Makes the change (one step to undo). */
	public final apply:Selection -> Void;

	public function new(advice:String, priceChange:Null<Float>, apply:Selection -> Void) {
		this.advice = advice;
		this.priceChange = priceChange;
		this.apply = apply;
	}

	/** The advice with what it costs more or less ("改用 ZB-B12（12 槽） +350.00"). */
	public function text():String {
		return priceChange == null ? advice : advice + " " + (priceChange < 0 ? "−" : "+") + Money.grouped(Math.abs(priceChange));
	}
}
