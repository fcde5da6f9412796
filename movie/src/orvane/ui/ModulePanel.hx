package orvane.ui;

import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.Selection;

/** Selection by module: one tab per module category, each module with a quantity stepper. */
class ModulePanel extends Panel {
	static inline final ROW_HEIGHT = 40;
	static inline final ROWS_TOP = 60;

	final tabs:Array<PushButton> = [];
	final rowsByKind:Map<String, Array<ModuleRow>> = [];

	public function new(catalog:Catalog, x:Float, y:Float, width:Float, height:Float, onQuantity:(CatalogItem, Int) -> Void) {
		super("按模块选型：选择模块并设定数量", x, y, width, height);
		final kinds = ModuleKind.slotModules;
		final tabWidth = (width - 12 - 4 * (kinds.length - 1)) / kinds.length;
		for (i in 0...kinds.length) {
			final kind = kinds[i];
			tabs.push(new PushButton(shortLabel(kind), 6 + i * (tabWidth + 4), Panel.TITLE_HEIGHT + 5, tabWidth, 24, () -> showKind(kind), 12));
			addChild(tabs[i]);
		}
		for (kind in kinds) {
			final items = catalog.ofKind(kind);
			final visible = Std.int((height - ROWS_TOP) / ROW_HEIGHT);
			final rows = [
				for (r in 0...items.length)
					if (r < visible) new ModuleRow(items[r], ROWS_TOP + r * ROW_HEIGHT, width, ROW_HEIGHT, true, onQuantity)
			];
			rowsByKind[kind] = rows;
			for (row in rows)
				addChild(row);
		}
		showKind(DigitalIn);
	}

	public function showSelection(selection:Selection):Void {
		for (rows in rowsByKind)
			for (row in rows)
				row.showQuantity(selection.quantityOf(row.item));
	}

	function showKind(kind:ModuleKind):Void {
		final kinds = ModuleKind.slotModules;
		for (i in 0...kinds.length) {
			tabs[i].setSelected(kinds[i] == kind);
			for (row in rowsByKind[kinds[i]])
				row.visible = kinds[i] == kind;
		}
	}

	static function shortLabel(kind:ModuleKind):String {
		return switch (kind) {
			case DigitalIn: "数字输入";
			case DigitalOut: "数字输出";
			case AnalogIn: "模拟输入";
			case AnalogOut: "模拟输出";
			default: "通信";
		}
	}
}
