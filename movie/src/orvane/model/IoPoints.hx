package orvane.model;

/** Counts of I/O points by signal kind. */
class IoPoints {
	public var di:Int;
	public var dout:Int;
	public var ai:Int;
	public var ao:Int;

	public function new(di = 0, dout = 0, ai = 0, ao = 0) {
		this.di = di;
		this.dout = dout;
		this.ai = ai;
		this.ao = ao;
	}

	public function copy():IoPoints {
		return new IoPoints(di, dout, ai, ao);
	}

	public function addScaled(other:IoPoints, factor:Int):Void {
		di += other.di * factor;
		dout += other.dout * factor;
		ai += other.ai * factor;
		ao += other.ao * factor;
	}

	public function of(kind:ModuleKind):Int {
		return switch (kind) {
			case DigitalIn: di;
			case DigitalOut: dout;
			case AnalogIn: ai;
			case AnalogOut: ao;
			default: 0;
		}
	}

	public function set(kind:ModuleKind, value:Int):Void {
		switch (kind) {
			case DigitalIn: di = value;
			case DigitalOut: dout = value;
			case AnalogIn: ai = value;
			case AnalogOut: ao = value;
			default:
		}
	}

	public function total():Int {
		return di + dout + ai + ao;
	}

	public function isZero():Bool {
		return total() == 0;
	}
}
