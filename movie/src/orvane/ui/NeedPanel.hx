package orvane.ui;

import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.IoPlanner;
import orvane.model.ModuleKind;
import orvane.model.Selection;

/** Selection by required I/O: points per kind in, module counts out; communication modules by hand. */
class NeedPanel extends Panel {
	final needRows:Array<NeedRow> = [];
	final commRows:Array<ModuleRow> = [];

	public function new(catalog:Catalog, x:Float, y:Float, width:Float, height:Float, onRequired:(ModuleKind, Int) -> Void,
			onPick:CatalogItem -> Void, onQuantity:(CatalogItem, Int) -> Void) {
		super("按 I/O 需求选型：输入所需点数", x, y, width, height);
		addChild(TextFactory.label("所需点数", 106, Panel.TITLE_HEIGHT + 2, 70, 11, Palette.TEXT_DIM));
		addChild(TextFactory.label("使用模块", 200, Panel.TITLE_HEIGHT + 2, 70, 11, Palette.TEXT_DIM));
		addChild(TextFactory.label("数量", 284, Panel.TITLE_HEIGHT + 2, 40, 11, Palette.TEXT_DIM, flash.text.TextFormatAlign.RIGHT));
		var top = Panel.TITLE_HEIGHT + 18;
		for (kind in ModuleKind.plannedIo) {
			final step = kind == DigitalIn || kind == DigitalOut ? 8 : 1;
			needRows.push(new NeedRow(kind, catalog, top, step, onRequired, onPick));
			addChild(needRows[needRows.length - 1]);
			top += NeedRow.HEIGHT;
		}
		graphics.lineStyle(1, Palette.PANEL_LINE);
		graphics.moveTo(6, top + 4);
		graphics.lineTo(width - 6, top + 4);
		addChild(TextFactory.label("通信模块（按需添加）", 8, top + 8, width - 16, 12, Palette.TEXT));
		top += 30;
		final rowHeight = 26;
		for (item in catalog.ofKind(Comm)) {
			if (top + rowHeight > height)
				break;
			commRows.push(new ModuleRow(item, top, width, rowHeight, false, onQuantity));
			addChild(commRows[commRows.length - 1]);
			top += rowHeight;
		}
	}

	public function showSelection(selection:Selection, catalog:Catalog):Void {
		final plan = IoPlanner.plan(selection, catalog);
		for (i in 0...needRows.length) {
			final kind = ModuleKind.plannedIo[i];
			var count = 0;
			for (line in plan)
				if (line.item.kind == kind)
					count = line.quantity;
			needRows[i].showSelection(selection, catalog, count);
		}
		for (row in commRows)
			row.showQuantity(selection.quantityOf(row.item));
	}
}
