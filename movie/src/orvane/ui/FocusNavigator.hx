package orvane.ui;

import flash.display.DisplayObject;
import flash.display.DisplayObjectContainer;
import flash.display.InteractiveObject;
import flash.display.Shape;
import flash.display.Stage;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.ui.Keyboard;

/**
	The keyboard's way through the screen. Tab and Shift+Tab go from area to area (the player's
	own tab order is turned off), entering each where the user left it; the arrow keys go from
	control to control inside an area: along its row, or to the next row near the same column
	(an area of one row or one column takes either pair of arrows). Hidden and disabled controls
	are skipped. The focused control, whatever kind it is, gets the same ring (the player's
	yellow rectangle is switched off; it never marked text fields). While a dialog is open,
	its area is the only one, and Tab goes from control to control through it.
**/
class FocusNavigator {
	static inline final RING_GAP = 2;

	final stage:Stage;
	final ring = new Shape();
	final areas:Array<FocusArea> = [];
	final lastFocused = new haxe.ds.ObjectMap<FocusArea, InteractiveObject>();
	var modal:Null<FocusArea>;
	var beforeModal:Null<InteractiveObject>;
	/** The control that had the focus last: the player drops the focus when the page loses the keyboard (a dialog of the host's). */
	var lastControl:Null<InteractiveObject>;
	/** Told whether a dialog is open: while one is, nothing behind it may change. */
	final onModal:Bool -> Void;

	/** `ringLayer`: where the ring is drawn, above everything it surrounds; `onModal(open)`: a dialog opened or closed. */
	public function new(stage:Stage, ringLayer:DisplayObjectContainer, onModal:Bool -> Void) {
		this.stage = stage;
		this.onModal = onModal;
		stage.stageFocusRect = false;
		ringLayer.addChild(ring);
		ring.visible = false;
		stage.addEventListener(FocusEvent.KEY_FOCUS_CHANGE, (event:FocusEvent) -> {
			event.preventDefault();
			if (event.keyCode == Keyboard.TAB)
				tab(event.shiftKey ? -1 : 1);
		});
		stage.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> {
			final arrow = Keys.arrowOf(event);
			if (arrow != null && Keys.isPlain(event))
				moveWithin(arrow.x, arrow.y);
		});
		stage.addEventListener(FocusEvent.FOCUS_IN, _ -> focusChanged());
		stage.addEventListener(FocusEvent.FOCUS_OUT, _ -> update());
	}

	/** Adds the areas in Tab order. */
	public function add(more:Array<FocusArea>):Void {
		for (area in more)
			areas.push(area);
	}

	/** Gives `area` the focus, where the user left it or at its entry. */
	public function enter(area:FocusArea):Void {
		final target = entryOf(area);
		if (target != null)
			focus(target);
	}

	public function focus(control:InteractiveObject):Void {
		stage.focus = control;
		update();
	}

	/**
		Makes `area` the only one until `closeModal`, and enters it at its entry or first control,
		never where the focus was left the last time it was open.
	**/
	public function openModal(area:FocusArea):Void {
		beforeModal = stage.focus;
		modal = area;
		lastFocused.remove(area);
		enter(area);
		onModal(true);
	}

	/** Ends the dialog's area; the focus goes back where it was before. */
	public function closeModal():Void {
		modal = null;
		onModal(false);
		final back = beforeModal;
		beforeModal = null;
		if (back != null && isUsable(back))
			focus(back);
		else
			stage.focus = null;
		update();
	}

	/**
		After the screen changed: a focused control that was hidden or disabled hands the focus to
		its nearest neighbour in its area, and the ring follows what moved.
	**/
	public function update():Void {
		final focused = stage.focus;
		if (focused != null && !isUsable(focused)) {
			final area = areaOf(focused, true);
			final neighbour = area == null ? null : nearest(area, focused);
			stage.focus = neighbour;
		}
		drawRing();
	}

	/**
		The page has the keyboard again (a dialog of the host's closed): the player dropped the
		focus when the page lost the keyboard, so it goes back to the control that had it.
	**/
	public function comeBack():Void {
		if (stage.focus == null && lastControl != null && isUsable(lastControl) && areaOf(lastControl, false) != null)
			focus(lastControl);
	}

	function focusChanged():Void {
		final focused = stage.focus;
		if (focused != null) {
			lastControl = focused;
			final area = areaOf(focused, false);
			if (area != null)
				lastFocused.set(area, focused);
		}
		drawRing();
	}

	function tab(direction:Int):Void {
		if (modal != null) {
			stepThrough(modal, direction);
			return;
		}
		final current = stage.focus == null ? null : areaOf(stage.focus, false);
		var index = current == null ? (direction > 0 ? -1 : areas.length) : areas.indexOf(current);
		for (_ in 0...areas.length) {
			index = (index + direction + areas.length) % areas.length;
			final target = entryOf(areas[index]);
			if (target != null) {
				focus(target);
				return;
			}
		}
	}

	/** A dialog is the only area: Tab goes from control to control in reading order, round and round. */
	function stepThrough(area:FocusArea, direction:Int):Void {
		final controls = [for (row in usableRows(area)) for (control in row) control];
		if (controls.length == 0)
			return;
		final at = stage.focus == null ? -1 : controls.indexOf(stage.focus);
		focus(controls[at < 0 ? (direction > 0 ? 0 : controls.length - 1) : (at + direction + controls.length) % controls.length]);
	}

	/**
		Columns are counted in the area's full rows, grey and hidden controls included, so the
		arrows keep to a column even where a row's − is grey.
	**/
	function moveWithin(dx:Int, dy:Int):Void {
		final focused = stage.focus;
		final area = focused == null ? null : areaOf(focused, false);
		if (area == null)
			return;
		var rows = area.rows();
		if (rows.length > 1 && rows.filter(r -> r.length > 1).length == 0) {
			// One column walks like one row, with either pair of arrows.
			rows = [[for (r in rows) r[0]]];
		}
		final place = placeOf(rows, focused);
		if (place == null)
			return;
		final step = rows.length == 1 && dx == 0 ? dy : dx;
		if (step != 0) {
			final row = rows[place.row];
			var at = place.column + step;
			while (at >= 0 && at < row.length && !isUsable(row[at]))
				at += step;
			if (at >= 0 && at < row.length)
				focus(row[at]);
			return;
		}
		var r = place.row + dy;
		while (r >= 0 && r < rows.length) {
			final target = closestInRow(rows[r], place.column);
			if (target != null) {
				focus(target);
				return;
			}
			r += dy;
		}
	}

	static function placeOf(rows:Array<Array<InteractiveObject>>, control:InteractiveObject):Null<{row:Int, column:Int}> {
		for (r in 0...rows.length) {
			final column = rows[r].indexOf(control);
			if (column >= 0)
				return {row: r, column: column};
		}
		return null;
	}

	/** The usable control of `row` nearest to `column`, the same column first. */
	static function closestInRow(row:Array<InteractiveObject>, column:Int):Null<InteractiveObject> {
		for (offset in 0...row.length + column + 1)
			for (c in [column - offset, column + offset])
				if (c >= 0 && c < row.length && isUsable(row[c]))
					return row[c];
		return null;
	}

	function entryOf(area:FocusArea):Null<InteractiveObject> {
		final rows = usableRows(area);
		if (rows.length == 0)
			return null;
		final candidates = [lastFocused.get(area), area.entry()];
		for (candidate in candidates)
			if (candidate != null && rows.filter(r -> r.indexOf(candidate) >= 0).length > 0)
				return candidate;
		return rows[0][0];
	}

	/** The usable control of `area` closest to `lost` (which can no longer take the focus): its own row first, then the rows around. */
	function nearest(area:FocusArea, lost:InteractiveObject):Null<InteractiveObject> {
		final rows = area.rows();
		final place = placeOf(rows, lost);
		if (place == null)
			return null;
		for (distance in 0...rows.length)
			for (r in [place.row - distance, place.row + distance])
				if (r >= 0 && r < rows.length) {
					final target = closestInRow(rows[r], place.column);
					if (target != null)
						return target;
				}
		return null;
	}

	function usableRows(area:FocusArea):Array<Array<InteractiveObject>> {
		return [
			for (row in area.rows()) {
				final usable = row.filter(isUsable);
				if (usable.length > 0) usable;
			}
		];
	}

	/** The area holding `control` (among all areas, or only those Tab can reach now). */
	function areaOf(control:InteractiveObject, anyArea:Bool):Null<FocusArea> {
		final candidates = modal != null && !anyArea ? [modal] : modal != null ? areas.concat([modal]) : areas;
		for (area in candidates)
			for (row in area.rows())
				if (row.indexOf(control) >= 0)
					return area;
		return null;
	}

	/** On the stage, shown (with every container above it) and enabled. */
	static function isUsable(control:InteractiveObject):Bool {
		if (control.stage == null || !control.tabEnabled)
			return false;
		var shown:DisplayObject = control;
		while (shown != null) {
			if (!shown.visible)
				return false;
			shown = shown.parent;
		}
		return true;
	}

	function drawRing():Void {
		final focused = stage.focus;
		ring.graphics.clear();
		ring.visible = focused != null && isUsable(focused) && areaOf(focused, true) != null;
		if (!ring.visible)
			return;
		final bounds = focused.getBounds(ring.parent);
		ring.graphics.lineStyle(2, Palette.FOCUS);
		ring.graphics.drawRoundRect(bounds.x - RING_GAP, bounds.y - RING_GAP, bounds.width + 2 * RING_GAP, bounds.height + 2 * RING_GAP, 6, 6);
		ring.parent.setChildIndex(ring, ring.parent.numChildren - 1);
	}
}
