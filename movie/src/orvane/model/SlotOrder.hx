package orvane.model;

/**
	Where the pieces of the slot modules stand in the base when the user has arranged them.
	The user's order is followed as far as the modules still have pieces; pieces it lacks (a
	quantity raised, a module added, planned modules grown) join the last piece of their module,
	or the end when the module is new; pieces it names beyond the quantities are left out.
**/
class SlotOrder {
	public static function arrange(order:Array<CatalogItem>, lines:Array<ModuleLine>):Array<CatalogItem> {
		final left:Map<String, Int> = [for (line in lines) line.item.code => line.quantity];
		var pieces:Array<CatalogItem> = [];
		for (item in order) {
			final count = left[item.code];
			if (count != null && count > 0) {
				pieces.push(item);
				left[item.code] = count - 1;
			}
		}
		for (line in lines) {
			final missing = [for (_ in 0...left[line.item.code]) line.item];
			final after = pieces.lastIndexOf(line.item) + 1;
			pieces = after == 0 ? pieces.concat(missing) : pieces.slice(0, after).concat(missing).concat(pieces.slice(after));
		}
		return pieces;
	}

	/** Whether the pieces stand as the catalogue lists their modules, each module's pieces side by side. */
	public static function isCatalogueOrder(pieces:Array<CatalogItem>, catalog:Catalog):Bool {
		var position = -1;
		for (piece in pieces) {
			final index = catalog.items.indexOf(piece);
			if (index < position)
				return false;
			position = index;
		}
		return true;
	}

	/** The pieces as runs of one module: CODE:n,CODE:n (the selection text's `order=`). */
	public static function write(pieces:Array<CatalogItem>):String {
		final runs:Array<String> = [];
		var i = 0;
		while (i < pieces.length) {
			var end = i + 1;
			while (end < pieces.length && pieces[end] == pieces[i])
				end++;
			runs.push(pieces[i].code + ":" + (end - i));
			i = end;
		}
		return runs.join(",");
	}
}
