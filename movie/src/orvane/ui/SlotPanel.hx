package orvane.ui;

import flash.display.InteractiveObject;
import orvane.model.SlotLayout;
import orvane.model.SlotUse;

/**
	One rack's base slot by slot, in the order the user gave the modules: which module sits in
	each slot, free slots empty, modules that fit no rack in red past the last base. A module
	moved past a rack's first or last slot goes on to the rack before or after it. Clicking a module's slot
	selects it and calls up its row; ◀ 左移 / 右移 ▶ (or Shift+← / Shift+→ on a focused slot)
	move the selected module one place along the base.
**/
class SlotPanel extends Panel {
	/** The most slots shown; a longer layout gives its last cell to counting the rest. */
	public static inline final MAX_SLOTS = 31;
	static inline final ROWS = 2;
	static inline final MIN_COLUMNS = 6;
	static inline final GAP = 3;

	final cellArea:{x:Float, y:Float, width:Float, height:Float};
	final cells:Array<SlotCell> = [];
	final hint:flash.text.TextField;
	final moveLeft:PushButton;
	final moveRight:PushButton;
	final onPress:SlotUse -> Void;
	final onMove:(Int, Int) -> Void;
	var layout:Null<SlotLayout>;
	var shownRack = "";
	var columns = MIN_COLUMNS;
	/** The piece the move buttons act on; -1: none. */
	var selectedPiece = -1;

	/** `onPress(use)`: a module's slot was clicked or pressed; `onMove(piece, direction)`: move that piece left (-1) or right (+1). */
	public function new(x:Float, y:Float, width:Float, height:Float, onPress:SlotUse -> Void, onMove:(Int, Int) -> Void) {
		super("基板槽位", x, y, width, height);
		this.onPress = onPress;
		this.onMove = onMove;
		cellArea = {x: 6.0, y: Panel.TITLE_HEIGHT + 6.0, width: width - 12, height: height - Panel.TITLE_HEIGHT - 12};
		moveLeft = new PushButton("◀ 左移", width - 118, 3, 54, Panel.TITLE_HEIGHT - 6, () -> move(-1), 11);
		moveRight = new PushButton("右移 ▶", width - 60, 3, 54, Panel.TITLE_HEIGHT - 6, () -> move(1), 11);
		addChild(moveLeft);
		addChild(moveRight);
		hint = TextFactory.label("选择基板后，这里显示每个槽位安装的模块", 8, Panel.TITLE_HEIGHT + 8, width - 16, 12, Palette.TEXT_DIM);
		addChild(hint);
	}

	/** `rackLabel`: the rack shown ("主基板", "扩展基板 1"). */
	public function show(newLayout:SlotLayout, rackLabel:String):Void {
		layout = newLayout;
		shownRack = rackLabel;
		setTitle("基板槽位：" + rackLabel);
		if (selectedPiece >= layout.pieceCount())
			selectedPiece = -1;
		hint.visible = layout.baseSlots == 0;
		final count = hint.visible ? 0 : layout.slots.length + (layout.slotsLeftOut > 0 ? 1 : 0);
		columns = Std.int(Math.max(MIN_COLUMNS, Math.ceil(count / ROWS)));
		final cellWidth = (cellArea.width - GAP * (columns - 1)) / columns;
		final cellHeight = (cellArea.height - GAP * (ROWS - 1)) / ROWS;
		while (cells.length < count) {
			final cell = new SlotCell(cell -> pressed(cell), cell -> select(cell), (cell, direction) -> {
				select(cell);
				move(direction);
			});
			cells.push(cell);
			addChild(cell);
		}
		for (i in 0...cells.length) {
			final cell = cells[i];
			cell.visible = i < count;
			if (i >= count)
				continue;
			final leftOutCell = i == layout.slots.length;
			final use = leftOutCell ? null : layout.slots[i];
			final beyond = leftOutCell ? layout.slotsNeeded > layout.baseSlots : layout.isBeyondBase(i);
			final label = leftOutCell ? '+${layout.slotsLeftOut} 槽' : use == null ? "空" : use.continued ? "〃" : use.item.code;
			cell.show(cellArea.x + (i % columns) * (cellWidth + GAP), cellArea.y + Std.int(i / columns) * (cellHeight + GAP), cellWidth, cellHeight,
				leftOutCell ? null : i + 1, use, label, beyond, use != null && use.piece == selectedPiece);
		}
		moveLeft.setEnabled(canMove(-1));
		moveRight.setEnabled(canMove(1));
	}

	/** The move buttons, then the slots row by row. */
	public function focusArea():FocusArea {
		return new FocusArea(() -> {
			final shown = cells.filter(cell -> cell.visible);
			final rows:Array<Array<InteractiveObject>> = [[moveLeft, moveRight]];
			for (r in 0...ROWS)
				rows.push(cast shown.slice(r * columns, (r + 1) * columns));
			return rows;
		}, () -> cellOf(selectedPiece));
	}

	function pressed(cell:SlotCell):Void {
		select(cell);
		onPress(cell.use);
	}

	function select(cell:SlotCell):Void {
		if (!cell.isModuleStart() || cell.use.piece == selectedPiece)
			return;
		selectedPiece = cell.use.piece;
		show(layout, shownRack);
	}

	/** Moves the selected piece; the selection, and the focus if a slot had it, go with it. */
	function move(direction:Int):Void {
		if (!canMove(direction))
			return;
		final focusedSlot = stage != null && Std.isOfType(stage.focus, SlotCell);
		final piece = selectedPiece;
		selectedPiece = layout.partnerFor(piece, direction);
		onMove(piece, direction);
		final cell = cellOf(selectedPiece);
		if (focusedSlot && cell != null)
			stage.focus = cell;
	}

	function canMove(direction:Int):Bool {
		return layout != null && selectedPiece >= 0 && layout.partnerFor(selectedPiece, direction) >= 0;
	}

	function cellOf(piece:Int):Null<SlotCell> {
		for (cell in cells)
			if (cell.visible && cell.isModuleStart() && cell.use.piece == piece)
				return cell;
		return null;
	}
}
