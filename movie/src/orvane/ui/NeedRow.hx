package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.text.TextField;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.NeedFigures.NeedFigure;
import orvane.model.Selection;

/** Required points of one I/O kind, the module the planner uses for it, and the planned count. */
class NeedRow extends Sprite implements ShowsItem {
	public static inline final HEIGHT = 28;

	final kind:ModuleKind;
	final modules:Array<CatalogItem>;
	final points:QuantityStepper;
	final pickLabel:TextField;
	final result:TextField;
	final previous:PushButton;
	final next:PushButton;
	var pickIndex = 0;
	/** The pick shown; one the catalogue in use lacks is not among `modules`. */
	var shownPick:Null<CatalogItem>;

	/** `onRequired(kind, points, typingKey)`, see QuantityStepper. */
	public function new(kind:ModuleKind, catalog:Catalog, y:Float, step:Int, onRequired:(ModuleKind, Int, Null<String>) -> Void,
			onPick:CatalogItem -> Void) {
		super();
		this.kind = kind;
		this.y = y;
		modules = catalog.ofKind(kind);
		addChild(TextFactory.label(kind.label, 8, 4, 76, 12, Palette.TEXT));
		points = new QuantityStepper(82, 3, 92, Selection.MAX_REQUIRED_POINTS, step, (required, typingKey) -> onRequired(kind, required, typingKey));
		addChild(points);
		previous = new PushButton("◀", 180, 3, 20, 22, () -> cycle(-1, onPick), 12);
		next = new PushButton("▶", 270, 3, 20, 22, () -> cycle(1, onPick), 12);
		pickLabel = TextFactory.label("", 200, 5, 70, 12, Palette.ACCENT, flash.text.TextFormatAlign.CENTER);
		result = TextFactory.label("", 292, 5, 32, 12, Palette.TEXT, flash.text.TextFormatAlign.RIGHT);
		addChild(previous);
		addChild(pickLabel);
		addChild(next);
		addChild(result);
		previous.setEnabled(modules.length > 1);
		next.setEnabled(modules.length > 1);
	}

	public function shownItem():Null<CatalogItem> {
		return pickIndex >= 0 ? modules[pickIndex] : shownPick;
	}

	public function show(figure:NeedFigure):Void {
		points.showValue(figure.required);
		pickIndex = modules.indexOf(figure.pick);
		shownPick = figure.pick;
		pickLabel.text = figure.pickText;
		pickLabel.textColor = figure.pickMarked ? Palette.WARNING : Palette.ACCENT;
		result.text = '× ${figure.planned}';
	}

	/** −, the points, + and the two buttons that change the module. */
	public function controls():Array<InteractiveObject> {
		return points.controls().concat([previous, next]);
	}

	public function pointsField():InteractiveObject {
		return points.field;
	}

	function cycle(direction:Int, onPick:CatalogItem -> Void):Void {
		if (modules.length == 0)
			return;
		pickIndex = (pickIndex + direction + modules.length) % modules.length;
		onPick(modules[pickIndex]);
	}
}
