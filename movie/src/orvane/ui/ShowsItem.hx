package orvane.ui;

import orvane.model.CatalogItem;

/** A control that stands for a catalogue item (a row, a slot): pointing at it or focusing it shows the item in the details line. */
interface ShowsItem {
	function shownItem():Null<CatalogItem>;
}
