package orvane.ui;

import orvane.model.CatalogItem;

/** A titled list of items of which at most one is chosen; the title bar's button unchooses it. */
class ChoicePanel extends Panel {
	final rows:Array<ChoiceRow> = [];
	final clear:PushButton;

	public static function heightFor(count:Int):Float {
		return Panel.TITLE_HEIGHT + 2 + count * ChoiceRow.HEIGHT + 2;
	}

	public function new(title:String, items:Array<CatalogItem>, x:Float, y:Float, width:Float, onPick:CatalogItem -> Void, onClear:() -> Void) {
		super(title, x, y, width, heightFor(items.length));
		clear = new PushButton("清除", width - 48, 3, 44, Panel.TITLE_HEIGHT - 6, onClear, 11);
		addChild(clear);
		for (i in 0...items.length) {
			final row = new ChoiceRow(items[i], Panel.TITLE_HEIGHT + 2 + i * ChoiceRow.HEIGHT, width, onPick);
			rows.push(row);
			addChild(row);
		}
	}

	/** One keyboard area: the clear button, then the rows; Tab enters at the chosen row. */
	public function focusArea():FocusArea {
		return FocusArea.column(() -> [(clear : flash.display.InteractiveObject)].concat(cast rows), () -> {
			final chosen = rows.filter(row -> row.isSelected());
			return chosen.length > 0 ? chosen[0] : null;
		});
	}

	public function showChosen(chosen:Null<CatalogItem>):Void {
		for (row in rows)
			row.setSelected(row.item == chosen);
		clear.setEnabled(chosen != null);
	}
}
