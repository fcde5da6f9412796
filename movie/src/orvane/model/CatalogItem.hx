package orvane.model;

/** One orderable product of the catalogue. Currents are in mA. */
class CatalogItem {
	public final code:String;
	public final kind:ModuleKind;
	public final description:String;
	/** I/O points the item provides (CPU: built-in points). */
	public final points:IoPoints;
	/** Modules: I/O slots occupied. Bases: I/O slots provided. Otherwise 0. */
	public final slots:Int;
	public final draw5V:Int;
	public final draw24V:Int;
	/** Power supplies: output capacity. */
	public final supply5V:Int;
	public final supply24V:Int;
	/** CPUs: the largest number of I/O points the CPU can handle. */
	public final maxIoPoints:Int;
	/** I/O modules: the planner's first choice for its kind; expansion parts: the one added to each rack. */
	public final preferredForPlanning:Bool;
	/** What a buyer orders it by; "" when the catalogue gives none (format 1). */
	public final orderNumber:String;
	/** List price in fen (0.01 of the catalogue's currency); null when it has none. */
	public final price:Null<Int>;
	/** CPUs: how many bases it drives, the main base included (1: no expansion racks). */
	public final maxBases:Int;
	/** What is ordered with each piece of it (format 2 `accessories`): accessory items and how many of each. */
	public final accessories:Array<ModuleLine> = [];
	/** Discontinued (停产): the catalogue still lists it and names its successor (`replacement`). */
	public final discontinued:Bool;
	/** The code of the item that replaces it, when the catalogue names one. */
	public final replacement:Null<String>;
	/**
		The catalogue in use does not have it at all: a selection named it (CatalogItem.gone). It has
		no figures, takes no slot and is counted in no budget.
	**/
	public final unknown:Bool;
	/** Rail width and power loss (format 3); unknown otherwise. */
	public final figures:ItemFigures;

	public function new(code, kind, description, points, slots, draw5V, draw24V, supply5V, supply24V, maxIoPoints, preferredForPlanning,
			orderNumber = "", ?price:Int, maxBases = 1, ?replacement:String, gone = false, ?figures:ItemFigures) {
		this.code = code;
		this.kind = kind;
		this.description = description;
		this.points = points;
		this.slots = slots;
		this.draw5V = draw5V;
		this.draw24V = draw24V;
		this.supply5V = supply5V;
		this.supply24V = supply24V;
		this.maxIoPoints = maxIoPoints;
		this.preferredForPlanning = preferredForPlanning;
		this.orderNumber = orderNumber;
		this.price = price;
		this.maxBases = maxBases;
		this.replacement = replacement;
		unknown = gone;
		this.figures = figures == null ? ItemFigures.UNKNOWN : figures;
		discontinued = replacement != null;
	}

	/**
		An item a selection names that the catalogue in use does not have: kept, with its code and
		kind alone (no figures, no price, no slot), so the selection still loads as it was.
	**/
	public static function gone(code:String, kind:ModuleKind):CatalogItem {
		return new CatalogItem(code, kind, "", new IoPoints(), 0, 0, 0, 0, 0, 0, false, "", null, 1, null, true);
	}

	/** Whether the planner and the remedies may propose it: the catalogue has it and names no successor. */
	public function isOffered():Bool {
		return !unknown && !discontinued;
	}

	/** "【目录中未知】" for an item the catalogue lacks, "【停产，替代型号 ZX-DI16B】" for a discontinued one, "" for any other. */
	public function mark():String {
		return unknown ? UNKNOWN_MARK : discontinued ? '【停产，替代型号 $replacement】' : "";
	}

	public static inline final UNKNOWN_MARK = "【目录中未知】";

	/** The description as lists, the bill and the details line show it, marked. */
	public function shownDescription():String {
		return mark() + description;
	}

	/** Points of the item's own I/O kind (16 for a 16-point input module). */
	public function pointsOfOwnKind():Int {
		return points.of(kind);
	}
}
