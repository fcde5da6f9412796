package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.CatalogItem;
import orvane.model.ModuleLine;

/** One line of the bill of materials on screen: code and quantity, the order number and description below. */
class BomRow extends Sprite implements ShowsItem {
	public static inline final HEIGHT = 36;
	static inline final QUANTITY_WIDTH = 40;

	final code:TextField;
	final description:TextField;
	final quantity:TextField;
	var item:Null<CatalogItem>;

	public function new(width:Float, striped:Bool) {
		super();
		graphics.beginFill(striped ? 0xEBEFF4 : Palette.PANEL);
		graphics.drawRect(0, 0, width, HEIGHT);
		graphics.endFill();
		code = TextFactory.label("", 6, 2, width - 16 - QUANTITY_WIDTH, 13, Palette.TEXT);
		description = TextFactory.label("", 6, 18, width - 12, 11, Palette.TEXT_DIM);
		quantity = TextFactory.label("", width - 6 - QUANTITY_WIDTH, 2, QUANTITY_WIDTH, 12, Palette.TEXT, TextFormatAlign.RIGHT);
		addChild(code);
		addChild(description);
		addChild(quantity);
	}

	public function shownItem():Null<CatalogItem> {
		return item;
	}

	public function show(line:Null<ModuleLine>):Void {
		item = line == null ? null : line.item;
		code.text = line == null ? "" : line.item.code;
		description.text = line == null ? "" : (line.item.orderNumber == "" ? "" : line.item.orderNumber + "  ") + line.item.description;
		quantity.text = line == null ? "" : Std.string(line.quantity);
	}
}
