package orvane.model;

/** A choice list as the screen shows it: whether it is shown, its title and the item chosen in it. */
typedef ChoiceState = {kind:ModuleKind, shown:Bool, title:String, chosen:Null<CatalogItem>};

/**
	What the screen shows of the selection being edited, worked out here so that the view only
	paints it: the header's buttons, the choice lists of the rack shown, the racks panel, the
	totals, what a buyer orders, the slots of the rack shown and the remedies.
**/
class ScreenState {
	public final canUndo:Bool;
	public final canRedo:Bool;
	public final mode:SelectionMode;
	/** CPU, power supply, base and expansion base: the power supply and bases those of the rack shown. */
	public final choices:Array<ChoiceState>;
	public final rackShown:Int;
	public final racks:Int;
	public final canAddRack:Bool;
	public final canRemoveRack:Bool;
	/** What the rack shown is, and how many bases the CPU drives. */
	public final rackNote:String;
	public final budget:Budget;
	public final purchase:Array<ModuleLine>;
	/** The price of all order lines with the currency ("12790.00 CNY"); null unless every line has a price. */
	public final priceTotal:Null<String>;
	public final slots:SlotLayout;
	public final remedies:Array<Remedy>;

	/** `slotsShown`: the most slots the slot view draws. */
	public function new(editor:SelectionEditor, catalog:Catalog, slotsShown:Int) {
		final selection = editor.selection;
		canUndo = editor.canUndo();
		canRedo = editor.canRedo();
		mode = selection.mode;
		rackShown = editor.shownRack();
		racks = selection.racks.length;
		final rack = rackShown == 0 ? null : selection.racks[rackShown - 1];
		choices = [
			{kind: Cpu, shown: true, title: ModuleKind.Cpu.label, chosen: selection.cpu},
			{kind: Power, shown: true, title: ModuleKind.Power.label + (rack == null ? "" : '（扩展基板 $rackShown）'),
				chosen: rack == null ? selection.power : rack.power},
			{kind: Base, shown: rack == null, title: ModuleKind.Base.label, chosen: selection.base},
			{kind: ExpansionBase, shown: rack != null, title: ModuleKind.ExpansionBase.label, chosen: rack == null ? null : rack.base}
		];
		canAddRack = selection.canAddRack(catalog);
		canRemoveRack = rackShown > 0;
		rackNote = rackNoteOf(rackShown, selection.cpu);
		budget = new Budget(selection, catalog);
		purchase = PurchaseList.lines(selection, catalog);
		final cost = PurchaseList.priceTotal(purchase, catalog);
		priceTotal = cost == null ? null : Money.format(cost) + " " + catalog.currency;
		slots = new SlotLayout(selection, catalog, slotsShown, rackShown);
		remedies = Remedies.find(selection, catalog);
	}

	static function rackNoteOf(rackShown:Int, cpu:Null<CatalogItem>):String {
		return (rackShown == 0 ? "主基板：CPU 所在的基板，模块先装满它。" : '扩展基板 $rackShown：自动配扩展接口模块和电缆。') + "\n"
			+ (cpu == null ? "选择 CPU 后可知能带几个基板。" : cpu.maxBases == 1 ? "所选 CPU 不能带扩展基板。" : '所选 CPU 最多带 ${cpu.maxBases} 个基板。');
	}
}
