import orvane.model.BomFormat;
import orvane.model.CabinetFigures;
import orvane.model.Catalog;
import orvane.model.CatalogParser;
import orvane.model.Enclosure;
import orvane.model.SelectionEditor;
import orvane.model.SelectionFormat;
import orvane.model.SystemPlan;

/** The cabinet's figures: rail lengths and losses from the catalogue, the enclosure's heat, its warnings, the text and the bill. */
class CabinetFiguresTest {
	static var failures = 0;

	/** Runs the checks with the shipped catalogue (`text`: its file); the number that failed. */
	public static function run(catalog:Catalog, text:String):Int {
		workedCaseOfTheEnclosure();
		railTooLongIsWarnedAndWidened(catalog);
		heatBeyondTheEnclosureAsksForCooling(catalog);
		unknownFiguresAreNeverZero(catalog, text);
		enclosureIsSavedAsVersion5(catalog);
		return failures;
	}

	/** 2.0 m × 0.6 m × 0.5 m free-standing sheet steel, ΔT 10 K, 900 W: A = 4.38 m², 240.9 W shed, 659.1 W of cooling. */
	static function workedCaseOfTheEnclosure() {
		final e = new Enclosure(600, 2000, 500, FreeStanding, SheetSteel, 35, 45);
		check(CabinetFigures.twoDecimals(e.surface()) == "4.38" && CabinetFigures.oneDecimal(e.shed()) == "240.9"
			&& CabinetFigures.oneDecimal(900 - e.shed()) == "659.1", "worked case: " + e.surface() + " m², " + e.shed() + " W");
		final wall = new Enclosure(1200, 2000, 600, AgainstWall, SheetSteel, 40, 35);
		check(CabinetFigures.twoDecimals(wall.surface()) == "6.53" && CabinetFigures.oneDecimal(wall.shed()) == "-179.5",
			"against a wall, warmer outside: the enclosure takes heat in: " + wall.shed());
		final row = new Enclosure(600, 2000, 500, InRow, Aluminium, 35, 45);
		check(Math.abs(row.surface() - (1.8 * 0.6 * 2.0 + 1.4 * 0.6 * 0.5 + 0.5 * 2.0)) < 1e-9 && Math.abs(row.shed() - 12 * row.surface() * 10) < 1e-9,
			"in a row: the middle enclosure's surface, aluminium's k");
	}

	static function editorWith(catalog:Catalog, codes:Array<String>):SelectionEditor {
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		editor.change(s -> {
			for (code in codes)
				s.choose(catalog.find(code));
		});
		return editor;
	}

	static function railTooLongIsWarnedAndWidened(catalog:Catalog) {
		final editor = editorWith(catalog, ["ZC-220", "ZP-P30", "ZB-B12"]);
		editor.change(s -> s.enclosure = new Enclosure(400, 2000, 500, FreeStanding, SheetSteel, 35, 45));
		final figures = new CabinetFigures(editor.selection, catalog, new SystemPlan(editor.selection, catalog));
		check(CabinetFigures.millimetres(figures.racks[0].rail) == "456.5 mm", "ZB-B12's rail: 437.5 mm and two end brackets");
		final overrun = editor.overruns().filter(o -> o.limit == "主基板导轨长 456.5 mm，超出机柜宽度 400 mm")[0];
		check(overrun != null && overrun.remedies().length == 1 && overrun.remedies()[0].advice == "改用宽 500 mm 的机柜",
			"a rail longer than the enclosure is wide is warned, the next standard width offered");
		editor.change(overrun.remedies()[0].apply);
		check(editor.selection.enclosure.width == 500 && editor.overruns().filter(o -> o.limit.indexOf("导轨长") >= 0).length == 0,
			"applied, the enclosure is wider and the warning goes");
		editor.change(s -> s.enclosure = new Enclosure(456, 2000, 500, FreeStanding, SheetSteel, 35, 45));
		check(editor.overruns().filter(o -> o.limit.indexOf("导轨长") >= 0).length == 1, "half a millimetre too long is too long");
	}

	static function heatBeyondTheEnclosureAsksForCooling(catalog:Catalog) {
		final editor = editorWith(catalog, ["ZC-220", "ZP-P30", "ZB-B12"]);
		editor.change(s -> s.setQuantity(catalog.find("ZX-DO16S"), 12));
		final small = new Enclosure(500, 500, 200, AgainstWall, SheetSteel, 40, 45);
		editor.change(s -> s.enclosure = small);
		final figures = new CabinetFigures(editor.selection, catalog, new SystemPlan(editor.selection, catalog));
		// 12 × (0.6 + 16 × 0.6) + ZC-220 6.0 + ZP-P30 11.0 + ZB-B12 0.7
		check(figures.total.text() == "140.1 W" && figures.coolingNeeded() > 0, "every point loaded: " + figures.total.text());
		final heat = editor.overruns().filter(o -> StringTools.startsWith(o.limit, "柜内将超过 45 °C"))[0];
		final needed = Math.round(140.1 - small.shed());
		check(heat != null && heat.remedies().length == 0 && heat.note() == '需要 $needed W 的冷却，或改用更大的机柜',
			"too hot inside: the cooling needed, nothing changed for the user: " + (heat == null ? "none" : heat.note()));
		editor.change(s -> s.enclosure = new Enclosure(800, 2000, 600, FreeStanding, SheetSteel, 30, 45));
		check(editor.overruns().filter(o -> o.limit.indexOf("柜内") >= 0).length == 0, "a large enclosure sheds it: no warning");
	}

	static function unknownFiguresAreNeverZero(catalog:Catalog, text:String) {
		final format2 = CatalogParser.parse(StringTools.replace(text, 'format="3"', 'format="2"')).value;
		final editor = editorWith(format2, ["ZC-220", "ZP-P30", "ZB-B12"]);
		check(BomFormat.write(editor.selection, format2).indexOf("\ncabinet\t") < 0, "a format 2 catalogue's bill has no cabinet lines");
		editor.change(s -> s.enclosure = new Enclosure(300, 2000, 500, FreeStanding, SheetSteel, 35, 45));
		final figures = new CabinetFigures(editor.selection, format2, new SystemPlan(editor.selection, format2));
		check(CabinetFigures.millimetres(figures.racks[0].rail) == "未知" && figures.total.text() == "未知" && figures.coolingNeeded() == null
			&& figures.problems().length == 0, "format 2: rail and loss unknown, neither warned of");
		final bill = BomFormat.write(editor.selection, format2);
		check(bill.indexOf("\ncabinet\t\t\t\n") > 0 && bill.indexOf("\nheat\t\t\n") > 0 && ~/\nenclosure\t300\t[^\n]*\t$/m.match(bill),
			"with an enclosure the bill says the figures are unknown, not 0");
		final partly = editorWith(catalog, ["ZC-220", "ZP-P30", "ZB-B12"]);
		partly.change(s -> s.setQuantity(catalog.find("ZX-DI16"), 1));
		final known = new CabinetFigures(partly.selection, catalog, new SystemPlan(partly.selection, catalog)).total.text();
		final vanished = SelectionFormat.read(StringTools.replace(SelectionFormat.write(partly.selection, catalog), "ZX-DI16", "ZX-DI99"), catalog).value;
		final atLeast = new CabinetFigures(vanished.selection, vanished.catalog, new SystemPlan(vanished.selection, vanished.catalog)).total.text();
		check(known == "19.8 W" && atLeast == "至少 17.7 W", "an item the catalogue lacks makes the loss a lower bound: " + known + ", " + atLeast);
	}

	static function enclosureIsSavedAsVersion5(catalog:Catalog) {
		final editor = editorWith(catalog, ["ZC-110"]);
		final plain = editor.text();
		editor.change(s -> s.enclosure = new Enclosure(600, 2000, 500, InRow, StainlessSteel, -5, 40));
		final text = editor.text();
		check(text == "TZSEL/5\nmode=module\nedition=2026.2\ncpu=ZC-110\ncabinet=600,2000,500,row,stainless,-5,40", "the enclosure's line: " + text);
		final back = SelectionFormat.read(text, catalog).value;
		check(back != null && SelectionFormat.write(back.selection, catalog) == text, "version 5 round-trips");
		check(StringTools.startsWith(plain, "TZSEL/1\n") && SelectionFormat.read(plain, catalog).value != null, "without an enclosure nothing changes");
		for (bad in ["600,2000,500,row,stainless,-5", "99,2000,500,free,steel,35,45", "600,2000,500,roof,steel,35,45", "600,2000,500,free,wood,35,45",
			"600,2000,500,free,steel,035,45", "600,2000,500,free,steel,35,81", "600,2000,500,free,steel,-0,45"])
			check(SelectionFormat.read("TZSEL/5\nmode=module\ncabinet=" + bad, catalog).value == null, "a damaged enclosure is refused: " + bad);
		check(SelectionFormat.read("TZSEL/4\nmode=module\ncabinet=" + editor.selection.enclosure.write(), catalog).value == null,
			"a version 4 text knows no enclosure");
	}

	static function check(condition:Bool, what:String) {
		if (!condition) {
			failures++;
			Sys.println("FAILED: " + what);
		}
	}
}
