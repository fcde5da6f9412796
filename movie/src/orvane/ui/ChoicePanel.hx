package orvane.ui;

import orvane.model.CatalogItem;

/** A titled list of items of which at most one is chosen; picking the chosen item again unchooses it. */
class ChoicePanel extends Panel {
	final rows:Array<ChoiceRow> = [];

	public static function heightFor(count:Int):Float {
		return Panel.TITLE_HEIGHT + 2 + count * ChoiceRow.HEIGHT + 2;
	}

	public function new(title:String, items:Array<CatalogItem>, x:Float, y:Float, width:Float, onPick:CatalogItem -> Void) {
		super(title, x, y, width, heightFor(items.length));
		for (i in 0...items.length) {
			final row = new ChoiceRow(items[i], Panel.TITLE_HEIGHT + 2 + i * ChoiceRow.HEIGHT, width, onPick);
			rows.push(row);
			addChild(row);
		}
	}

	public function showChosen(chosen:Null<CatalogItem>):Void {
		for (row in rows)
			row.setSelected(row.item == chosen);
	}
}
