package orvane.model;

/** What the user asks of the selection on the screen, each made by `SelectionEditor.apply` as one step to undo. */
enum SelectionAction {
	/** An item of a choice list: the CPU and main base for the main rack, the others for the rack shown. */
	Choose(item:CatalogItem);
	ClearChoice(kind:ModuleKind);
	/** A module's quantity by hand (by module, or a communication module by I/O need). */
	SetQuantity(item:CatalogItem, quantity:Int);
	SetRequired(kind:ModuleKind, points:Int);
	/** The module the planner uses for its kind. */
	SetPick(item:CatalogItem);
	/** The kept I/O modules and racks given up to the planner ("全部重新规划"). */
	ReplanAll;
	/** The rack the lists, slots and totals show; changes nothing of the selection. */
	ShowRack(index:Int);
	AddRack;
	/** Removes the rack shown when it is one of the selection's own. */
	RemoveShownRack;
	/** Slot piece `index` one place to the left (-1) or right (1). */
	MoveSlotPiece(index:Int, direction:Int);
	/** Pins slot piece `index` to `rack` (or lets it go back to the automatic fill); the rack it stands in is shown. */
	PinPiece(index:Int, rack:Int);
	SetReserve(reserve:Reserve);
	/** The enclosure the controller goes in; null: none. */
	SetEnclosure(enclosure:Null<Enclosure>);
	/** The project fields by ProjectData key, as typed. */
	SetProject(values:Map<String, String>);
	SwitchMode(mode:SelectionMode);
	ApplyRemedy(remedy:Remedy);
	/** The planner plans with the catalogue's own modules where it picked one the catalogue lacks; pins past the racks go. */
	ReplaceUnknown;
	Undo;
	Redo;
}
