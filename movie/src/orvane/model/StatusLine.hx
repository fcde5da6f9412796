package orvane.model;

/** How a status message reads: a plain note, something to notice, or an action that failed. */
enum abstract StatusKind(Int) {
	var Note;
	var Notice;
	var Failure;
}

/**
	The message of an action under the screen. A failure is about an earlier action (a file the
	movie could not read), so it goes once the user changes the selection; notices stay until
	replaced. What holds of the selection itself (the open's notices, the limits) is worked out
	afresh for every screen (ScreenState), so it goes when its cause goes.
**/
class StatusLine {
	public var text(default, null) = "";
	public var kind(default, null) = Note;

	public function new() {}

	public function show(newText:String, newKind:StatusKind):Void {
		text = newText;
		kind = newKind;
	}

	public function clear():Void {
		show("", Note);
	}

	public function selectionChanged():Void {
		if (kind == Failure)
			clear();
	}
}
