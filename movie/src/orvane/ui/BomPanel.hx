package orvane.ui;

import flash.events.MouseEvent;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.ModuleLine;

/** Bill of materials: model, description and quantity of every chosen item, a page at a time; the mouse wheel turns the pages. */
class BomPanel extends Panel {
	static inline final ROW_HEIGHT = 36;
	static inline final QUANTITY_WIDTH = 40;

	final rows:Array<{code:TextField, description:TextField, quantity:TextField}> = [];
	final pageLabel:TextField;
	final previous:PushButton;
	final next:PushButton;
	final summary:TextField;
	var lines:Array<ModuleLine> = [];
	var page = 0;

	public function new(x:Float, y:Float, width:Float, height:Float) {
		super("物料清单", x, y, width, height);
		final header = Panel.TITLE_HEIGHT + 4;
		addChild(TextFactory.label("型号 / 说明", 8, header, 120, 11, Palette.TEXT_DIM));
		addChild(TextFactory.label("数量", width - 8 - QUANTITY_WIDTH, header, QUANTITY_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT));
		final first = header + 20;
		final count = Std.int((height - first - 36) / ROW_HEIGHT);
		for (i in 0...count) {
			final top = first + i * ROW_HEIGHT;
			if (i % 2 == 1) {
				graphics.beginFill(0xEBEFF4);
				graphics.drawRect(2, top, width - 4, ROW_HEIGHT);
				graphics.endFill();
			}
			final row = {
				code: TextFactory.label("", 8, top + 2, width - 20 - QUANTITY_WIDTH, 13, Palette.TEXT),
				description: TextFactory.label("", 8, top + 18, width - 16, 11, Palette.TEXT_DIM),
				quantity: TextFactory.label("", width - 8 - QUANTITY_WIDTH, top + 2, QUANTITY_WIDTH, 12, Palette.TEXT, TextFormatAlign.RIGHT)
			};
			rows.push(row);
			addChild(row.code);
			addChild(row.description);
			addChild(row.quantity);
		}
		final bottom = height - 30;
		summary = TextFactory.label("", 8, bottom + 4, 150, 12, Palette.TEXT);
		previous = new PushButton("▲ 上页", width - 168, bottom + 2, 64, 24, () -> turn(-1), 12);
		pageLabel = TextFactory.label("", width - 102, bottom + 6, 30, 11, Palette.TEXT_DIM, TextFormatAlign.CENTER);
		next = new PushButton("▼ 下页", width - 70, bottom + 2, 64, 24, () -> turn(1), 12);
		addChild(summary);
		addChild(previous);
		addChild(pageLabel);
		addChild(next);
		addEventListener(MouseEvent.MOUSE_WHEEL, event -> if (event.delta != 0) turn(event.delta > 0 ? -1 : 1));
	}

	public function show(newLines:Array<ModuleLine>):Void {
		lines = newLines;
		page = Std.int(Math.min(page, pageCount() - 1));
		var pieces = 0;
		for (line in lines)
			pieces += line.quantity;
		summary.text = lines.length == 0 ? "尚未选择任何产品" : '共 ${lines.length} 种，${pieces} 件';
		draw();
	}

	function pageCount():Int {
		return Std.int(Math.max(1, Math.ceil(lines.length / rows.length)));
	}

	function turn(direction:Int):Void {
		page = Std.int(Math.max(0, Math.min(pageCount() - 1, page + direction)));
		draw();
	}

	function draw():Void {
		for (i in 0...rows.length) {
			final line = lines[page * rows.length + i];
			rows[i].code.text = line == null ? "" : line.item.code;
			rows[i].description.text = line == null ? "" : line.item.description;
			rows[i].quantity.text = line == null ? "" : Std.string(line.quantity);
		}
		pageLabel.text = '${page + 1}/${pageCount()}';
		previous.setEnabled(page > 0);
		next.setEnabled(page < pageCount() - 1);
	}
}
