package orvane.model;

/**
	One I/O kind by need as the screen shows it: the points required, the module the planner uses
	(marked when it is discontinued or the catalogue lacks it) and how many of it the planner adds.
**/
typedef NeedFigure = {
	kind:ModuleKind,
	required:Int,
	pick:Null<CatalogItem>,
	/** The pick's code, "ZX-DI32B ?" for one the catalogue lacks, "—" while there is none. */
	pickText:String,
	/** The pick is no longer offered (discontinued, or kept from a file though the catalogue lacks it): it is shown as a warning. */
	pickMarked:Bool,
	planned:Int
};

/**
	What selecting by I/O need shows: each kind's figures, and the line of what is kept from the
	user's own choice ("保留手选：DI 3 件、扩展基板 1 个；规划扩展基板 2 个"), which alone offers
	to give it all up to the planner.
**/
class NeedFigures {
	public final kinds:Array<NeedFigure>;
	/** What is kept from the user's choice and the racks the planner adds; "" when neither. */
	public final keptText:String;
	/** I/O modules or racks are kept from the user's choice: the line is a notice, and "全部重新规划" is offered. */
	public final keepsOwnChoice:Bool;

	/** `plannedRacks`: the expansion racks the planner adds. */
	public function new(selection:Selection, catalog:Catalog, plannedRacks:Int) {
		final planned = IoPlanner.plan(selection, catalog);
		kinds = [
			for (kind in ModuleKind.plannedIo) {
				final pick = selection.plannerPick(kind, catalog);
				final lines = planned.filter(line -> line.item.kind == kind);
				{
					kind: kind,
					required: selection.requiredPoints.of(kind),
					pick: pick,
					pickText: pick == null ? "—" : pick.code + (pick.unknown ? " ?" : ""),
					pickMarked: pick != null && !pick.isOffered(),
					planned: lines.length == 0 ? 0 : lines[lines.length - 1].quantity
				};
			}
		];
		final kept = selection.keptModules(catalog);
		final own = [
			for (kind in ModuleKind.plannedIo) {
				var pieces = 0;
				for (line in kept)
					if (line.item.kind == kind)
						pieces += line.quantity;
				if (pieces > 0) '${kind.tag} $pieces 件';
			}
		].concat(selection.racks.length > 0 ? ['扩展基板 ${selection.racks.length} 个'] : []);
		final racksAdded = plannedRacks > 0 ? '规划扩展基板 $plannedRacks 个' : "";
		keepsOwnChoice = own.length > 0;
		keptText = own.length == 0 ? racksAdded : "保留手选：" + own.join("、") + (racksAdded == "" ? "" : "；" + racksAdded);
	}
}
