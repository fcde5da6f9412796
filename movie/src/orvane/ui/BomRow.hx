package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.CatalogItem;
import orvane.model.ModuleLine;
import orvane.model.Money;

/**
	One line of the bill of materials on screen: code, quantity and, where the catalogue gives
	prices, unit price and line total ("—" for an item without a price); the order number and
	description below.
**/
class BomRow extends Sprite implements ShowsItem {
	public static inline final HEIGHT = 36;
	/** Right edges of the figures' columns, from the row's right end, for the list's header to match. */
	public static inline final TOTAL_WIDTH = 76;
	public static inline final UNIT_WIDTH = 64;
	public static inline final QUANTITY_WIDTH = 34;
	static inline final COLUMN_GAP = 4;

	final code:TextField;
	final description:TextField;
	final quantity:TextField;
	final unit:TextField;
	final total:TextField;
	var item:Null<CatalogItem>;

	public function new(width:Float, striped:Bool) {
		super();
		graphics.beginFill(striped ? 0xEBEFF4 : Palette.PANEL);
		graphics.drawRect(0, 0, width, HEIGHT);
		graphics.endFill();
		final totalX = width - 6 - TOTAL_WIDTH;
		final unitX = totalX - COLUMN_GAP - UNIT_WIDTH;
		final quantityX = unitX - COLUMN_GAP - QUANTITY_WIDTH;
		code = TextFactory.label("", 6, 2, quantityX - 10, 13, Palette.TEXT);
		description = TextFactory.label("", 6, 18, width - 12, 11, Palette.TEXT_DIM);
		quantity = TextFactory.label("", quantityX, 2, QUANTITY_WIDTH, 12, Palette.TEXT, TextFormatAlign.RIGHT);
		unit = TextFactory.label("", unitX, 3, UNIT_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT);
		total = TextFactory.label("", totalX, 2, TOTAL_WIDTH, 12, Palette.TEXT, TextFormatAlign.RIGHT);
		for (field in [code, description, quantity, unit, total])
			addChild(field);
	}

	public function shownItem():Null<CatalogItem> {
		return item;
	}

	/** `priced`: the catalogue gives prices, so the price columns are shown. */
	public function show(line:Null<ModuleLine>, priced:Bool):Void {
		item = line == null ? null : line.item;
		code.text = line == null ? "" : line.item.code;
		description.text = line == null ? "" : (line.item.orderNumber == "" ? "" : line.item.orderNumber + "  ") + line.item.shownDescription();
		description.textColor = line != null && !line.item.isOffered() ? Palette.WARNING : Palette.TEXT_DIM;
		quantity.text = line == null ? "" : Std.string(line.quantity);
		final price = line == null ? null : line.item.price;
		unit.text = line == null || !priced ? "" : price == null ? "—" : Money.grouped(price);
		total.text = line == null || !priced ? "" : price == null ? "—" : Money.grouped(price * 1.0 * line.quantity);
	}
}
