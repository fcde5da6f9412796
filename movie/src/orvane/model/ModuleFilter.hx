package orvane.model;

using StringTools;

/**
	What the user types to find a module: words separated by blanks, each of which must occur in
	the module's code or description (Latin letters in either case, Chinese as typed).
**/
class ModuleFilter {
	final words:Array<String>;

	public function new(query:String) {
		words = [for (word in ~/\s+/g.split(query.trim().toLowerCase())) if (word != "") word];
	}

	public function isEmpty():Bool {
		return words.length == 0;
	}

	public function matches(item:CatalogItem):Bool {
		final text = (item.code + " " + item.description).toLowerCase();
		for (word in words)
			if (text.indexOf(word) < 0)
				return false;
		return true;
	}
}
