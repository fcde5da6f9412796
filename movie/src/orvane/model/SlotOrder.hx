package orvane.model;

/**
	Where the pieces of the slot modules stand when the user has arranged them or pinned some to
	a rack. The user's order is followed as far as the modules still have pieces; pieces it
	lacks (a quantity raised, a module added, planned modules grown) join the last piece of their
	module, or the end when the module is new, unpinned; pieces it names beyond the quantities
	are left out.
**/
class SlotOrder {
	public static function arrange(order:Array<SlotPiece>, lines:Array<ModuleLine>):Array<SlotPiece> {
		final left:Map<String, Int> = [for (line in lines) line.item.code => line.quantity];
		var pieces:Array<SlotPiece> = [];
		for (piece in order) {
			final count = left[piece.item.code];
			if (count != null && count > 0) {
				pieces.push(piece);
				left[piece.item.code] = count - 1;
			}
		}
		for (line in lines) {
			final missing = [for (_ in 0...left[line.item.code]) new SlotPiece(line.item)];
			var after = pieces.length;
			while (after > 0 && pieces[after - 1].item != line.item)
				after--;
			pieces = after == 0 ? pieces.concat(missing) : pieces.slice(0, after).concat(missing).concat(pieces.slice(after));
		}
		return pieces;
	}

	/** Whether the pieces stand as the catalogue lists their modules, each module's pieces side by side, none pinned. */
	public static function isPlain(pieces:Array<SlotPiece>, catalog:Catalog):Bool {
		var position = -1;
		for (piece in pieces) {
			final index = catalog.items.indexOf(piece.item);
			if (index < position || piece.isPinned())
				return false;
			position = index;
		}
		return true;
	}

	/** The pieces as runs of one module and rack: CODE:n, or CODE:n@R pinned to rack R (the selection text's `order=`). */
	public static function write(pieces:Array<SlotPiece>):String {
		final runs:Array<String> = [];
		var i = 0;
		while (i < pieces.length) {
			var end = i + 1;
			while (end < pieces.length && pieces[end].item == pieces[i].item && pieces[end].rack == pieces[i].rack)
				end++;
			runs.push(pieces[i].item.code + ":" + (end - i) + (pieces[i].isPinned() ? "@" + pieces[i].rack : ""));
			i = end;
		}
		return runs.join(",");
	}
}
