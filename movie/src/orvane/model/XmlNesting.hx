package orvane.model;

/**
	How deeply the elements of an XML text nest, found without parsing it. The XML reader descends
	one level of recursion per element level, and the player dies of a stack overflow long before
	a text of 1 MiB runs out of levels, so a text is measured before it is read. Comments, CDATA,
	declarations and quoted attribute values are stepped over; the scan is linear in the text.
**/
class XmlNesting {
	final text:String;
	/** Where each of '>', '"' and "'" next occurs at or after the scan position (-1: nowhere). */
	final nextFound:Map<String, Int> = [];

	/** Whether elements nest deeper than `limit` levels somewhere in `text`. */
	public static function exceeds(text:String, limit:Int):Bool {
		return new XmlNesting(text).deeperThan(limit);
	}

	function new(text:String) {
		this.text = text;
	}

	function deeperThan(limit:Int):Bool {
		var depth = 0;
		var at = text.indexOf("<");
		while (at >= 0) {
			final end = if (text.substr(at, 4) == "<!--") endOf("-->", at + 4)
				else if (text.substr(at, 9) == "<![CDATA[") endOf("]]>", at + 9)
				else if (text.charAt(at + 1) == "?") endOf("?>", at + 2)
				else tagEnd(at);
			if (end < 0)
				return false; // unterminated: the reader refuses it without descending
			final isTag = text.charAt(at + 1) != "!" && text.charAt(at + 1) != "?";
			if (isTag && text.charAt(at + 1) == "/")
				depth--;
			else if (isTag && text.charAt(end - 1) != "/" && ++depth > limit)
				return true;
			at = text.indexOf("<", end);
		}
		return false;
	}

	/** The index just past `terminator`, searched from `from`; -1 when it never comes. */
	function endOf(terminator:String, from:Int):Int {
		final found = text.indexOf(terminator, from);
		return found < 0 ? -1 : found + terminator.length - 1;
	}

	/** The index of the '>' that closes the tag starting at `start`, skipping quoted values; -1 when there is none. */
	function tagEnd(start:Int):Int {
		var from = start + 1;
		while (true) {
			final close = next(">", from);
			final doubleQuote = next('"', from);
			final singleQuote = next("'", from);
			final quote = doubleQuote < 0 ? singleQuote : singleQuote < 0 ? doubleQuote : Std.int(Math.min(doubleQuote, singleQuote));
			if (close < 0 || quote < 0 || close < quote)
				return close;
			final quoteEnd = next(text.charAt(quote), quote + 1);
			if (quoteEnd < 0)
				return -1;
			from = quoteEnd + 1;
		}
	}

	/**
		The next `character` at or after `from`. Positions only grow during a scan, so a position
		found earlier stays good until the scan passes it: each character is searched for once
		per occurrence instead of once per tag.
	**/
	function next(character:String, from:Int):Int {
		final known = nextFound[character];
		if (known != null && (known < 0 || known >= from))
			return known;
		final found = text.indexOf(character, from);
		nextFound[character] = found;
		return found;
	}
}
