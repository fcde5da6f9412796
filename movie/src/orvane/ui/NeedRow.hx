package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.Selection;

/** Required points of one I/O kind, the module the planner uses for it, and the planned count. */
class NeedRow extends Sprite {
	public static inline final HEIGHT = 32;

	final kind:ModuleKind;
	final modules:Array<CatalogItem>;
	final points:QuantityStepper;
	final pickLabel:TextField;
	final result:TextField;
	final previous:PushButton;
	final next:PushButton;
	var pickIndex = 0;

	public function new(kind:ModuleKind, catalog:Catalog, y:Float, step:Int, onRequired:(ModuleKind, Int) -> Void, onPick:CatalogItem -> Void) {
		super();
		this.kind = kind;
		this.y = y;
		modules = catalog.ofKind(kind);
		addChild(TextFactory.label(kind.label, 8, 6, 76, 12, Palette.TEXT));
		points = new QuantityStepper(82, 5, 92, Selection.MAX_REQUIRED_POINTS, step, required -> onRequired(kind, required));
		addChild(points);
		previous = new PushButton("◀", 180, 5, 20, 22, () -> cycle(-1, onPick), 12);
		next = new PushButton("▶", 270, 5, 20, 22, () -> cycle(1, onPick), 12);
		pickLabel = TextFactory.label("", 200, 7, 70, 12, Palette.ACCENT, flash.text.TextFormatAlign.CENTER);
		result = TextFactory.label("", 292, 7, 32, 12, Palette.TEXT, flash.text.TextFormatAlign.RIGHT);
		addChild(previous);
		addChild(pickLabel);
		addChild(next);
		addChild(result);
		previous.setEnabled(modules.length > 1);
		next.setEnabled(modules.length > 1);
	}

	public function showSelection(selection:Selection, catalog:Catalog, plannedCount:Int):Void {
		points.showValue(selection.requiredPoints.of(kind));
		final pick = selection.plannerPick(kind, catalog);
		pickIndex = modules.indexOf(pick);
		pickLabel.text = pick == null ? "—" : pick.code;
		result.text = '× $plannedCount';
	}

	function cycle(direction:Int, onPick:CatalogItem -> Void):Void {
		if (modules.length == 0)
			return;
		pickIndex = (pickIndex + direction + modules.length) % modules.length;
		onPick(modules[pickIndex]);
	}
}
