package orvane.model;

/** A selection read from text, with the item codes it named that the catalogue no longer offers. */
class SelectionReadResult {
	public final selection:Selection;
	public final droppedCodes:Array<String>;

	public function new(selection:Selection, droppedCodes:Array<String>) {
		this.selection = selection;
		this.droppedCodes = droppedCodes;
	}
}
