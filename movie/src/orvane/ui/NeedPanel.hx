package orvane.ui;

import flash.display.InteractiveObject;
import flash.text.TextField;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.NeedFigures;
import orvane.model.ScreenState;

/**
	Selection by required I/O: points per kind in, module counts out; the expansion racks the
	planner adds; the I/O modules and racks kept from the user's own choice, with a button that
	gives them up to the planner; communication modules by hand.
**/
class NeedPanel extends Panel {
	final needRows:Array<NeedRow> = [];
	final commRows:Array<ModuleRow> = [];
	final kept:TextField;
	final replan:PushButton;

	public function new(catalog:Catalog, x:Float, y:Float, width:Float, height:Float, onRequired:(ModuleKind, Int, Null<String>) -> Void,
			onPick:CatalogItem -> Void, onQuantity:(CatalogItem, Int, Null<String>) -> Void, onReplan:() -> Void) {
		super("按 I/O 需求选型：输入所需点数", x, y, width, height);
		addChild(TextFactory.label("所需点数", 106, Panel.TITLE_HEIGHT + 2, 70, 11, Palette.TEXT_DIM));
		addChild(TextFactory.label("使用模块", 200, Panel.TITLE_HEIGHT + 2, 70, 11, Palette.TEXT_DIM));
		addChild(TextFactory.label("数量", 284, Panel.TITLE_HEIGHT + 2, 40, 11, Palette.TEXT_DIM, flash.text.TextFormatAlign.RIGHT));
		var top = Panel.TITLE_HEIGHT + 18;
		for (kind in ModuleKind.plannedIo) {
			needRows.push(new NeedRow(kind, catalog, top, kind.pointsStep, onRequired, onPick));
			addChild(needRows[needRows.length - 1]);
			top += NeedRow.HEIGHT;
		}
		kept = TextFactory.label("", 8, top + 3, width - 96, 11, Palette.NOTICE);
		replan = new PushButton("全部重新规划", width - 86, top + 2, 80, 20, onReplan, 11);
		addChild(kept);
		addChild(replan);
		top += 26;
		graphics.lineStyle(1, Palette.PANEL_LINE);
		graphics.moveTo(6, top);
		graphics.lineTo(width - 6, top);
		addChild(TextFactory.label("通信模块（按需添加）", 8, top + 2, width - 16, 12, Palette.TEXT));
		top += 22;
		final rowHeight = 24;
		for (item in catalog.ofKind(Comm)) {
			if (top + rowHeight > height)
				break;
			commRows.push(new ModuleRow(item, top, width, rowHeight, false, onQuantity));
			addChild(commRows[commRows.length - 1]);
			top += rowHeight;
		}
	}

	/** `figures`: the state's figures by I/O need; `state` gives the communication modules' quantities. */
	public function show(figures:NeedFigures, state:ScreenState):Void {
		for (i in 0...needRows.length)
			needRows[i].show(figures.kinds[i]);
		kept.text = figures.keptText;
		kept.textColor = figures.keepsOwnChoice ? Palette.NOTICE : Palette.TEXT_DIM;
		replan.visible = figures.keepsOwnChoice;
		for (row in commRows)
			row.showQuantity(state.quantityOf(row.item));
	}

	/** The whole panel is one keyboard area: the need rows, the re-plan button, the communication modules. */
	public function focusArea():FocusArea {
		return new FocusArea(() -> [for (row in needRows) row.controls()].concat([[replan]]).concat([for (row in commRows) row.controls()]));
	}

	/** The field where a module of this kind is worked on by I/O need: its kind's points, or a communication module's quantity. */
	public function reveal(item:CatalogItem):Null<InteractiveObject> {
		final kinds = ModuleKind.plannedIo;
		if (kinds.contains(item.kind))
			return needRows[kinds.indexOf(item.kind)].pointsField();
		final row = commRows.filter(r -> r.item == item)[0];
		return row == null ? null : row.quantityField();
	}
}
