package orvane.ui;

import flash.display.Shape;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.SlotLayout;

/** The base slot by slot: which module sits in each slot, free slots empty, modules that do not fit in red past the base. */
class SlotPanel extends Panel {
	/** The most slots shown; a longer layout gives its last cell to counting the rest. */
	public static inline final MAX_SLOTS = 31;
	static inline final ROWS = 2;
	static inline final MIN_COLUMNS = 6;
	static inline final GAP = 3;

	final cellArea:{x:Float, y:Float, width:Float, height:Float};
	final boxes = new Shape();
	final cells:Array<{number:TextField, code:TextField}> = [];
	final hint:TextField;

	public function new(x:Float, y:Float, width:Float, height:Float) {
		super("基板槽位", x, y, width, height);
		cellArea = {x: 6.0, y: Panel.TITLE_HEIGHT + 6.0, width: width - 12, height: height - Panel.TITLE_HEIGHT - 12};
		addChild(boxes);
		hint = TextFactory.label("选择基板后，这里显示每个槽位安装的模块", 8, Panel.TITLE_HEIGHT + 8, width - 16, 12, Palette.TEXT_DIM);
		addChild(hint);
	}

	public function show(layout:SlotLayout):Void {
		boxes.graphics.clear();
		hint.visible = layout.baseSlots == 0;
		final count = hint.visible ? 0 : layout.slots.length + (layout.slotsLeftOut > 0 ? 1 : 0);
		final columns = Std.int(Math.max(MIN_COLUMNS, Math.ceil(count / ROWS)));
		final cellWidth = (cellArea.width - GAP * (columns - 1)) / columns;
		final cellHeight = (cellArea.height - GAP * (ROWS - 1)) / ROWS;
		while (cells.length < count)
			addCell();
		for (i in 0...cells.length) {
			final cell = cells[i];
			cell.number.visible = cell.code.visible = i < count;
			if (i >= count)
				continue;
			final left = cellArea.x + (i % columns) * (cellWidth + GAP);
			final top = cellArea.y + Std.int(i / columns) * (cellHeight + GAP);
			final leftOutCell = i == layout.slots.length;
			final use = leftOutCell ? null : layout.slots[i];
			final beyond = leftOutCell ? layout.slotsNeeded > layout.baseSlots : layout.isBeyondBase(i);
			boxes.graphics.lineStyle(1, beyond ? Palette.WARNING : use == null ? Palette.PANEL_LINE : Palette.ACCENT);
			boxes.graphics.beginFill(beyond ? Palette.WARNING_SOFT : use == null ? 0xFFFFFF : Palette.ACCENT_SOFT);
			boxes.graphics.drawRect(left, top, cellWidth, cellHeight);
			boxes.graphics.endFill();
			place(cell.number, left, top + 1, cellWidth);
			place(cell.code, left, top + cellHeight / 2 - 2, cellWidth);
			cell.number.text = leftOutCell ? "" : Std.string(i + 1);
			cell.code.text = leftOutCell ? '+${layout.slotsLeftOut} 槽' : use == null ? "空" : use.continued ? "〃" : use.item.code;
			cell.code.textColor = beyond ? Palette.WARNING : use == null ? Palette.DISABLED : Palette.TEXT;
		}
	}

	function addCell():Void {
		final cell = {
			number: TextFactory.label("", 0, 0, 10, 9, Palette.TEXT_DIM, TextFormatAlign.CENTER),
			code: TextFactory.label("", 0, 0, 10, 10, Palette.TEXT, TextFormatAlign.CENTER)
		};
		cells.push(cell);
		addChild(cell.number);
		addChild(cell.code);
	}

	static function place(field:TextField, x:Float, y:Float, width:Float):Void {
		field.x = x;
		field.y = y;
		field.width = width;
	}
}
