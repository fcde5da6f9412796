package orvane.model;

using StringTools;

/**
	The selection as one text, ASCII only, lines separated by LF, in a fixed order:

	TZSEL/1                     (TZSEL/2, /3, /4 or /5 when the selection holds what an earlier version cannot say)
	mode=module|io
	edition=EDITION             (version 4: the catalogue edition the selection was last changed with)
	name=TEXT                   (version 3: project name, customer, author, note, each only when set,
	customer=TEXT                as PercentText)
	author=TEXT
	note=TEXT
	cpu=CODE                    (each of cpu, power, base only when chosen)
	power=CODE
	base=CODE
	rack=BASE/POWER             (version 3: each expansion rack in order; a code is empty while not chosen)
	reserve=slots:n,5V:n,24V:n,points:n   (version 4: the reserve in percent, 0..50, when one is set)
	cabinet=W,H,D,MOUNT,MATERIAL,AMBIENT,INSIDE   (version 5: the enclosure, when one is entered: Enclosure.write)
	need=DI:n,DO:n,AI:n,AO:n    (mode io only: required points)
	pick=DI:CODE,DO:CODE,...    (mode io only: module the planner uses per kind)
	qty=CODE:n                  (hand-set quantities, catalogue order, n 1..999)
	order=CODE:n,CODE:n,...     (version 2: the modules in the base from slot 1, as runs of pieces;
	                             version 4: CODE:n@R, pieces pinned to rack R, 0 the main one)

	Version 5 is written only for a selection with an enclosure (a program that reads up to version
	4 refuses it as a later version; it knows no `cabinet` line); version 4 only for a selection with a reserve or pinned pieces (and only version 4
	says the edition, so that no selection needs a later version for it alone); version 3 only for
	one with expansion racks of its own or project data; version 2
	only for one with a slot order of the user's, or with I/O modules kept by I/O need (their
	`qty` lines); everything else is written as version 1, so a version 1 or 2 text still saves
	back byte for byte. The racks the planner adds by I/O need are not written: they follow from
	the rest. An item the catalogue no longer has is kept (Catalog.keepGone) and written back in
	its place. An empty selection is the empty text, so an
	untouched movie has nothing to save. Writing the same selection always gives the same text,
	and reading a written text back gives a selection that writes the identical text.
**/
class SelectionFormat {
	public static inline final HEADER = "TZSEL/1";
	public static inline final HEADER_2 = "TZSEL/2";
	public static inline final HEADER_3 = "TZSEL/3";
	public static inline final HEADER_4 = "TZSEL/4";
	public static inline final HEADER_5 = "TZSEL/5";
	static inline final HEADER_FAMILY = "TZSEL/";
	static inline final MAX_TEXT_LENGTH = 65536;
	/** More pieces than any selection can hold (quantities and planned modules have limits); a longer order is damaged. */
	static inline final MAX_ORDER_PIECES = 100000;
	static inline final BYTE_ORDER_MARK = "\u{FEFF}";
	static final countPattern = ~/^[0-9]{1,4}$/;
	static final rackPattern = ~/^[0-7]$/;
	/** An item code as the catalogue allows it: only such a code is kept when the catalogue no longer has it. */
	static final codePattern = ~/^[A-Za-z0-9][A-Za-z0-9._-]{0,23}$/;
	static final versionPattern = ~/^TZSEL\/[1-9][0-9]*$/;
	/** A header named in a refusal is cut to this length. */
	static inline final SHOWN_HEADER_LENGTH = 40;

	public static function write(selection:Selection, catalog:Catalog):String {
		if (selection.isEmpty())
			return "";
		final ownOrder = selection.hasOwnSlotOrder(catalog);
		final pieces = ownOrder ? selection.slotPieces(catalog) : [];
		final keeps = selection.keptModules(catalog).length > 0;
		final version5 = selection.enclosure != null;
		final version4 = version5 || !selection.reserve.isNone() || pieces.filter(piece -> piece.isPinned()).length > 0;
		final version3 = selection.racks.length > 0 || !selection.project.isEmpty();
		final header = version5 ? HEADER_5 : version4 ? HEADER_4 : version3 ? HEADER_3 : ownOrder || keeps ? HEADER_2 : HEADER;
		final lines = [header, "mode=" + selection.mode];
		if (version4 && selection.edition != null)
			lines.push("edition=" + selection.edition);
		for (field in ProjectData.fields)
			if (selection.project.get(field.key) != "")
				lines.push(field.key + "=" + PercentText.encode(selection.project.get(field.key)));
		for (entry in [{key: "cpu", item: selection.cpu}, {key: "power", item: selection.power}, {key: "base", item: selection.base}])
			if (entry.item != null)
				lines.push(entry.key + "=" + entry.item.code);
		for (rack in selection.racks)
			lines.push("rack=" + (rack.base == null ? "" : rack.base.code) + "/" + (rack.power == null ? "" : rack.power.code));
		if (!selection.reserve.isNone())
			lines.push("reserve=" + selection.reserve.write());
		if (version5)
			lines.push("cabinet=" + selection.enclosure.write());
		if (selection.mode == ByIoNeed) {
			lines.push("need=" + [for (kind in ModuleKind.plannedIo) kind.tag + ":" + selection.requiredPoints.of(kind)].join(","));
			final picks = [
				for (kind in ModuleKind.plannedIo) {
					final pick = selection.plannerPick(kind, catalog);
					if (pick != null) kind.tag + ":" + pick.code;
				}
			];
			if (picks.length > 0)
				lines.push("pick=" + picks.join(","));
		}
		for (item in catalog.items) {
			final quantity = selection.quantityOf(item);
			if (quantity > 0)
				lines.push("qty=" + item.code + ":" + quantity);
		}
		if (ownOrder)
			lines.push("order=" + SlotOrder.write(pieces));
		return lines.join("\n");
	}

	/** Reads a text that `write` produced (a text editor's byte-order mark before it is ignored); anything else is refused with the reason. */
	public static function read(given:Null<String>, inUse:Catalog):ParseResult<SelectionReadResult> {
		final selection = new Selection();
		final dropped:Array<String> = [];
		if (given == null || given.length == 0)
			return ParseResult.success(new SelectionReadResult(selection, inUse, dropped));
		final catalog = inUse.copy();
		final text = given.startsWith(BYTE_ORDER_MARK) ? given.substr(BYTE_ORDER_MARK.length) : given;
		final header = firstLine(text);
		final version = [HEADER, HEADER_2, HEADER_3, HEADER_4, HEADER_5].indexOf(header) + 1;
		if (version == 0)
			return ParseResult.failure(headerProblem(header));
		if (text.length > MAX_TEXT_LENGTH)
			return ParseResult.failure("选型数据过长");
		final read = SelectionLines.read(text, version);
		if (read.value == null)
			return ParseResult.failure(read.error);
		final lines = read.value;
		final error = firstError([
			() -> readMode(lines.get("mode"), lines, selection),
			() -> readEdition(lines.get("edition"), selection),
			() -> readChoices(lines, selection, catalog, dropped),
			() -> readProject(lines, selection),
			() -> readRacks(lines.all("rack"), selection, catalog, dropped),
			() -> readReserve(lines.get("reserve"), selection),
			() -> readEnclosure(lines.get("cabinet"), selection),
			() -> selection.mode == ByIoNeed ? readNeed(lines.get("need"), selection) : null,
			() -> selection.mode == ByIoNeed ? readPicks(lines.get("pick"), selection, catalog, dropped) : null,
			() -> readQuantities(lines.all("qty"), selection, catalog, dropped, version >= 2),
			() -> lines.get("order") != null ? readOrder(lines.get("order"), selection, catalog, dropped, version >= 4) : null
		]);
		return error != null ? ParseResult.failure(error) : ParseResult.success(new SelectionReadResult(selection, catalog, dropped));
	}

	static function firstLine(text:String):String {
		final end = text.indexOf("\n");
		final line = end < 0 ? text : text.substr(0, end);
		return line.endsWith("\r") ? line.substr(0, line.length - 1) : line;
	}

	/**
		Why a text does not start with this program's header: another program's text, a selection
		of a later version, or a header that was damaged.
	**/
	static function headerProblem(header:String):String {
		if (!header.startsWith(HEADER_FAMILY))
			return "不是 Torvex-Z 选型文件";
		// Versions 1 to 5 are read before; any other version number, however long, is a later one.
		if (!versionPattern.match(header))
			return "第 1 行格式错误";
		return "不支持的选型数据版本 " + (header.length > SHOWN_HEADER_LENGTH ? header.substr(0, SHOWN_HEADER_LENGTH) + "…" : header);
	}

	static function firstError(steps:Array<() -> Null<String>>):Null<String> {
		for (step in steps) {
			final error = step();
			if (error != null)
				return error;
		}
		return null;
	}

	static function readMode(text:Null<String>, lines:SelectionLines, selection:Selection):Null<String> {
		final mode = SelectionMode.fromString(text);
		if (mode == null)
			return "缺少或无效的选型方式";
		if (mode == ByModule && (lines.get("need") != null || lines.get("pick") != null))
			return "按模块选型的数据中不应有 I/O 需求";
		selection.mode = mode;
		return null;
	}

	static function readEdition(text:Null<String>, selection:Selection):Null<String> {
		if (text == null)
			return null;
		if (text.length > 32 || !~/^[0-9]+(\.[0-9]+)*$/.match(text))
			return "产品目录版本格式错误";
		selection.edition = text;
		return null;
	}

	/**
		An item of `kind` for `code`: the catalogue's, or one it no longer has, kept (after `after` in
		its order); null, and the code listed, for an item of another kind.
	**/
	static function itemFor(code:String, kind:ModuleKind, catalog:Catalog, dropped:Array<String>, ?after:CatalogItem):Null<CatalogItem> {
		final item = catalog.find(code) == null && codePattern.match(code) ? catalog.keepGone(code, kind, after) : catalog.findOfKind(code, kind);
		if (item == null)
			dropped.push(code);
		return item;
	}

	/** The main rack's CPU, power supply and base; a code of another kind is left out, one the catalogue no longer has kept. */
	static function readChoices(lines:SelectionLines, selection:Selection, catalog:Catalog, dropped:Array<String>):Null<String> {
		for (kind in [ModuleKind.Cpu, ModuleKind.Power, ModuleKind.Base]) {
			final code = lines.get(kind);
			final item = code == null ? null : itemFor(code, kind, catalog, dropped);
			if (item != null)
				selection.choose(item);
		}
		return null;
	}

	static function readProject(lines:SelectionLines, selection:Selection):Null<String> {
		for (field in ProjectData.fields) {
			final encoded = lines.get(field.key);
			if (encoded == null)
				continue;
			final text = PercentText.decode(encoded);
			if (text == null)
				return '“${field.key}”格式错误';
			selection.setProject(field.key, text);
		}
		return null;
	}

	/** Each `rack=BASE/POWER`; a code of another kind leaves that part unchosen, one the catalogue no longer has is kept. */
	static function readRacks(entries:Array<String>, selection:Selection, catalog:Catalog, dropped:Array<String>):Null<String> {
		if (entries.length > Selection.MAX_RACKS)
			return "扩展基板过多";
		for (entry in entries) {
			final pair = entry.split("/");
			if (pair.length != 2)
				return "扩展基板格式错误";
			selection.addRack();
			final index = selection.racks.length;
			for (part in [{code: pair[0], kind: ModuleKind.ExpansionBase}, {code: pair[1], kind: ModuleKind.Power}]) {
				final item = part.code == "" ? null : itemFor(part.code, part.kind, catalog, dropped);
				if (item != null)
					selection.chooseFor(index, item);
			}
		}
		return null;
	}

	static function readReserve(text:Null<String>, selection:Selection):Null<String> {
		if (text == null)
			return null;
		final reserve = Reserve.read(text);
		if (reserve == null)
			return "余量格式错误";
		selection.reserve = reserve;
		return null;
	}

	static function readEnclosure(text:Null<String>, selection:Selection):Null<String> {
		if (text == null)
			return null;
		selection.enclosure = Enclosure.read(text);
		return selection.enclosure == null ? "机柜数据格式错误" : null;
	}

	static function readNeed(text:Null<String>, selection:Selection):Null<String> {
		if (text == null)
			return "缺少 I/O 需求";
		final entries = text.split(",");
		final kinds = ModuleKind.plannedIo;
		if (entries.length != kinds.length)
			return "I/O 需求格式错误";
		for (i in 0...kinds.length) {
			final pair = entries[i].split(":");
			if (pair.length != 2 || pair[0] != kinds[i].tag || !countPattern.match(pair[1]))
				return "I/O 需求格式错误";
			selection.setRequired(kinds[i], Std.parseInt(pair[1]));
		}
		return null;
	}

	/** Each kind's planner pick; one the catalogue no longer has is kept (IoPlanner plans it no further), one of another kind left out. */
	static function readPicks(text:Null<String>, selection:Selection, catalog:Catalog, dropped:Array<String>):Null<String> {
		if (text == null || text == "")
			return null;
		final seen:Map<String, Bool> = [];
		for (entry in text.split(",")) {
			final pair = entry.split(":");
			final tag = ModuleKind.plannedIo.filter(kind -> kind.tag == pair[0]);
			if (pair.length != 2 || tag.length != 1 || seen.exists(pair[0]))
				return "模块偏好格式错误";
			seen[pair[0]] = true;
			final item = catalog.find(pair[1]) == null && codePattern.match(pair[1]) ? catalog.keepGone(pair[1], tag[0]) : catalog.findOfKind(pair[1], tag[0]);
			if (item == null)
				dropped.push(pair[1]);
			else
				selection.setPlannerPick(item);
		}
		return null;
	}

	/**
		Version 1 knows no kept modules: by I/O need, its I/O module quantities are left out as foreign
		to the mode. A module the catalogue no longer has is kept (of unknown kind: set by hand, as a
		communication module is), after the one before it.
	**/
	static function readQuantities(entries:Array<String>, selection:Selection, catalog:Catalog, dropped:Array<String>, version2:Bool):Null<String> {
		final seen:Map<String, Bool> = [];
		var previous:Null<CatalogItem> = null;
		for (entry in entries) {
			final pair = entry.split(":");
			if (pair.length != 2 || pair[0] == "" || seen.exists(pair[0]) || !countPattern.match(pair[1]))
				return "模块数量格式错误";
			seen[pair[0]] = true;
			final quantity = Std.parseInt(pair[1]);
			if (quantity < 1 || quantity > Selection.MAX_QUANTITY)
				return "模块数量超出范围";
			final item = catalog.find(pair[0]) != null ? catalog.find(pair[0]) : itemFor(pair[0], Comm, catalog, dropped, previous);
			if (item != null)
				previous = item;
			if (item != null && selection.isHandPicked(item))
				selection.setQuantity(item, quantity);
			else if (item != null && version2 && selection.mode == ByIoNeed && ModuleKind.plannedIo.contains(item.kind))
				selection.keepModule(item, quantity);
			else if (item != null)
				dropped.push(pair[0]);
		}
		return null;
	}

	/** The runs of `order=` (from version 4 with the rack pinned to); a module the catalogue no longer has is left out like any other. */
	static function readOrder(text:String, selection:Selection, catalog:Catalog, dropped:Array<String>, pins:Bool):Null<String> {
		final pieces:Array<SlotPiece> = [];
		for (run in text.split(",")) {
			final pair = run.split(":");
			final count = pair.length == 2 ? pair[1].split("@") : [];
			final pinned = count.length == 2 && pins && rackPattern.match(count[1]);
			if (pair.length != 2 || pair[0] == "" || !countPattern.match(count[0]) || Std.parseInt(count[0]) < 1 || count.length > 2
				|| (count.length == 2 && !pinned))
				return "槽位顺序格式错误";
			final item = catalog.find(pair[0]);
			if (item == null || !ModuleKind.slotModules.contains(item.kind)) {
				if (!dropped.contains(pair[0]))
					dropped.push(pair[0]);
				continue;
			}
			for (_ in 0...Std.parseInt(count[0]))
				pieces.push(new SlotPiece(item, pinned ? Std.parseInt(count[1]) : SlotPiece.UNPINNED));
			if (pieces.length > MAX_ORDER_PIECES)
				return "槽位顺序过长";
		}
		// Pins stay as read, to a rack this catalogue plans no more too (the fill places such a piece
		// itself): opening a selection changes nothing of it. The first change settles the order.
		selection.setSlotOrder(pieces);
		return null;
	}
}
