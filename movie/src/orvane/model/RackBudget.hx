package orvane.model;

/**
	One rack against what its base and power supply allow: the slots its modules take, and the
	5 V and 24 V currents of its modules, its base and what else it carries (the main rack the
	CPU, an expansion rack its interface module); and how much of each the reserve leaves usable.
**/
class RackBudget {
	/** "主基板", "扩展基板 1", ...: how the user and the bill of materials name the rack. */
	public final label:String;
	public final base:Null<CatalogItem>;
	public final power:Null<CatalogItem>;
	public final points = new IoPoints();
	public var slotsUsed(default, null) = 0;
	public final slotsAvailable:Int;
	public var draw5V(default, null) = 0;
	public var draw24V(default, null) = 0;
	public final supply5V:Int;
	public final supply24V:Int;
	/** What may be used with the reserve kept. */
	public final slotsUsable:Int;
	public final usable5V:Int;
	public final usable24V:Int;

	public function new(index:Int, base:Null<CatalogItem>, power:Null<CatalogItem>, reserve:Reserve) {
		label = labelOf(index);
		this.base = base;
		this.power = power;
		slotsAvailable = base == null ? 0 : base.slots;
		supply5V = power == null ? 0 : power.supply5V;
		supply24V = power == null ? 0 : power.supply24V;
		slotsUsable = reserve.usable(Slots, slotsAvailable);
		usable5V = reserve.usable(Current5V, supply5V);
		usable24V = reserve.usable(Current24V, supply24V);
		carry(base, 1);
		carry(power, 1);
	}

	/** How the user and the bill of materials name rack `index`: "主基板", "扩展基板 1", .... */
	public static function labelOf(index:Int):String {
		return index == 0 ? "主基板" : '扩展基板 $index';
	}

	/** Counts `quantity` pieces of `item` as standing in this rack. */
	public function carry(item:Null<CatalogItem>, quantity:Int):Void {
		if (item == null)
			return;
		points.addScaled(item.points, quantity);
		if (ModuleKind.slotModules.contains(item.kind))
			slotsUsed += item.slots * quantity;
		draw5V += item.draw5V * quantity;
		draw24V += item.draw24V * quantity;
	}

	public function over5V():Bool {
		return power != null && draw5V > supply5V;
	}

	public function over24V():Bool {
		return power != null && supply24V > 0 && draw24V > supply24V;
	}

	/** The chosen power supply has no 24 V output. */
	public function powerLacks24V():Bool {
		return power != null && supply24V == 0;
	}

	/** The modules draw 24 V from a power supply that has no 24 V output: a separate 24 V supply must feed them. */
	public function needsExternal24V():Bool {
		return powerLacks24V() && draw24V > 0;
	}

	/** Whether what is used of `limit` eats into the reserve, within the capacity itself. */
	public function reserveEaten(limit:LimitKind):Bool {
		return switch (limit) {
			case Slots: base != null && slotsUsed > slotsUsable && slotsUsed <= slotsAvailable;
			case Current5V: power != null && draw5V > usable5V && draw5V <= supply5V;
			case Current24V: power != null && supply24V > 0 && draw24V > usable24V && draw24V <= supply24V;
			case Points: false;
		}
	}

	/** Slots of the base still free (negative: missing); null without a base. */
	public function slotsLeft():Null<Int> {
		return base != null ? slotsAvailable - slotsUsed : null;
	}

	/** 5 V current the power supply has left in mA (negative: overdrawn); null without a power supply. */
	public function current5VLeft():Null<Int> {
		return power != null ? supply5V - draw5V : null;
	}

	/** 24 V current the power supply has left in mA; null without a power supply or when it has no 24 V output. */
	public function current24VLeft():Null<Int> {
		return power != null && supply24V > 0 ? supply24V - draw24V : null;
	}

	/** The rack's own problems, worded for the user; an expansion rack's start with its name. */
	public function problems(isMain:Bool):Array<String> {
		final prefix = prefixOf(isMain);
		final found:Array<String> = [];
		if (power == null)
			found.push(prefix + "尚未选择电源");
		if (base == null)
			found.push(prefix + (isMain ? "尚未选择基板" : "尚未选择扩展基板"));
		if (over5V())
			found.push(prefix + '5V 电流超出电源容量：${draw5V} mA > ${supply5V} mA');
		if (over24V())
			found.push(prefix + '24V 电流超出电源容量：${draw24V} mA > ${supply24V} mA');
		if (needsExternal24V())
			found.push(prefix + '所选电源没有 24V 输出：需另配外部 24V 电源（至少 ${draw24V} mA）');
		return found;
	}

	/** Where the rack's use eats into the reserve, worded for the user. */
	public function reserveProblems(isMain:Bool, reserve:Reserve):Array<String> {
		return [
			for (limit in [LimitKind.Slots, LimitKind.Current5V, LimitKind.Current24V])
				if (reserveEaten(limit))
					prefixOf(isMain) + Budget.reserveWarning(limit, usedOf(limit), usableOf(limit), reserve)
		];
	}

	public function usedOf(limit:LimitKind):Int {
		return limit == Slots ? slotsUsed : limit == Current5V ? draw5V : draw24V;
	}

	public function usableOf(limit:LimitKind):Int {
		return limit == Slots ? slotsUsable : limit == Current5V ? usable5V : usable24V;
	}

	function prefixOf(isMain:Bool):String {
		return isMain ? "" : label + "：";
	}
}
