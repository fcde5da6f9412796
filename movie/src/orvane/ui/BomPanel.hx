package orvane.ui;

import flash.display.Shape;
import flash.display.Sprite;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import flash.ui.Keyboard;
import orvane.model.ModuleLine;
import orvane.model.PurchaseList;

/**
	Bill of materials: model, order number, description, quantity and, with prices, unit price
	and line total of every item to order (PurchaseList: the expansion racks' interface modules
	and cables and the accessories included) in a list that scrolls a line per wheel notch, and,
	while it has the focus, with the arrow keys, Page Up / Page Down, Home and End. Under it,
	however the list scrolls, the count of items and pieces and the total price.
**/
class BomPanel extends Panel {
	static inline final LIST_TOP = 48;
	static inline final FOOT_HEIGHT = 26;
	static inline final BAR_WIDTH = 5;

	final list = new Sprite();
	final rows:Array<BomRow> = [];
	final scrollBar = new Shape();
	final summary:TextField;
	final position:TextField;
	final priceHeadings:Array<TextField>;
	final listWidth:Float;
	final listHeight:Float;
	var lines:Array<ModuleLine> = [];
	var priceTotal:Null<String>;
	var priced = false;
	var first = 0;

	public function new(x:Float, y:Float, width:Float, height:Float) {
		super("物料清单", x, y, width, height);
		final header = Panel.TITLE_HEIGHT + 4;
		addChild(TextFactory.label("型号 / 说明", 8, header, 120, 11, Palette.TEXT_DIM));
		final rowWidth = width - 8 - BAR_WIDTH;
		final totalX = 2 + rowWidth - 6 - BomRow.TOTAL_WIDTH;
		final unitX = totalX - 4 - BomRow.UNIT_WIDTH;
		final quantityX = unitX - 4 - BomRow.QUANTITY_WIDTH;
		addChild(TextFactory.label("数量", quantityX, header, BomRow.QUANTITY_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT));
		priceHeadings = [
			TextFactory.label("单价", unitX, header, BomRow.UNIT_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT),
			TextFactory.label("金额", totalX, header, BomRow.TOTAL_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT)
		];
		for (heading in priceHeadings)
			addChild(heading);
		final rowCount = Std.int((height - LIST_TOP - FOOT_HEIGHT) / BomRow.HEIGHT);
		listWidth = width - 4;
		listHeight = rowCount * BomRow.HEIGHT;
		list.x = 2;
		list.y = LIST_TOP;
		list.graphics.beginFill(Palette.PANEL);
		list.graphics.drawRect(0, 0, listWidth, listHeight);
		list.graphics.endFill();
		for (i in 0...rowCount) {
			final row = new BomRow(rowWidth, i % 2 == 1);
			row.y = i * BomRow.HEIGHT;
			rows.push(row);
			list.addChild(row);
		}
		list.addChild(scrollBar);
		list.tabEnabled = true;
		addChild(list);
		summary = TextFactory.label("", 8, height - FOOT_HEIGHT + 4, width - 16, 12, Palette.TEXT);
		position = TextFactory.label("", width - 78, height - FOOT_HEIGHT + 5, 70, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT);
		addChild(summary);
		addChild(position);
		list.addEventListener(MouseEvent.MOUSE_WHEEL, (event:MouseEvent) -> if (event.delta != 0) scrollTo(first + (event.delta > 0 ? -1 : 1)));
		list.addEventListener(KeyboardEvent.KEY_DOWN, scrollWithKeys);
	}

	/** `withPrices`: the catalogue gives prices; `total`: what the lines cost, with its currency, null unless every line has a price. */
	public function show(newLines:Array<ModuleLine>, withPrices:Bool, total:Null<String>):Void {
		lines = newLines;
		priced = withPrices;
		priceTotal = total;
		for (heading in priceHeadings)
			heading.visible = priced;
		scrollTo(first);
	}

	/** The list as one keyboard stop. */
	public function focusArea():FocusArea {
		return FocusArea.row(() -> [list]);
	}

	function scrollWithKeys(event:KeyboardEvent):Void {
		final page = rows.length - 1;
		final target = switch (event.keyCode) {
			case Keyboard.UP: first - 1;
			case Keyboard.DOWN: first + 1;
			case Keyboard.PAGE_UP: first - page;
			case Keyboard.PAGE_DOWN: first + page;
			case Keyboard.HOME: 0;
			case Keyboard.END: lines.length;
			default: return;
		}
		event.stopPropagation();
		scrollTo(target);
	}

	function scrollTo(row:Int):Void {
		final last = Std.int(Math.max(0, lines.length - rows.length));
		final target = Std.int(Math.max(0, Math.min(last, row)));
		first = target;
		for (i in 0...rows.length)
			rows[i].show(lines[first + i], priced);
		drawScrollBar();
		final counted = PurchaseList.counted(lines).length;
		final unknown = counted < lines.length ? '（未知 ${lines.length - counted} 种不计）' : "";
		position.text = lines.length > rows.length ? '${first + 1}–${first + rows.length} / ${lines.length} 行' : "";
		final cost = priceTotal == null ? "" : '　合计 $priceTotal';
		summary.text = lines.length == 0 ? "尚未选择任何产品" : '共 $counted 种，${PurchaseList.pieces(lines)} 件' + unknown + cost;
	}

	function drawScrollBar():Void {
		scrollBar.graphics.clear();
		if (lines.length <= rows.length)
			return;
		final left = listWidth - BAR_WIDTH - 2;
		final thumb = Math.max(16, listHeight * rows.length / lines.length);
		final top = (listHeight - thumb) * first / (lines.length - rows.length);
		scrollBar.graphics.beginFill(Palette.PANEL_LINE);
		scrollBar.graphics.drawRect(left, 0, BAR_WIDTH, listHeight);
		scrollBar.graphics.endFill();
		scrollBar.graphics.beginFill(Palette.ACCENT);
		scrollBar.graphics.drawRoundRect(left, top, BAR_WIDTH, thumb, 4, 4);
		scrollBar.graphics.endFill();
	}
}
