package orvane.model;

/**
	The bill of materials of a selection as one text for the host ("zBom"), which turns it into
	CSV, the clipboard and the printed page. Lines separated by LF, fields by tabs:

	TZBOM/1
	item	CODE	DESCRIPTION	QUANTITY	SLOTS	MA5V	MA24V   (CPU, power supply, base, then slot modules in catalogue order)
	total	SLOTS	MA5V	MA24V                               (what the selection uses)
	capacity	SLOTS	MA5V	MA24V                            (what its base and power supply provide; 0 when not chosen)
	io	POINTS	LIMIT                                       (I/O points and the CPU's limit; 0: none)
	warning	TEXT                                            (each problem, as the totals panel words it)

	Slots and currents of an item line are for all its pieces. Descriptions and warnings hold no
	control characters (the catalogue reader drops them). An empty selection is the empty text,
	as with zSave.
**/
class BomFormat {
	public static inline final HEADER = "TZBOM/1";

	public static function write(selection:Selection, catalog:Catalog):String {
		if (selection.isEmpty())
			return "";
		final budget = new Budget(selection, catalog);
		final lines = [HEADER];
		for (fixed in [selection.cpu, selection.power, selection.base])
			if (fixed != null)
				lines.push(itemLine(new ModuleLine(fixed, 1), 0));
		for (line in selection.moduleLines(catalog))
			lines.push(itemLine(line, line.item.slots * line.quantity));
		lines.push(record("total", [budget.slotsUsed, budget.draw5V, budget.draw24V]));
		lines.push(record("capacity", [budget.slotsAvailable, budget.supply5V, budget.supply24V]));
		lines.push(record("io", [budget.points.total(), budget.maxIoPoints]));
		for (problem in budget.problems())
			lines.push("warning\t" + problem);
		return lines.join("\n");
	}

	static function itemLine(line:ModuleLine, slots:Int):String {
		final item = line.item;
		return record('item\t${item.code}\t${item.description}',
			[line.quantity, slots, item.draw5V * line.quantity, item.draw24V * line.quantity]);
	}

	static function record(head:String, figures:Array<Int>):String {
		return head + "\t" + figures.join("\t");
	}
}
