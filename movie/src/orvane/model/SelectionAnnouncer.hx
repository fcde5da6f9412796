package orvane.model;

/**
	Tells the host the selection text after each change the user makes, so the host always holds
	the latest one without asking the movie for it. A text is sent only when it differs from the
	last one the host has: the last one sent, or the one the host itself gave the movie.
**/
class SelectionAnnouncer {
	final send:String -> Void;
	var hostText = "";

	public function new(send:String -> Void) {
		this.send = send;
	}

	/** The selection after a change by the user: sent unless the host already has this text. */
	public function offer(text:String):Void {
		if (text == hostText)
			return;
		hostText = text;
		send(text);
	}

	/** The host set the selection itself (zLoad, zNewOpen), so it knows this text. */
	public function hostKnows(text:String):Void {
		hostText = text;
	}
}
