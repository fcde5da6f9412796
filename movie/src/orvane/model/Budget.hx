package orvane.model;

/** Running totals of a selection against what its CPU, base and power supply allow. */
class Budget {
	public final points:IoPoints;
	public final slotsUsed:Int;
	public final slotsAvailable:Int;
	public final draw5V:Int;
	public final draw24V:Int;
	public final supply5V:Int;
	public final supply24V:Int;
	public final maxIoPoints:Int;
	final hasCpu:Bool;
	final hasBase:Bool;
	final hasPower:Bool;

	public function new(selection:Selection, catalog:Catalog) {
		points = new IoPoints();
		var slots = 0;
		var current5V = 0;
		var current24V = 0;
		for (fixed in [selection.cpu, selection.power, selection.base])
			if (fixed != null) {
				points.addScaled(fixed.points, 1);
				current5V += fixed.draw5V;
				current24V += fixed.draw24V;
			}
		for (line in selection.moduleLines(catalog)) {
			points.addScaled(line.item.points, line.quantity);
			slots += line.item.slots * line.quantity;
			current5V += line.item.draw5V * line.quantity;
			current24V += line.item.draw24V * line.quantity;
		}
		slotsUsed = slots;
		draw5V = current5V;
		draw24V = current24V;
		hasCpu = selection.cpu != null;
		hasBase = selection.base != null;
		hasPower = selection.power != null;
		slotsAvailable = hasBase ? selection.base.slots : 0;
		supply5V = hasPower ? selection.power.supply5V : 0;
		supply24V = hasPower ? selection.power.supply24V : 0;
		maxIoPoints = hasCpu ? selection.cpu.maxIoPoints : 0;
	}

	public function slotsExceeded():Bool {
		return hasBase && slotsUsed > slotsAvailable;
	}

	public function over5V():Bool {
		return hasPower && draw5V > supply5V;
	}

	public function over24V():Bool {
		return hasPower && supply24V > 0 && draw24V > supply24V;
	}

	/** The chosen power supply has no 24 V output. */
	public function powerLacks24V():Bool {
		return hasPower && supply24V == 0;
	}

	/** The modules draw 24 V from a power supply that has no 24 V output: a separate 24 V supply must feed them. */
	public function needsExternal24V():Bool {
		return powerLacks24V() && draw24V > 0;
	}

	public function ioPointsExceeded():Bool {
		return hasCpu && maxIoPoints > 0 && points.total() > maxIoPoints;
	}

	/** Slots of the base still free (negative: missing); null without a base. */
	public function slotsLeft():Null<Int> {
		return hasBase ? slotsAvailable - slotsUsed : null;
	}

	/** 5 V current the power supply has left in mA (negative: overdrawn); null without a power supply. */
	public function current5VLeft():Null<Int> {
		return hasPower ? supply5V - draw5V : null;
	}

	/** 24 V current the power supply has left in mA; null without a power supply or when it has no 24 V output. */
	public function current24VLeft():Null<Int> {
		return hasPower && supply24V > 0 ? supply24V - draw24V : null;
	}

	/** I/O points the CPU can still take; null without a CPU or when the CPU states no limit. */
	public function ioPointsLeft():Null<Int> {
		return hasCpu && maxIoPoints > 0 ? maxIoPoints - points.total() : null;
	}

	/** What keeps the selection from working as it stands (missing, exceeded, needed besides it), worded for the user. */
	public function problems():Array<String> {
		final found:Array<String> = [];
		if (!hasCpu)
			found.push("尚未选择 CPU 单元");
		if (!hasPower)
			found.push("尚未选择电源");
		if (!hasBase)
			found.push("尚未选择基板");
		if (slotsExceeded())
			found.push('槽位不足：需要 $slotsUsed 槽，基板只有 $slotsAvailable 槽');
		if (over5V())
			found.push('5V 电流超出电源容量：${draw5V} mA > ${supply5V} mA');
		if (over24V())
			found.push('24V 电流超出电源容量：${draw24V} mA > ${supply24V} mA');
		if (needsExternal24V())
			found.push('所选电源没有 24V 输出：需另配外部 24V 电源（至少 ${draw24V} mA）');
		if (ioPointsExceeded())
			found.push('I/O 点数 ${points.total()} 超出 CPU 上限 $maxIoPoints');
		return found;
	}
}
