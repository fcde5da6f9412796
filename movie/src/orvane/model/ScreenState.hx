package orvane.model;

import orvane.model.StatusLine.StatusKind;

/** A choice list as the screen shows it: whether it is shown, its title and the item chosen in it. */
typedef ChoiceState = {kind:ModuleKind, shown:Bool, title:String, chosen:Null<CatalogItem>};

/**
	What the screen shows of the selection being edited, worked out here so that the view only
	paints it: the header's buttons, the choice lists of the rack shown, the racks panel, the
	totals with the reserve, what a buyer orders with the prices, the slots of the rack shown and
	the limits run past with their remedies.
**/
class ScreenState {
	public final canUndo:Bool;
	public final canRedo:Bool;
	public final mode:SelectionMode;
	/** What is asked before switching to the other mode; null when the switch goes at once. */
	public final switchQuestion:Null<Question>;
	/** By I/O need, each kind's figures and what is kept from the user's choice; null by module. */
	public final need:Null<NeedFigures>;
	/** Each module's quantity by hand, by code (none: 0). */
	final quantities:Map<String, Int>;
	/** The slot pieces in order, each with the rack it is pinned to ("移到…" asks from here). */
	public final pieces:Array<SlotPiece>;
	public final project:ProjectData;
	/**
		The status line's message, on its left: the message of the last action, then the notices;
		apart from it and after it the reserve warning, then the limits with their remedies.
	**/
	public final statusMessage:String;
	/** How the message reads: a failure of the last action, else a notice (or a plain note). */
	public final statusKind:StatusKind;
	/** CPU, power supply, base and expansion base: the power supply and bases those of the rack shown. */
	public final choices:Array<ChoiceState>;
	public final rackShown:Int;
	/** Expansion racks, planned ones included. */
	public final racks:Int;
	/** The first expansion rack the planner added (racks + 1 when none). */
	public final firstPlanned:Int;
	/** Each rack's name, the main one first ("主基板", "扩展基板 1", …). */
	public final rackLabels:Array<String>;
	public final canAddRack:Bool;
	public final canRemoveRack:Bool;
	/** What the rack shown is, and how many bases the CPU drives. */
	public final rackNote:String;
	public final budget:Budget;
	public final reserve:Reserve;
	public final purchase:Array<ModuleLine>;
	/** Whether the bill shows prices: the catalogue gives a currency. */
	public final priced:Bool;
	/** The price of all order lines with the currency ("12,790.00 CNY"); null unless every line has a price. */
	public final priceTotal:Null<String>;
	public final slots:SlotLayout;
	public final overruns:Array<Overrun>;
	/** Each rack's rail length and loss, the total loss and the enclosure's figures. */
	public final cabinet:CabinetFigures;
	/** Where the reserve is eaten, for the status line; null when it is kept. */
	public final reserveWarning:Null<String>;
	/**
		For the status line, apart from the limits: the catalogue's damaged entries, and what the open of
		the selection told as far as it still holds (SelectionEditor.openNotice); null when there is nothing.
	**/
	public final notices:Null<String>;

	/** `slotsShown`: the most slots the slot view draws. */
	public function new(editor:SelectionEditor, slotsShown:Int) {
		final selection = editor.selection;
		final catalog = editor.catalog;
		final plan = editor.plan();
		canUndo = editor.canUndo();
		canRedo = editor.canRedo();
		mode = selection.mode;
		switchQuestion = Questions.modeSwitch(selection, mode == ByModule ? ByIoNeed : ByModule);
		need = mode == ByIoNeed ? new NeedFigures(selection, catalog, plan.planned.length) : null;
		pieces = plan.pieces;
		project = selection.project;
		quantities = [for (item in catalog.items) if (selection.quantityOf(item) > 0) item.code => selection.quantityOf(item)];
		rackShown = editor.shownRack();
		racks = plan.rackCount() - 1;
		firstPlanned = plan.rackCount() - plan.planned.length;
		final shown = rackShown == 0 ? null : '（扩展基板 $rackShown）';
		choices = [
			choice(Cpu, true, ModuleKind.Cpu.label, selection.cpu),
			choice(Power, true, ModuleKind.Power.label + (shown == null ? "" : shown), plan.powers[rackShown]),
			choice(Base, shown == null, ModuleKind.Base.label, selection.base),
			choice(ExpansionBase, shown != null, ModuleKind.ExpansionBase.label, shown == null ? null : plan.bases[rackShown])
		];
		canAddRack = selection.canAddRack(catalog);
		canRemoveRack = rackShown > 0 && !plan.isPlanned(rackShown);
		rackNote = rackNoteOf(rackShown, plan.isPlanned(rackShown), selection.cpu);
		budget = new Budget(selection, catalog, plan);
		rackLabels = [for (rack in budget.racks) rack.label];
		reserve = selection.reserve;
		purchase = PurchaseList.lines(selection, catalog, plan);
		priced = catalog.currency != null;
		final cost = PurchaseList.priceTotal(purchase, catalog);
		priceTotal = cost == null ? null : Money.grouped(cost) + " " + catalog.currency;
		slots = new SlotLayout(selection, catalog, slotsShown, rackShown, plan);
		overruns = editor.overruns();
		cabinet = new CabinetFigures(selection, catalog, plan);
		final eaten = budget.reserveProblems();
		reserveWarning = eaten.length == 0 ? null : eaten[0];
		final told = [
			catalog.skippedEntries > 0 ? '产品目录中有 ${catalog.skippedEntries} 项数据损坏或重复，已跳过。' : null,
			editor.openNotice()
		].filter(text -> text != null);
		notices = told.length == 0 ? null : told.join("；");
		statusMessage = [editor.status.text, notices].filter(text -> text != null && text != "").join("；");
		statusKind = editor.status.text == "" ? Notice : editor.status.kind;
	}

	public function quantityOf(item:CatalogItem):Int {
		final quantity = quantities[item.code];
		return quantity == null ? 0 : quantity;
	}

	/** A choice list; one whose choice the catalogue lacks (and so the list has no row of) names it, marked, in its title. */
	static function choice(kind:ModuleKind, shown:Bool, title:String, chosen:Null<CatalogItem>):ChoiceState {
		return {kind: kind, shown: shown, title: chosen != null && chosen.unknown ? '$title：${chosen.code}${chosen.mark()}' : title, chosen: chosen};
	}

	static function rackNoteOf(rackShown:Int, planned:Bool, cpu:Null<CatalogItem>):String {
		final what = rackShown == 0 ? "主基板：CPU 所在的基板，模块先装满它。" : planned ? '扩展基板 $rackShown：按 I/O 需求规划，随需求增减；选择电源或基板后留作手选。' : '扩展基板 $rackShown：自动配扩展接口模块和电缆。';
		return what + "\n" + (cpu == null ? "选择 CPU 后可知能带几个基板。" : cpu.maxBases == 1 ? "所选 CPU 不能带扩展基板。" : '所选 CPU 最多带 ${cpu.maxBases} 个基板。');
	}
}
