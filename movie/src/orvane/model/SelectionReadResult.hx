package orvane.model;

/**
	A selection read from text, the catalogue it uses (the one in use and the items it named that
	the catalogue no longer has), and the codes it named that were left out (of another kind than
	their place asks for, or a planner's pick the catalogue no longer has).
**/
class SelectionReadResult {
	public final selection:Selection;
	public final catalog:Catalog;
	public final droppedCodes:Array<String>;
	/** The selection as it was read, written again: while the selection is still this, the codes left out are what it lacks. */
	final textAsRead:String;

	public function new(selection:Selection, catalog:Catalog, droppedCodes:Array<String>) {
		this.selection = selection;
		this.catalog = catalog;
		this.droppedCodes = droppedCodes;
		textAsRead = SelectionFormat.write(selection, catalog);
	}

	/** The items the selection read names that the catalogue in use does not have at all, kept as they were. */
	public function unknownItems():Array<CatalogItem> {
		return catalog.items.filter(item -> item.unknown);
	}

	/**
		What the user is told of the selection read, as far as it still holds for `current` (the
		selection read, or what the user made of it since): the discontinued items it orders (kept,
		with their successor), the items the catalogue in use lacks that it still names (kept, marked
		and counted in no budget), the codes left out while it is still the selection read, and the
		edition it was saved with while that is not the catalogue's in use; null when there is
		nothing to tell. Each part goes when its cause goes. `plan`: the plan of `current` when at
		hand, so that it is not worked out again.
	**/
	public function notice(?current:Selection, ?plan:SystemPlan):Null<String> {
		final now = current == null ? selection : current;
		final parts:Array<String> = [];
		final ordered = PurchaseList.lines(now, catalog, current == null ? null : plan).filter(line -> line.item.kind != Accessory);
		final discontinued = [
			for (line in ordered) if (line.item.discontinued) line.item.code + '（替代型号 ${line.item.replacement}）'
		];
		if (discontinued.length > 0)
			parts.push("已停产，保留并标为停产：" + discontinued.join("、"));
		final unknown = [for (line in ordered) if (line.item.unknown) line.item.code];
		for (pick in now.unknownPicks())
			if (unknown.indexOf(pick.code) < 0)
				unknown.push(pick.code);
		if (unknown.length > 0)
			parts.push('现用产品目录中没有的 ${unknown.length} 项保留原样，不计入任何预算：' + unknown.join("、"));
		if (droppedCodes.length > 0 && SelectionFormat.write(now, catalog) == textAsRead)
			parts.push("以下型号不在当前产品目录中，已忽略：" + droppedCodes.join("、"));
		if (now.edition != null && catalog.edition != null && now.edition != catalog.edition)
			parts.push('此选型按产品目录 ${now.edition} 版保存，价格按现用的 ${catalog.edition} 版');
		return parts.length == 0 ? null : parts.join("；");
	}
}
