package orvane.model;

/** How the I/O modules of a selection are chosen; the value is written to the selection text. */
enum abstract SelectionMode(String) to String {
	/** The user sets every module quantity. */
	var ByModule = "module";
	/** The user enters required I/O points and the planner derives the I/O module quantities. */
	var ByIoNeed = "io";

	public static function fromString(text:String):Null<SelectionMode> {
		return switch (text) {
			case "module": ByModule;
			case "io": ByIoNeed;
			default: null;
		}
	}
}
