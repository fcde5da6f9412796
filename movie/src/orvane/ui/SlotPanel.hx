package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.events.MouseEvent;
import orvane.model.SlotLayout;
import orvane.model.SlotPiece;
import orvane.model.SlotUse;

/**
	One rack's base slot by slot, in the order the user gave the modules: which module sits in
	each slot, free slots empty, modules that do not fit in red past the base, and a module the
	catalogue lacks in its place as a cell of its own, grey and marked "不占槽". A module moved
	past a rack's first or last slot goes on to the rack before or after it (a pinned one stays
	in its rack). Clicking a module's slot selects it and calls up its row; ◀ 左移 / 右移 ▶ (or
	Shift+← / Shift+→ on a focused slot) move the selected module one place along the base;
	"移到…" (or M on a focused slot) asks for the rack it goes to and stays in. A module dragged
	with the mouse shows the racks to drop it on.
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
	final moveTo:PushButton;
	final onPress:SlotUse -> Void;
	final onMove:(Int, Int) -> Void;
	final onMoveTo:Int -> Void;
	final onPin:(Int, Int) -> Void;
	/** Shown while a module is dragged: the racks to drop it on, and its code under the mouse; made at the first drag. */
	var dropTargets:Null<Sprite>;
	final targets:Array<PushButton> = [];
	var ghost:Null<Sprite>;
	var ghostCode:Null<flash.text.TextField>;
	/** The slot the mouse button went down on, and where; a drag once it has moved. */
	var grabbed:Null<{cell:SlotCell, x:Float, y:Float}>;
	var dragging = false;
	var layout:Null<SlotLayout>;
	var shownRack = "";
	var rackCount = 1;
	var columns = MIN_COLUMNS;
	/** The piece the move buttons act on; -1: none. */
	var selectedPiece = -1;

	/**
		`onPress(use)`: a module's slot was clicked or pressed; `onMove(piece, direction)`: move that
		piece left (-1) or right (+1); `onMoveTo(piece)`: ask where that piece goes; `onPin(piece,
		rack)`: it was dropped on a rack (SlotPiece.UNPINNED: on "自动").
	**/
	public function new(x:Float, y:Float, width:Float, height:Float, onPress:SlotUse -> Void, onMove:(Int, Int) -> Void, onMoveTo:Int -> Void,
			onPin:(Int, Int) -> Void) {
		super("基板槽位", x, y, width, height);
		this.onPress = onPress;
		this.onMove = onMove;
		this.onMoveTo = onMoveTo;
		this.onPin = onPin;
		cellArea = {x: 6.0, y: Panel.TITLE_HEIGHT + 6.0, width: width - 12, height: height - Panel.TITLE_HEIGHT - 12};
		moveTo = new PushButton("移到…", width - 176, 3, 54, Panel.TITLE_HEIGHT - 6, () -> if (selectedPiece >= 0) onMoveTo(selectedPiece), 11);
		moveLeft = new PushButton("◀ 左移", width - 118, 3, 54, Panel.TITLE_HEIGHT - 6, () -> move(-1), 11);
		moveRight = new PushButton("右移 ▶", width - 60, 3, 54, Panel.TITLE_HEIGHT - 6, () -> move(1), 11);
		addChild(moveTo);
		addChild(moveLeft);
		addChild(moveRight);
		hint = TextFactory.label("选择基板后，这里显示每个槽位安装的模块", 8, Panel.TITLE_HEIGHT + 8, width - 16, 12, Palette.TEXT_DIM);
		addChild(hint);
	}

	function makeDragView():Void {
		final targetsView = new Sprite();
		targetsView.graphics.beginFill(0xFFFFFF, 0.92);
		targetsView.graphics.lineStyle(1, Palette.ACCENT);
		targetsView.graphics.drawRect(cellArea.x, cellArea.y, cellArea.width, cellArea.height);
		targetsView.graphics.endFill();
		targetsView.addChild(TextFactory.label("拖到要固定的基板上（“自动”：不固定）", cellArea.x + 6, cellArea.y + 6, cellArea.width - 12, 12, Palette.TEXT));
		final code = TextFactory.label("", 4, 1, 80, 11, Palette.TEXT_LIGHT);
		final follower = new Sprite();
		follower.graphics.beginFill(Palette.ACCENT, 0.85);
		follower.graphics.drawRoundRect(0, 0, 88, 18, 6, 6);
		follower.graphics.endFill();
		follower.addChild(code);
		follower.mouseEnabled = follower.mouseChildren = false;
		addChild(targetsView);
		addChild(follower);
		dropTargets = targetsView;
		ghost = follower;
		ghostCode = code;
		showTargets(rackCount);
	}

	/** `rackLabel`: the rack shown ("主基板", "扩展基板 1"); `racks`: how many there are, the main one included. */
	public function show(newLayout:SlotLayout, rackLabel:String, racks:Int):Void {
		layout = newLayout;
		shownRack = rackLabel;
		rackCount = racks;
		setTitle("基板槽位：" + rackLabel);
		if (dropTargets != null)
			showTargets(racks);
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
			}, cell -> {
				select(cell);
				onMoveTo(cell.use.piece);
			}, grab);
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
				leftOutCell ? "" : layout.slotNumber(i) == null ? "不占槽" : Std.string(layout.slotNumber(i)), use, label, beyond,
				use != null && use.piece == selectedPiece);
		}
		moveLeft.setEnabled(canMove(-1));
		moveRight.setEnabled(canMove(1));
		moveTo.setEnabled(selectedPiece >= 0);
	}

	/** One drop target per rack ("主", "扩1", …) and "自动", in a row under the hint. */
	function showTargets(racks:Int):Void {
		while (targets.length < racks + 1) {
			final target = new PushButton("", 0, cellArea.y + 28, 32, 26, () -> {}, 12);
			target.tabEnabled = false;
			targets.push(target);
			dropTargets.addChild(target);
		}
		for (i in 0...targets.length) {
			final auto = i == racks;
			targets[i].visible = i <= racks;
			targets[i].setText(auto ? "自动" : RackPanel.tabLabel(i));
			targets[i].x = cellArea.x + 6 + i * 36;
		}
	}

	function grab(cell:SlotCell):Void {
		if (stage == null)
			return;
		grabbed = {cell: cell, x: stage.mouseX, y: stage.mouseY};
		stage.addEventListener(MouseEvent.MOUSE_MOVE, drag);
		stage.addEventListener(MouseEvent.MOUSE_UP, drop);
	}

	/** A few pixels from where the button went down the drag begins: the racks to drop on show, and the module's code follows the mouse. */
	function drag(event:MouseEvent):Void {
		if (grabbed == null)
			return;
		if (!dragging && Math.abs(event.stageX - grabbed.x) + Math.abs(event.stageY - grabbed.y) > 6) {
			dragging = true;
			if (dropTargets == null)
				makeDragView();
			select(grabbed.cell);
			ghostCode.text = grabbed.cell.use.item.code;
			dropTargets.visible = ghost.visible = true;
			setChildIndex(dropTargets, numChildren - 1);
			setChildIndex(ghost, numChildren - 1);
		}
		if (dragging) {
			ghost.x = mouseX + 8;
			ghost.y = mouseY + 8;
		}
	}

	function drop(event:MouseEvent):Void {
		stage.removeEventListener(MouseEvent.MOUSE_MOVE, drag);
		stage.removeEventListener(MouseEvent.MOUSE_UP, drop);
		final piece = grabbed == null ? -1 : grabbed.cell.use.piece;
		final wasDragging = dragging;
		grabbed = null;
		dragging = false;
		if (!wasDragging || piece < 0)
			return;
		dropTargets.visible = ghost.visible = false;
		final visibleTargets = targets.filter(t -> t.visible);
		for (i in 0...visibleTargets.length)
			if (visibleTargets[i].hitTestPoint(event.stageX, event.stageY))
				onPin(piece, i == visibleTargets.length - 1 ? SlotPiece.UNPINNED : i);
	}

	/** The move buttons, then the slots row by row. */
	public function focusArea():FocusArea {
		return new FocusArea(() -> {
			final shown = cells.filter(cell -> cell.visible);
			final rows:Array<Array<InteractiveObject>> = [[moveTo, moveLeft, moveRight]];
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
		show(layout, shownRack, rackCount);
	}

	/** Makes piece `index` the one the move buttons act on (it was taken to another rack, which is shown next). */
	public function selectPiece(index:Int):Void {
		selectedPiece = index;
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
