package orvane.ui;

import flash.display.InteractiveObject;
import flash.events.Event;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleFilter;
import orvane.model.ModuleKind;
import orvane.model.ScreenState;

/**
	Selection by module: one tab per module category, each module with a quantity stepper, and a
	field that finds modules by code or description across the tabs (a tab with none of them
	greys). A list longer than the panel scrolls with the wheel and with the arrow keys at its
	ends.
**/
class ModulePanel extends Panel {
	static inline final ROW_HEIGHT = 40;
	static inline final ROWS_TOP = 58;
	static inline final FILTER_LEFT = 118;

	final tabs:Array<PushButton> = [];
	final rowsByKind:Map<String, Array<ModuleRow>> = [];
	final filterField:TextField;
	final nothingFound:TextField;
	final rowsShown:Int;
	var shownKind:ModuleKind = DigitalIn;
	var filter = new ModuleFilter("");
	var firstShown = 0;

	public function new(catalog:Catalog, x:Float, y:Float, width:Float, height:Float, onQuantity:(CatalogItem, Int, Null<String>) -> Void) {
		super("按模块选型", x, y, width, height);
		rowsShown = Std.int((height - ROWS_TOP) / ROW_HEIGHT);
		addChild(TextFactory.label("查找", FILTER_LEFT - 30, 4, 30, 12, Palette.TEXT_DIM));
		filterField = TextFactory.textInput(FILTER_LEFT, 3, width - FILTER_LEFT - 6, 18, 12);
		filterField.tabEnabled = true;
		TypingGuard.protect(filterField);
		filterField.addEventListener(Event.CHANGE, _ -> {
			FontSupply.textShown(filterField, filterField.text);
			applyFilter(filterField.text);
		});
		addChild(filterField);
		final kinds = ModuleKind.slotModules;
		final tabWidth = (width - 12 - 4 * (kinds.length - 1)) / kinds.length;
		for (i in 0...kinds.length) {
			final kind = kinds[i];
			tabs.push(new PushButton(shortLabel(kind), 6 + i * (tabWidth + 4), Panel.TITLE_HEIGHT + 5, tabWidth, 24, () -> showKind(kind), 12));
			addChild(tabs[i]);
		}
		for (kind in kinds) {
			final rows = [for (item in catalog.ofKind(kind)) new ModuleRow(item, ROWS_TOP, width, ROW_HEIGHT, true, onQuantity)];
			rowsByKind[kind] = rows;
			for (row in rows)
				addChild(row);
		}
		nothingFound = TextFactory.label("", 8, ROWS_TOP + 8, width - 16, 12, Palette.TEXT_DIM, TextFormatAlign.CENTER);
		addChild(nothingFound);
		addEventListener(MouseEvent.MOUSE_WHEEL, (event:MouseEvent) -> if (event.delta != 0 && !Std.isOfType(event.target, TextField)) scrollBy(event.delta > 0 ? -1 : 1));
		addEventListener(KeyboardEvent.KEY_DOWN, scrollAtTheEnds);
		showKind(DigitalIn);
	}

	public function showQuantities(state:ScreenState):Void {
		for (rows in rowsByKind)
			for (row in rows)
				row.showQuantity(state.quantityOf(row.item));
	}

	/** The filter field, the tabs and the shown list, one keyboard area each. */
	public function focusAreas():Array<FocusArea> {
		return [
			FocusArea.row(() -> [filterField]),
			new FocusArea(() -> [cast tabs.copy()], () -> tabs[ModuleKind.slotModules.indexOf(shownKind)]),
			new FocusArea(() -> [for (row in rowsByKind[shownKind]) row.controls()])
		];
	}

	/** Brings the module's row into view (its tab, past the filter if need be) and returns its quantity field. */
	public function reveal(item:CatalogItem):Null<InteractiveObject> {
		final rows = rowsByKind[item.kind];
		final row = rows == null ? null : rows.filter(r -> r.item == item)[0];
		if (row == null)
			return null;
		if (!filter.matches(item)) {
			filterField.text = "";
			applyFilter("");
		}
		showKind(item.kind);
		final at = matchingRows().indexOf(row);
		if (at >= firstShown + rowsShown || at < firstShown)
			scrollBy(at - firstShown - (at < firstShown ? 0 : rowsShown - 1));
		return row.quantityField();
	}

	function applyFilter(text:String):Void {
		filter = new ModuleFilter(text);
		final kinds = ModuleKind.slotModules;
		for (i in 0...kinds.length)
			tabs[i].setEnabled(rowsByKind[kinds[i]].filter(row -> filter.matches(row.item)).length > 0);
		var kind = shownKind;
		if (!tabs[kinds.indexOf(kind)].isEnabled())
			for (i in 0...kinds.length)
				if (tabs[i].isEnabled()) {
					kind = kinds[i];
					break;
				}
		showKind(kind);
	}

	function showKind(kind:ModuleKind):Void {
		shownKind = kind;
		firstShown = 0;
		final kinds = ModuleKind.slotModules;
		for (i in 0...kinds.length)
			tabs[i].setSelected(kinds[i] == kind);
		layoutRows();
	}

	function matchingRows():Array<ModuleRow> {
		return rowsByKind[shownKind].filter(row -> filter.matches(row.item));
	}

	function layoutRows():Void {
		for (rows in rowsByKind)
			for (row in rows)
				row.visible = false;
		final matching = matchingRows();
		for (i in firstShown...Std.int(Math.min(matching.length, firstShown + rowsShown))) {
			matching[i].visible = true;
			matching[i].y = ROWS_TOP + (i - firstShown) * ROW_HEIGHT;
		}
		nothingFound.text = matching.length > 0 ? "" : filter.isEmpty() ? "目录中没有此类模块" : '没有符合“${StringTools.trim(filterField.text)}”的模块';
	}

	function scrollBy(rows:Int):Void {
		final last = Std.int(Math.max(0, matchingRows().length - rowsShown));
		final first = Std.int(Math.max(0, Math.min(last, firstShown + rows)));
		if (first != firstShown) {
			firstShown = first;
			layoutRows();
		}
	}

	/** Up on the first row shown or down on the last brings the next row in, before the arrow moves the focus onto it. */
	function scrollAtTheEnds(event:KeyboardEvent):Void {
		final arrow = Keys.arrowOf(event);
		if (arrow == null || arrow.y == 0 || !Keys.isPlain(event))
			return;
		final matching = matchingRows();
		for (i in 0...matching.length)
			if (matching[i].contains(stage.focus)) {
				if ((arrow.y < 0 && i == firstShown) || (arrow.y > 0 && i == firstShown + rowsShown - 1))
					scrollBy(arrow.y);
				return;
			}
	}

	static function shortLabel(kind:ModuleKind):String {
		return switch (kind) {
			case DigitalIn: "数字输入";
			case DigitalOut: "数字输出";
			case AnalogIn: "模拟输入";
			case AnalogOut: "模拟输出";
			default: "通信";
		}
	}
}
