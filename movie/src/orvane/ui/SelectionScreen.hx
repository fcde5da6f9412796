package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import orvane.model.BomFormat;
import orvane.model.Budget;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.Selection;
import orvane.model.SelectionAnnouncer;
import orvane.model.SelectionFormat;
import orvane.model.SelectionMode;
import orvane.model.SlotLayout;
import orvane.model.StatusLine;

/** The whole selection guide once the catalogue is loaded; 1000 x 600. */
class SelectionScreen extends Sprite {
	static inline final TOP = 52;
	static inline final BOTTOM = 574;
	static inline final SLOTS_TOP = 456;

	final catalog:Catalog;
	final onUserModeChange:() -> Void;
	final announcer:SelectionAnnouncer;
	var selection = new Selection();

	final moduleTab:PushButton;
	final needTab:PushButton;
	final choices:Array<{kind:ModuleKind, panel:ChoicePanel}> = [];
	final modulePanel:ModulePanel;
	final needPanel:NeedPanel;
	final totals:TotalsPanel;
	final bom:BomPanel;
	final slotView:SlotPanel;
	final status = new StatusLine();
	final statusText:TextField;

	/** `onUserModeChange`: the user switched the mode; `onUserChange`: the selection text after a change by the user. */
	public function new(catalog:Catalog, onUserModeChange:() -> Void, onUserChange:String -> Void) {
		super();
		this.catalog = catalog;
		this.onUserModeChange = onUserModeChange;
		announcer = new SelectionAnnouncer(onUserChange);

		graphics.beginFill(Palette.HEADER);
		graphics.drawRect(0, 0, 1000, 44);
		graphics.endFill();
		addChild(TextFactory.label("Torvex-Z 系列可编程控制器  模块选型", 16, 9, 520, 18, Palette.TEXT_LIGHT));
		moduleTab = new PushButton("按模块选型", 704, 8, 136, 28, () -> userSwitchesMode(ByModule), 14);
		needTab = new PushButton("按I/O需求选型", 848, 8, 136, 28, () -> userSwitchesMode(ByIoNeed), 14);
		addChild(moduleTab);
		addChild(needTab);

		var top:Float = TOP;
		for (kind in [ModuleKind.Cpu, ModuleKind.Power, ModuleKind.Base]) {
			final panel = new ChoicePanel(kind.label, catalog.ofKind(kind), 10, top, 290, pick, () -> clearChoice(kind));
			choices.push({kind: kind, panel: panel});
			addChild(panel);
			top += panel.height + 8;
		}
		if (top < BOTTOM - 60) {
			final help = new Panel("操作提示", 10, top, 290, BOTTOM - top);
			help.addChild(TextFactory.paragraph("1. 选择 CPU 单元、电源和基板。\n"
				+ "2. 按模块选型：用 − / + 或直接输入数量。\n"
				+ "3. 按I/O需求选型：输入所需点数，自动计算模块数量。\n"
				+ "键盘：Tab 切换，空格/回车确认，↑/↓ 调整数量。", 6, Panel.TITLE_HEIGHT + 4, 278, BOTTOM - top - Panel.TITLE_HEIGHT - 6, 12, Palette.TEXT_DIM));
			addChild(help);
		}

		modulePanel = new ModulePanel(catalog, 310, TOP, 330, 304, setQuantity);
		needPanel = new NeedPanel(catalog, 310, TOP, 330, 304, setRequired, setPlannerPick, setQuantity);
		totals = new TotalsPanel(310, TOP + 312, 330, BOTTOM - TOP - 312);
		bom = new BomPanel(650, TOP, 340, SLOTS_TOP - 8 - TOP);
		slotView = new SlotPanel(650, SLOTS_TOP, 340, BOTTOM - SLOTS_TOP);
		addChild(modulePanel);
		addChild(needPanel);
		addChild(totals);
		addChild(bom);
		addChild(slotView);
		statusText = TextFactory.label("", 10, BOTTOM + 3, 980, 12, Palette.TEXT_DIM);
		addChild(statusText);
		TabOrder.number(this);
		if (catalog.skippedEntries > 0)
			status.show('产品目录中有 ${catalog.skippedEntries} 项数据损坏或重复，已跳过。', Notice);
		refresh();
	}

	/** The selection as text; "" while nothing is selected. */
	public function saveText():String {
		return SelectionFormat.write(selection, catalog);
	}

	/** The bill of materials for the host; "" while nothing is selected. */
	public function bomText():String {
		return BomFormat.write(selection, catalog);
	}

	/** Replaces the selection with one read from text; a text that cannot be read changes nothing. */
	public function loadText(text:Null<String>):Bool {
		if (text == null) {
			status.show("无法读取选型数据：数据为空。当前选型保持不变。", Failure);
			showStatus();
			return false;
		}
		final result = SelectionFormat.read(text, catalog);
		if (result.value == null) {
			status.show("无法读取选型数据：" + result.error + "。当前选型保持不变。", Failure);
			showStatus();
			return false;
		}
		selection = result.value.selection;
		announcer.hostKnows(saveText());
		final dropped = result.value.droppedCodes;
		if (dropped.length > 0)
			status.show("以下型号不在当前产品目录中，已忽略：" + dropped.join("、"), Notice);
		else
			status.clear();
		refresh();
		return true;
	}

	public function startNew():Void {
		selection = new Selection();
		announcer.hostKnows("");
		status.clear();
		refresh();
	}

	function userSwitchesMode(mode:SelectionMode):Void {
		if (selection.mode == mode)
			return;
		userChanges(() -> selection.switchMode(mode, catalog));
		onUserModeChange();
	}

	/** Picking the item already chosen keeps it: only the panel's clear button unchooses. */
	function pick(item:CatalogItem):Void {
		userChanges(() -> selection.choose(item));
	}

	function clearChoice(kind:ModuleKind):Void {
		userChanges(() -> selection.clearChoice(kind));
	}

	function setQuantity(item:CatalogItem, quantity:Int):Void {
		userChanges(() -> selection.setQuantity(item, quantity));
	}

	function setRequired(kind:ModuleKind, points:Int):Void {
		userChanges(() -> selection.setRequired(kind, points));
	}

	function setPlannerPick(item:CatalogItem):Void {
		userChanges(() -> selection.setPlannerPick(item));
	}

	/**
		Applies a change the user made. Once the selection is really different, a failure shown in the
		status line goes and the host is told the new text.
	**/
	function userChanges(change:() -> Void):Void {
		final before = saveText();
		change();
		final after = saveText();
		if (after != before)
			status.selectionChanged();
		announcer.offer(after);
		refresh();
	}

	function showStatus():Void {
		statusText.text = status.text;
		statusText.textColor = switch (status.kind) {
			case Failure: Palette.WARNING;
			case Notice: Palette.NOTICE;
			case Note: Palette.TEXT_DIM;
		}
	}

	function refresh():Void {
		final byModule = selection.mode == ByModule;
		moduleTab.setSelected(byModule);
		needTab.setSelected(!byModule);
		for (choice in choices)
			choice.panel.showChosen(switch (choice.kind) {
				case Cpu: selection.cpu;
				case Power: selection.power;
				default: selection.base;
			});
		modulePanel.visible = byModule;
		needPanel.visible = !byModule;
		if (byModule)
			modulePanel.showSelection(selection);
		else
			needPanel.showSelection(selection, catalog);
		totals.show(new Budget(selection, catalog));
		final fixed = [selection.cpu, selection.power, selection.base].filter(item -> item != null);
		bom.show([for (item in fixed) new orvane.model.ModuleLine(item, 1)].concat(selection.moduleLines(catalog)));
		slotView.show(new SlotLayout(selection, catalog, SlotPanel.MAX_SLOTS));
		showStatus();
	}
}
