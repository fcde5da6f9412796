package orvane.model;

/**
	The bill of materials of a selection as one text for the host ("zBom"), which turns it into
	a spreadsheet, CSV, the clipboard and the printed page without working out a figure itself.
	Lines separated by LF, fields by tabs:

	TZBOM/2                             (TZBOM/3 when the bill holds a version 3 line, TZBOM/4 a version 4 one, TZBOM/5 a version 5 one)
	project	KEY	TEXT                 (name, customer, author, note: each only when set)
	currency	CNY                      (when the catalogue gives prices)
	edition	EDITION	DATE              (version 3: the catalogue edition that priced the bill, when it names one; DATE may be empty)
	line	N	ORDER	CODE	DESCRIPTION	QUANTITY	UNIT	TOTAL   (the order lines, PurchaseList)
	discontinued	N	REPLACEMENT      (version 3: right after line N when its item is discontinued)
	unknown	N                          (version 4: right after line N when the catalogue in use lacks its item)
	sum	PIECES	TOTAL                     (quantities and prices added up, the lines marked unknown left out)
	rack	LABEL	BASE	POWER	SLOTSUSED	SLOTS	MA5V	SUPPLY5V	MA24V	SUPPLY24V	POINTS
	slots	S1	S2	...                    (after its rack: each slot's module code, "" free, "<" the module to its left goes on)
	pinned	N	N	...                    (version 4: after a rack's slots when modules are pinned to the rack: the slots they take, from 1)
	cabinet	RAIL	LOSS	ATLEAST        (version 5: after a rack's slots and pins: its rail length in mm and loss in W, "" unknown; ATLEAST "1" when the loss is a lower bound)
	overall	SLOTSUSED	SLOTS	MA5V	SUPPLY5V	MA24V	SUPPLY24V	POINTS	POINTLIMIT	BASES	BASELIMIT
	heat	LOSS	ATLEAST                   (version 5: the total loss in W, after overall, with the cabinet lines)
	enclosure	W	H	D	INSTALLATION	MATERIAL	K	AMBIENT	INSIDE	AREA	SHED	COOLING
	                                    (version 5: the enclosure when one is entered: mm, the installation and
	                                     material as the user reads them, W/m²K, °C, m², W shed, W of cooling needed ("" unknown, 0.0 none))
	reserve	SLOTS	5V	24V	POINTS       (version 3: the reserve kept of each limit, in percent, when one is set)
	warning	TEXT                          (each problem, as the totals panel words it)

	Prices are decimal with two places; UNIT and TOTAL are empty for an item without a price, and
	the sum's TOTAL unless every line it counts has one. The cabinet lines are written when the
	catalogue gives a rack's rail length or loss, or an enclosure is entered (CabinetFigures). A line marked unknown has no order
	number, description or price, and its pieces are in no rack's slots or figures. A limit of 0 means none (no CPU, or none stated).
	Texts hold no control characters (the catalogue reader and ProjectData drop them). An empty
	selection is the empty text, as with zSave.
**/
class BomFormat {
	public static inline final HEADER = "TZBOM/2";
	public static inline final HEADER_3 = "TZBOM/3";
	public static inline final HEADER_4 = "TZBOM/4";
	public static inline final HEADER_5 = "TZBOM/5";
	/** "<" in a `slots` line: the slot belongs to the module in the slot before it. */
	public static inline final CONTINUED = "<";

	public static function write(selection:Selection, catalog:Catalog):String {
		if (selection.isEmpty())
			return "";
		final plan = new SystemPlan(selection, catalog);
		final reserved = !selection.reserve.isNone();
		final purchase = PurchaseList.lines(selection, catalog, plan);
		final fill = plan.fill;
		final pinned = [for (slots in fill.racks) [for (i in 0...slots.length) if (slots[i] != null && slots[i].pinned) Std.string(i + 1)]];
		final cabinet = new CabinetFigures(selection, catalog, plan);
		final version5 = cabinet.enclosure != null || cabinet.total.knownParts > 0 || cabinet.racks.filter(rack -> rack.rail != null).length > 0;
		final version4 = version5 || pinned.filter(slots -> slots.length > 0).length > 0 || purchase.filter(line -> line.item.unknown).length > 0;
		final version3 = reserved || catalog.edition != null || purchase.filter(line -> line.item.discontinued).length > 0;
		final lines = [version5 ? HEADER_5 : version4 ? HEADER_4 : version3 ? HEADER_3 : HEADER];
		for (field in ProjectData.fields)
			if (selection.project.get(field.key) != "")
				lines.push('project\t${field.key}\t${selection.project.get(field.key)}');
		final priced = catalog.currency != null;
		if (priced)
			lines.push("currency\t" + catalog.currency);
		if (catalog.edition != null)
			lines.push('edition\t${catalog.edition}\t' + (catalog.date == null ? "" : catalog.date));
		for (i in 0...purchase.length) {
			final item = purchase[i].item;
			final quantity = purchase[i].quantity;
			final hasPrice = priced && item.price != null;
			lines.push(['line', Std.string(i + 1), item.orderNumber, item.code, item.description, Std.string(quantity),
				hasPrice ? Money.format(item.price) : "", hasPrice ? Money.format(item.price * 1.0 * quantity) : ""].join("\t"));
			if (item.discontinued)
				lines.push('discontinued\t${i + 1}\t${item.replacement}');
			if (item.unknown)
				lines.push('unknown\t${i + 1}');
		}
		final total = PurchaseList.priceTotal(purchase, catalog);
		lines.push('sum\t${PurchaseList.pieces(purchase)}\t' + (total == null ? "" : Money.format(total)));

		final budget = new Budget(selection, catalog, plan);
		for (i in 0...budget.racks.length) {
			final rack = budget.racks[i];
			lines.push(['rack', rack.label, code(rack.base), code(rack.power)].concat([
				for (figure in [rack.slotsUsed, rack.slotsAvailable, rack.draw5V, rack.supply5V, rack.draw24V, rack.supply24V, rack.points.total()])
					Std.string(figure)
			]).join("\t"));
			lines.push(["slots"].concat([for (use in fill.racks[i]) use == null ? "" : use.continued ? CONTINUED : use.item.code]).join("\t"));
			if (pinned[i].length > 0)
				lines.push(["pinned"].concat(pinned[i]).join("\t"));
			if (version5)
				lines.push(["cabinet", railText(cabinet.racks[i].rail)].concat(lossFields(cabinet.racks[i].loss)).join("\t"));
		}
		lines.push("overall\t" + [
			budget.slotsUsed, budget.slotsAvailable, budget.draw5V, budget.supply5V, budget.draw24V, budget.supply24V, budget.points.total(),
			budget.maxIoPoints, budget.bases, budget.maxBases
		].join("\t"));
		if (version5)
			lines.push(["heat"].concat(lossFields(cabinet.total)).join("\t"));
		if (cabinet.enclosure != null)
			lines.push(enclosureLine(cabinet));
		if (reserved)
			lines.push(["reserve"].concat([for (limit in LimitKind.all) Std.string(selection.reserve.percent(limit))]).join("\t"));
		for (problem in budget.problems().concat(cabinet.problems()))
			lines.push("warning\t" + problem);
		return lines.join("\n");
	}

	static function railText(tenths:Null<Int>):String {
		return tenths == null ? "" : Std.int(tenths / 10) + "." + tenths % 10;
	}

	static function lossFields(loss:HeatLoss):Array<String> {
		return loss.isUnknown() ? ["", ""] : [CabinetFigures.oneDecimal(loss.watts()), loss.isComplete() ? "" : "1"];
	}

	static function enclosureLine(cabinet:CabinetFigures):String {
		final e = cabinet.enclosure;
		final cooling = cabinet.coolingNeeded();
		return ["enclosure", Std.string(e.width), Std.string(e.height), Std.string(e.depth), e.installation.label, e.material.label,
			Std.string(e.material.coefficient), Std.string(e.ambient), Std.string(e.insideMax), CabinetFigures.twoDecimals(e.surface()),
			CabinetFigures.oneDecimal(e.shed()), cooling == null ? "" : CabinetFigures.oneDecimal(Math.max(0, cooling))].join("\t");
	}

	static function code(item:Null<CatalogItem>):String {
		return item == null ? "" : item.code;
	}
}
