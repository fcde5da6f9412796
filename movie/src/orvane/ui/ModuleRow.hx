package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import orvane.model.CatalogItem;
import orvane.model.Selection;

/** A slot module with its data and a quantity stepper. */
class ModuleRow extends Sprite implements ShowsItem {
	public final item:CatalogItem;
	final stepper:QuantityStepper;

	/** `onQuantity(item, quantity, typingKey)`, see QuantityStepper. */
	public function new(item:CatalogItem, y:Float, width:Float, height:Float, withDescription:Bool,
			onQuantity:(CatalogItem, Int, Null<String>) -> Void) {
		super();
		this.item = item;
		this.y = y;
		graphics.lineStyle(1, Palette.PANEL_LINE);
		graphics.moveTo(6, height);
		graphics.lineTo(width - 6, height);
		final top = withDescription ? 2 : (height - 20) / 2;
		addChild(TextFactory.label(item.code, 8, top, 80, 13, Palette.TEXT));
		addChild(TextFactory.label(figures(item), 90, top + 1, width - 100 - QuantityStepper.WIDTH, 11, Palette.TEXT_DIM));
		if (withDescription)
			addChild(TextFactory.label(item.shownDescription(), 8, top + 19, width - 20 - QuantityStepper.WIDTH, 12, Palette.TEXT_DIM));
		stepper = new QuantityStepper(width - 8 - QuantityStepper.WIDTH, (height - 22) / 2, QuantityStepper.WIDTH, Selection.MAX_QUANTITY, 1,
			(quantity, typingKey) -> onQuantity(item, quantity, typingKey));
		addChild(stepper);
	}

	public function shownItem():Null<CatalogItem> {
		return item;
	}

	public function showQuantity(quantity:Int):Void {
		stepper.showValue(quantity);
	}

	/** −, the quantity and +. */
	public function controls():Array<InteractiveObject> {
		return stepper.controls();
	}

	/** Where the keyboard lands when the row is called up (a slot clicked): the quantity. */
	public function quantityField():InteractiveObject {
		return stepper.field;
	}

	public static function figures(item:CatalogItem):String {
		return '${item.slots} 槽  5V ${item.draw5V} mA  24V ${item.draw24V} mA';
	}
}
