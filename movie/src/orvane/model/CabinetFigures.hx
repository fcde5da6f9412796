package orvane.model;

/** A rack's figures for the cabinet: the DIN rail it takes (null: unknown) and the heat it gives off. */
typedef RackCabinetFigures = {label:String, rail:Null<Int>, loss:HeatLoss};

/**
	What the cabinet builder needs of a selection: each rack's DIN-rail length and power loss, the
	total loss and, with an enclosure entered, the heat it sheds and the cooling still needed.

	A base is a backplane on the rail that the CPU, the power supply and the modules plug into, so
	a rack takes its base's width of rail plus an end bracket at each side (END_BRACKET); a base
	of unknown width (or none chosen) leaves the rack's rail length unknown. A rack's loss is that
	of its base, power supply, the CPU (main rack) or interface module (expansion racks) and the
	modules standing in it, each module with every I/O point loaded (the worst case). An item of
	unknown loss makes the sum "at least" what the others give; the cooling needed then is at
	least what the known part needs.
**/
class CabinetFigures {
	/** One end bracket on the rail, in 0.1 mm. */
	public static inline final END_BRACKET = 95;
	public static inline final UNKNOWN = "未知";

	public final racks:Array<RackCabinetFigures> = [];
	public final total = new HeatLoss();
	public final enclosure:Null<Enclosure>;

	public function new(selection:Selection, catalog:Catalog, plan:SystemPlan) {
		enclosure = selection.enclosure;
		for (i in 0...plan.rackCount()) {
			final base = plan.bases[i];
			final loss = new HeatLoss();
			loss.addItem(base, 1);
			loss.addItem(plan.powers[i], 1);
			loss.addItem(i == 0 ? selection.cpu : catalog.rackPart(ExpansionInterface), 1);
			for (line in plan.fill.modulesIn(i, catalog))
				loss.addItem(line.item, line.quantity);
			final width = base == null ? null : base.figures.width;
			racks.push({label: RackBudget.labelOf(i), rail: width == null ? null : width + 2 * END_BRACKET, loss: loss});
			total.add(loss);
		}
	}

	/** The heat the enclosure sheds, in W; null without one. */
	public function shed():Null<Float> {
		return enclosure == null ? null : enclosure.shed();
	}

	/** The cooling still needed in W (0 or less: none); null without an enclosure or with the loss unknown. */
	public function coolingNeeded():Null<Float> {
		return enclosure == null || total.isUnknown() ? null : total.watts() - enclosure.shed();
	}

	/** The racks whose rail is longer than the enclosure is wide. */
	public function racksTooLong():Array<RackCabinetFigures> {
		return enclosure == null ? [] : racks.filter(rack -> rack.rail != null && rack.rail > enclosure.width * 10);
	}

	/** The enclosure's warnings, worded for the user: each rail too long, then the heat. */
	public function problems():Array<String> {
		final found = [for (rack in racksTooLong()) railWarning(rack)];
		final cooling = coolingNeeded();
		if (cooling != null && cooling > 0)
			found.push(heatWarning());
		return found;
	}

	/**
		The enclosure's limits as the status line offers them: a rail too long, with the enclosure of
		the next standard width as the remedy (one step to undo); the heat, with the cooling needed
		as the note and no change to make.
	**/
	public function overruns():Array<Overrun> {
		final found = [
			for (rack in racksTooLong()) {
				final width = Enclosure.standardWidthFor(rack.rail / 10);
				new Overrun(railWarning(rack), () -> width == null ? [] : [
					new Remedy('改用宽 $width mm 的机柜', null, s -> if (s.enclosure != null && s.enclosure.width < width) s.enclosure = s.enclosure.widened(width))
				], "没有更宽的标准机柜");
			}
		];
		final cooling = coolingNeeded();
		if (cooling != null && cooling > 0)
			found.push(new Overrun(heatWarning(), () -> [], coolingText() + "，或改用更大的机柜"));
		return found;
	}

	/** "扩展基板 2 导轨长 512 mm，超出机柜宽度 500 mm". */
	public function railWarning(rack:RackCabinetFigures):String {
		return '${rack.label}${rack.label == RackBudget.labelOf(0) ? "" : " "}导轨长 ${millimetres(rack.rail)}，超出机柜宽度 ${enclosure.width} mm';
	}

	/** "柜内将超过 45 °C：损耗 900.0 W，机柜散热 240.9 W". */
	public function heatWarning():String {
		return '柜内将超过 ${enclosure.insideMax} °C：损耗 ${total.text()}，机柜散热 ${oneDecimal(enclosure.shed())} W';
	}

	/** "需要 659 W 的冷却" ("至少 659 W" with a loss unknown in part). */
	public function coolingText():String {
		return '需要${total.isComplete() ? "" : "至少"} ${Math.round(coolingNeeded())} W 的冷却';
	}

	/** A rail length in 0.1 mm as shown: "456.5 mm", "512 mm"; "未知" for null. */
	public static function millimetres(tenths:Null<Int>):String {
		if (tenths == null)
			return UNKNOWN;
		return Std.int(tenths / 10) + (tenths % 10 == 0 ? "" : "." + tenths % 10) + " mm";
	}

	/** One decimal place: 240.9, 0.0. */
	public static function oneDecimal(value:Float):String {
		final tenths = Math.round(value * 10);
		final sign = tenths < 0 ? "-" : "";
		final size = tenths < 0 ? -tenths : tenths;
		return sign + Std.int(size / 10) + "." + size % 10;
	}

	/** Two decimal places: 4.38. */
	public static function twoDecimals(value:Float):String {
		final hundredths = Math.round(value * 100);
		final rest = hundredths % 100;
		return Std.int(hundredths / 100) + "." + (rest < 10 ? "0" : "") + rest;
	}
}
