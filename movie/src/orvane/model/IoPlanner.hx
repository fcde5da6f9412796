package orvane.model;

/**
	Proposes I/O module quantities that cover the required points beyond what the CPU has built in
	and what the kept modules give. A pick the catalogue in use does not have (a selection saved
	with another edition) has no figures to plan with: its modules stay as many as the selection
	read placed (its pieces in the slot order), whatever the need.
**/
class IoPlanner {
	public static function plan(selection:Selection, catalog:Catalog):Array<ModuleLine> {
		final lines:Array<ModuleLine> = [];
		for (kind in ModuleKind.plannedIo) {
			final module = selection.plannerPick(kind, catalog);
			final builtIn = selection.cpu == null ? 0 : selection.cpu.points.of(kind);
			final missing = selection.requiredPoints.of(kind) - builtIn - selection.keptPoints(kind, catalog);
			if (module != null && module.unknown) {
				final placed = selection.orderedPiecesOf(module);
				if (placed > 0)
					lines.push(new ModuleLine(module, placed));
				continue;
			}
			if (module == null || missing <= 0)
				continue;
			final perModule = module.pointsOfOwnKind();
			lines.push(new ModuleLine(module, Std.int((missing + perModule - 1) / perModule)));
		}
		return lines;
	}
}
