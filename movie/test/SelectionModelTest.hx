using StringTools;
import orvane.model.*;

/** Checks the catalogue reader, the selection text and the planner without a player. */
class SelectionModelTest {
	static var failures = 0;

	static function main() {
		final catalog = shippedCatalog(Sys.args()[0]);
		catalogueFiguresAreReadAsTheScreenUsesThem();
		catalogLoadingGivesUpOnlyWhenNothingGoesOn();
		emptySelectionIsEmptyText(catalog);
		moduleSelectionRoundTrips(catalog);
		ioSelectionRoundTrips(catalog);
		readRefusesForeignText(catalog);
		readTellsForeignTextFromDamagedAndLater(catalog);
		readDropsCodesMissingFromCatalog(catalog);
		plannerCoversRequiredPoints(catalog);
		budgetFlagsEveryOverrun(catalog);
		modeSwitchKeepsModulesBothWays(catalog);
		undoAndRedoCoverEveryKindOfChange(catalog);
		typedCountsAreRefusedNotBent();
		slotOrderIsSavedAndReloaded(catalog);
		remediesFixEachLimit(catalog);
		filterFindsModulesByCodeOrDescription(catalog);
		budgetShowsWhatIsLeft(catalog);
		powerWithout24VAsksForAnExternalSupply(catalog);
		slotLayoutPlacesModulesInOrder(catalog);
		statusFailureGoesWithTheNextChange();
		twoExpansionRacksCheckedByHand(catalog);
		projectDataRoundTrips(catalog);
		screenShowsTheRackWorkedOn(catalog);
		hostHearsEachNewSelectionOnce();
		requiredAccessoriesAreOrdered(catalog);
		plannerFillsExpansionRacks(catalog);
		expansionRackLimitsHaveRemedies(catalog);
		pinnedModuleStaysThroughReplanningAndText(catalog);
		reserveIsKeptByBudgetsAndPlanner(catalog);
		discontinuedItemsAreKeptMarkedAndReplaced(sys.io.File.getContent(Sys.args()[0]));
		nothingChangesBehindTheEngineersBack(catalog, sys.io.File.getContent(Sys.args()[0]));
		unknownItemsAreCountedInNoBudget(catalog);
		failures += CabinetFiguresTest.run(catalog, sys.io.File.getContent(Sys.args()[0]));
		if (failures > 0) {
			Sys.println('$failures check(s) failed');
			Sys.exit(1);
		}
		Sys.println("all checks passed");
	}

	static function shippedCatalog(path:String):Catalog {
		final catalog = CatalogParser.parse(sys.io.File.getContent(path)).value;
		check(catalog.skippedEntries == 0, "shipped catalogue has no damaged items");
		check(catalog.items.length >= 30 && catalog.items.length <= 50, "shipped catalogue has 30 to 50 items");
		for (kind in ModuleKind.all)
			check(catalog.ofKind(kind).length > 0, 'shipped catalogue offers $kind');
		for (kind in ModuleKind.plannedIo)
			check(catalog.plannerDefault(kind).preferredForPlanning, 'shipped catalogue marks a planner default for $kind');
		final orderPattern = ~/^TZ-[CPBEDAN][0-9]{4}-[0-9]{2}$/;
		final orders = [for (item in catalog.items) if (orderPattern.match(item.orderNumber) && item.price != null && item.price > 0) item.orderNumber];
		check(catalog.currency == "CNY" && orders.length == catalog.items.length && distinctCount(orders) == orders.length,
			"every shipped item has a priced order number of the documented pattern, each its own");
		return catalog;
	}

	/** What the screen and the planner take of an item beyond what tests/data/catalogues compares. */
	static function catalogueFiguresAreReadAsTheScreenUsesThem() {
		final items = '<item kind="cpu" code="C" maxbases="4" di="8" maxio="256"/><item kind="power" code="P" out5v=" 100 " out24v="50"/>'
			+ '<item kind="base" code="B" slots="2"/><item kind="acc" code="A"/><item kind="di" code="D" di="16" i5v="45" accessories="A:2"/>';
		final one = CatalogParser.parse('<catalog format="1">$items</catalog>').value;
		final two = CatalogParser.parse('<catalog format="2">$items</catalog>').value;
		check(one.find("C").maxBases == 1 && one.find("D").accessories.length == 0 && two.find("C").maxBases == 4
			&& two.find("D").accessories[0].quantity == 2, "bases and accessories are read from format 2 only");
		final module = two.find("D");
		check(module.slots == 1 && module.pointsOfOwnKind() == 16 && module.draw5V == 45 && two.find("P").supply5V == 100
			&& two.find("P").supply24V == 50 && two.find("C").points.of(DigitalIn) == 8 && two.find("C").maxIoPoints == 256,
			"figures are read, numbers with surrounding blanks, a module without slots taking one");
	}

	static function catalogLoadingGivesUpOnlyWhenNothingGoesOn() {
		var clock = 0.0;
		final frames:Array<() -> Void> = [];
		var outcome = "loading";
		final start = (steps:Array<String -> Null<String>>) -> new CatalogLoading(steps, () -> clock, run -> frames.push(run),
			failure -> outcome = failure == null ? "ready" : Std.string(failure));
		final built:Array<String> = [];
		final slow = start([text -> {
			clock += 10;
			null;
		}, text -> {
			built.push(text);
			null;
		}]);
		for (_ in 0...8) {
			clock += 5;
			slow.progressed();
			slow.checkStall();
		}
		slow.textArrived("catalogue");
		clock += 14;
		slow.checkStall();
		check(outcome == "loading" && built.length == 0 && frames.length == 1, "40 s of reading and 10 s of a step, going on all the time, are not cut off");
		frames.pop()();
		check(outcome == "ready" && built.join("") == "catalogue", "the step after a long one runs in the next frame: " + outcome);

		outcome = "loading";
		final stalled = start([_ -> null]);
		clock += 14;
		stalled.checkStall();
		check(outcome == "loading", "no time-out before 15 s without progress");
		clock += 1;
		stalled.checkStall();
		check(outcome == "TimedOut(读取超时)", "15 s without data is a time-out of the read: " + outcome);
		outcome = "loading";
		final ended = start([_ -> {
			clock += 2;
			null;
		}, _ -> null]);
		ended.textArrived("catalogue");
		clock += 15; // the player ended the script before the next step's frame came
		ended.checkStall();
		check(outcome == "TimedOut(处理目录超时)", "15 s without progress after the text is a time-out of its use: " + outcome);
		start([_ -> "目录文件为空"]).textArrived("");
		check(outcome == "Unusable(目录文件为空)", "a text a step refuses ends loading with the reason: " + outcome);
	}

	static function emptySelectionIsEmptyText(catalog:Catalog) {
		final selection = new Selection();
		check(SelectionFormat.write(selection, catalog) == "", "start state writes the empty text");
		selection.switchMode(ByIoNeed, catalog);
		check(SelectionFormat.write(selection, catalog) == "", "I/O mode without needs writes the empty text");
		selection.setRequired(AnalogIn, 3);
		check(SelectionFormat.write(selection, catalog) != "", "a required point counts as a selection");
		selection.clear();
		check(SelectionFormat.write(selection, catalog) == "" && selection.mode == ByModule, "clear returns to the start state");
		final read = SelectionFormat.read("", catalog).value;
		check(read.selection.isEmpty() && read.droppedCodes.length == 0, "the empty text reads as the start state");
	}

	static function moduleSelectionRoundTrips(catalog:Catalog) {
		final selection = new Selection();
		selection.choose(catalog.find("ZC-220"));
		selection.choose(catalog.find("ZP-P30"));
		selection.setQuantity(catalog.find("ZX-EN01"), 1);
		selection.setQuantity(catalog.find("ZX-DI16"), 3);
		selection.setQuantity(catalog.find("ZX-AO02"), 999 + 5);
		final text = SelectionFormat.write(selection, catalog);
		check(text == "TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nqty=ZX-DI16:3\nqty=ZX-AO02:999\nqty=ZX-EN01:1",
			"module selection text is canonical: " + text);
		check(SelectionFormat.write(selection, catalog) == text, "writing twice gives the identical text");
		check(SelectionFormat.write(SelectionFormat.read(text, catalog).value.selection, catalog) == text, "module text round-trips");
		final crlf = SelectionFormat.read(StringTools.replace(text, "\n", "\r\n") + "\r\n", catalog).value.selection;
		check(SelectionFormat.write(crlf, catalog) == text, "CR LF line ends and a final line end are tolerated");
		final marked = SelectionFormat.read("\u{FEFF}" + text, catalog).value;
		check(marked != null && SelectionFormat.write(marked.selection, catalog) == text, "a byte-order mark before the header is ignored");
		selection.setQuantity(catalog.find("ZX-DI16"), 0);
		check(SelectionFormat.write(selection, catalog).indexOf("ZX-DI16") < 0, "a quantity of zero leaves the list");
	}

	static function ioSelectionRoundTrips(catalog:Catalog) {
		final selection = byIoNeed("ZB-B08", catalog);
		selection.setRequired(DigitalIn, 40);
		selection.setRequired(AnalogOut, 12345);
		selection.setPlannerPick(catalog.find("ZX-DI32"));
		selection.setQuantity(catalog.find("ZX-SR02"), 2);
		selection.setQuantity(catalog.find("ZX-DO16T"), 4);
		final text = SelectionFormat.write(selection, catalog);
		check(text == "TZSEL/1\nmode=io\nbase=ZB-B08\nneed=DI:40,DO:0,AI:0,AO:9999\npick=DI:ZX-DI32,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04\nqty=ZX-SR02:2",
			"I/O selection text is canonical, planned modules are not hand-set: " + text);
		final back = SelectionFormat.read(text, catalog).value;
		check(back.droppedCodes.length == 0 && SelectionFormat.write(back.selection, catalog) == text, "I/O text round-trips");
	}

	static function readRefusesForeignText(catalog:Catalog) {
		final refused = [
			"TZSEL/6\nmode=module", "hello", "tzsel/1\nmode=module", "TZSEL/1", "TZSEL/1\nmode=auto", "TZSEL/1\nmode=module\nmode=module",
			"TZSEL/1\nmode=module\ncolour=red", "TZSEL/1\nmode=module\n=x", "TZSEL/1\nmode=module\nno separator",
			"TZSEL/1\nmode=module\nqty=ZX-DI16:0", "TZSEL/1\nmode=module\nqty=ZX-DI16:-1", "TZSEL/1\nmode=module\nqty=ZX-DI16:1000",
			"TZSEL/1\nmode=module\nqty=ZX-DI16:1\nqty=ZX-DI16:2", "TZSEL/1\nmode=module\nqty=ZX-DI16", "TZSEL/1\nmode=module\nneed=DI:1,DO:0,AI:0,AO:0",
			"TZSEL/1\nmode=io", "TZSEL/1\nmode=io\nneed=DO:1,DI:0,AI:0,AO:0", "TZSEL/1\nmode=io\nneed=DI:1,DO:0,AI:0",
			"TZSEL/1\nmode=io\nneed=DI:0,DO:0,AI:0,AO:0\npick=DI:ZX-DI16,DI:ZX-DI32", "TZSEL/1\nmode=io\nneed=DI:0,DO:0,AI:0,AO:0\npick=XX:ZX-DI16",
			"TZSEL/1\nmode=module\n" + [for (_ in 0...7000) "cpu=ZC-110"].join("\n"), "TZSEL/1\nmode=module\norder=ZX-DI16:1",
			"TZSEL/2\nmode=module\norder=ZX-DI16:0", "TZSEL/2\nmode=module\norder=ZX-DI16", "TZSEL/2\nmode=module\norder=ZX-DI16:1\norder=ZX-DI16:1",
			"TZSEL/2\nmode=module\norder=" + [for (_ in 0...11) "ZX-DI16:9999"].join(",")
		];
		for (text in refused)
			check(isRefusedSelection(text, catalog), 'selection text refused: ${StringTools.replace(text.substr(0, 60), "\n", "|")}');
	}

	static function readTellsForeignTextFromDamagedAndLater(catalog:Catalog) {
		final long = [for (_ in 0...70000) "x"].join("");
		final foreign = readError("hello", catalog);
		check(readError("hello " + long, catalog) == foreign, "a long foreign text is foreign, not too long");
		check(readError("TZSEL/1\nmode=module\n" + long, catalog) != foreign, "a long selection is refused for its length");
		final damagedHeader = readError("TZSEL/0", catalog);
		for (text in ["TZSEL/1 \nmode=module", "TZSEL/" + long, "TZSEL/2.0"])
			check(readError(text, catalog) == damagedHeader, 'a damaged header is damaged, not a version: ${StringTools.replace(text.substr(0, 12), "\n", "|")}');
		final later = readError("TZSEL/6\nmode=module", catalog);
		check(later != foreign && later != damagedHeader && later.indexOf("TZSEL/6") >= 0, "a later version is named as such");
		check(readError("TZSEL/99999999999999999999", catalog) == StringTools.replace(later, "6", "99999999999999999999"),
			"so is a version number too large for any integer");
	}

	static function readDropsCodesMissingFromCatalog(catalog:Catalog) {
		final text = "TZSEL/1\nmode=io\ncpu=ZX-DI16\npower=ZP-P99\nneed=DI:8,DO:0,AI:0,AO:0\npick=DI:ZX-DO16T\nqty=ZX-GONE:1\nqty=ZX-DI16:2\nqty=ZX-EN01:1";
		final read = SelectionFormat.read(text, catalog).value;
		check(read.droppedCodes.join(" ") == "ZX-DI16 ZX-DO16T ZX-DI16", "misplaced and mode-foreign codes are reported: " + read.droppedCodes.join(" "));
		check(read.selection.cpu == null && read.selection.quantityOf(catalog.find("ZX-EN01")) == 1, "the known part is kept");
		check(read.selection.power.unknown && !read.selection.power.discontinued && read.selection.quantityOf(read.catalog.find("ZX-GONE")) == 1
			&& catalog.find("ZX-GONE") == null, "codes the catalogue lacks are kept as unknown, in a catalogue of the selection's own");
	}

	static function plannerCoversRequiredPoints(catalog:Catalog) {
		final selection = byIoNeed("ZC-110", catalog);
		selection.setRequired(DigitalIn, 46);
		selection.setRequired(DigitalOut, 10);
		selection.setRequired(AnalogIn, 9);
		final plan = IoPlanner.plan(selection, catalog);
		check(describe(plan) == "ZX-DI16*2 ZX-AI04*3", "built-in points are used first, quantities round up: " + describe(plan));
		selection.setPlannerPick(catalog.find("ZX-AI08"));
		check(describe(IoPlanner.plan(selection, catalog)) == "ZX-DI16*2 ZX-AI08*2", "the picked module is planned");
		final budget = new Budget(selection, catalog);
		check(budget.points.di == 46 && budget.points.dout == 10 && budget.points.ai == 16, "totals count built-in and planned points");
	}

	static function budgetFlagsEveryOverrun(catalog:Catalog) {
		final selection = new Selection();
		check(new Budget(selection, catalog).problems().length == 3, "missing CPU, power and base are reported");
		selection.choose(catalog.find("ZC-110"));
		selection.choose(catalog.find("ZP-P15"));
		selection.choose(catalog.find("ZB-B04"));
		selection.setQuantity(catalog.find("ZX-DI64"), 3);
		selection.setQuantity(catalog.find("ZX-DO16R"), 1);
		var budget = new Budget(selection, catalog);
		check(budget.problems().length == 0 && budget.slotsUsed == 4 && budget.points.total() == 232 && budget.draw5V == 870
			&& budget.draw24V == 220, "a selection at the slot limit within the power budget has no problem");
		selection.setQuantity(catalog.find("ZX-DO16R"), 2);
		budget = new Budget(selection, catalog);
		check(budget.slotsExceeded() && budget.over24V() && !budget.over5V() && !budget.ioPointsExceeded(),
			"one relay module more exceeds slots and the 24 V supply only");
		selection.setQuantity(catalog.find("ZX-DI64"), 4);
		selection.setQuantity(catalog.find("ZX-PB01"), 2);
		budget = new Budget(selection, catalog);
		check(budget.ioPointsExceeded() && budget.over5V() && budget.draw5V == 1780, "more modules exceed CPU points and 5 V");
		check(budget.problems().length == 4, "each overrun is reported once");
	}

	static function modeSwitchKeepsModulesBothWays(catalog:Catalog) {
		final selection = new Selection();
		selection.choose(catalog.find("ZC-110"));
		selection.setQuantity(catalog.find("ZX-DI16"), 2);
		selection.setQuantity(catalog.find("ZX-DI32"), 1);
		selection.setQuantity(catalog.find("ZX-AO02"), 1);
		selection.setQuantity(catalog.find("ZX-CN01"), 1);
		final chosen = describe(selection.moduleLines(catalog));
		selection.switchMode(ByIoNeed, catalog);
		check(describe(selection.moduleLines(catalog)) == chosen, "by I/O need the modules chosen stay, none re-planned: "
			+ describe(selection.moduleLines(catalog)));
		check(selection.requiredPoints.di == 14 + 64 && selection.requiredPoints.dout == 10 && selection.requiredPoints.ao == 2,
			"required points are what the CPU and the modules give");
		final text = SelectionFormat.write(selection, catalog);
		check(StringTools.startsWith(text, "TZSEL/2\nmode=io") && text.indexOf("qty=ZX-DI16:2\nqty=ZX-DI32:1") > 0
			&& SelectionFormat.write(SelectionFormat.read(text, catalog).value.selection, catalog) == text, "kept modules read back: " + text);
		selection.setRequired(DigitalIn, 78 + 10);
		check(describe(selection.moduleLines(catalog)) == "ZX-DI16*3 ZX-DI32*1 ZX-AO02*1 ZX-CN01*1", "more points add the pick beside the kept modules");
		selection.switchMode(ByModule, catalog);
		check(describe(selection.moduleLines(catalog)) == "ZX-DI16*3 ZX-DI32*1 ZX-AO02*1 ZX-CN01*1", "back by module every derived module stays");
		selection.switchMode(ByIoNeed, catalog);
		selection.releaseKeptModules(catalog);
		check(describe(selection.moduleLines(catalog)) == "ZX-DI16*5 ZX-AO02*1 ZX-CN01*1", "released, the planner derives them all");
	}

	static function undoAndRedoCoverEveryKindOfChange(catalog:Catalog) {
		final sent:Array<String> = [];
		var modeChanges = 0;
		final editor = new SelectionEditor(catalog, text -> sent.push(text), () -> modeChanges++);
		final steps:Array<Selection -> Void> = [
			s -> s.choose(catalog.find("ZC-220")), s -> s.choose(catalog.find("ZB-B06")), s -> s.setQuantity(catalog.find("ZX-DI16"), 2),
			s -> s.setQuantity(catalog.find("ZX-DO16T"), 1), s -> s.moveSlotPiece(2, -1, catalog), s -> s.clearChoice(Cpu),
			s -> s.switchMode(ByIoNeed, catalog), s -> s.setRequired(DigitalOut, 40), s -> s.setPlannerPick(catalog.find("ZX-DO32T")),
			s -> s.clear()
		];
		final texts = [editor.text()];
		for (step in steps) {
			check(editor.change(step), "each change is one: " + texts[texts.length - 1]);
			texts.push(editor.text());
		}
		check(!editor.change(s -> s.clear()) && sent.join("|") == texts.slice(1).join("|"), "the host hears each change, a non-change is none");
		var at = texts.length - 1;
		while (editor.apply(Undo))
			check(editor.text() == texts[--at], 'undo goes back step by step: ${texts[at]}');
		while (editor.apply(Redo))
			check(editor.text() == texts[++at], 'redo goes forward step by step: ${texts[at]}');
		check(at == texts.length - 1 && modeChanges == 6 && sent[sent.length - 1] == "", "every step is undone and redone, mode changes reported");

		final field = catalog.find("ZX-DI16");
		editor.change(s -> s.setQuantity(field, 1), "typing");
		editor.change(s -> s.setQuantity(field, 12), "typing");
		editor.apply(Undo);
		check(editor.text() == "" && editor.canRedo(), "what was typed into one field is undone as one");
		editor.change(s -> s.setQuantity(field, 5), "typing again");
		editor.change(s -> s.setQuantity(field, 0), "typing again");
		editor.apply(Undo);
		check(editor.text() == texts[texts.length - 2], "typing that ends where it began leaves no step");
		for (i in 0...150)
			editor.change(s -> s.setQuantity(catalog.find("ZX-EN01"), i + 1));
		var undone = 0;
		while (editor.apply(Undo))
			undone++;
		check(undone == SelectionHistory.DEPTH && undone >= 100, 'the last 100 steps are kept: $undone');
		final heard = sent.length;
		editor.load("TZSEL/1\nmode=module\ncpu=ZC-110");
		check(!editor.canUndo() && !editor.canRedo() && sent.length == heard, "a loaded selection starts a new history, unannounced");
		editor.startNew();
		check(!editor.canUndo() && !editor.change(s -> s.clearChoice(Cpu)), "so does a new one");
	}

	static function typedCountsAreRefusedNotBent() {
		for (text in ["-3", "abc", "1.5", " 7", "99999", "1000", "99999999999999999999"])
			check(TypedCount.read(text, 999).value == null && TypedCount.read(text, 999).refusal != null, 'typed "$text" is refused');
		check(TypedCount.read("abc", 999).refusal != TypedCount.read("99999", 999).refusal, "the reason says what is wrong");
		check(TypedCount.read("", 999).value == null && TypedCount.read("", 999).refusal == null, "an empty field changes nothing");
		check(TypedCount.character("7") == Taken && TypedCount.character(" ") == Ignored && TypedCount.character("x").match(Refused(_)),
			"a digit is typed in, Space is no typing there, anything else is refused with the reason");
		check(TypedCount.read("0999", 999).value == 999 && TypedCount.read("0", 999).value == 0
			&& TypedCount.read("0000000000009999", 9999).value == 9999, "numbers in range are taken, leading zeros too");
	}

	static function slotOrderIsSavedAndReloaded(catalog:Catalog) {
		final selection = new Selection();
		selection.choose(catalog.find("ZB-B12"));
		for (code in ["ZX-DI16", "ZX-DO16R", "ZX-DO16T", "ZX-DO16S"])
			selection.setQuantity(catalog.find(code), 1);
		selection.setQuantity(catalog.find("ZX-DI16"), 2);
		check(!selection.moveSlotPiece(0, 1, catalog) && !selection.moveSlotPiece(0, -1, catalog), "a piece moves only past another module");
		selection.moveSlotPiece(4, -1, catalog);
		selection.moveSlotPiece(2, -1, catalog);
		final layout = describeSlots(new SlotLayout(selection, catalog, 31));
		check(layout == "ZX-DI16 ZX-DO16R ZX-DI16 ZX-DO16S ZX-DO16T - - - - - - -", "pieces stand where the user moved them: " + layout);
		final text = SelectionFormat.write(selection, catalog);
		check(text == "TZSEL/2\nmode=module\nbase=ZB-B12\nqty=ZX-DI16:2\nqty=ZX-DO16R:1\nqty=ZX-DO16T:1\nqty=ZX-DO16S:1"
			+ "\norder=ZX-DI16:1,ZX-DO16R:1,ZX-DI16:1,ZX-DO16S:1,ZX-DO16T:1", "the order is written as runs: " + text);
		final back = SelectionFormat.read(text, catalog).value.selection;
		check(SelectionFormat.write(back, catalog) == text && describeSlots(new SlotLayout(back, catalog, 31)) == layout, "and reads back");
		selection.setQuantity(catalog.find("ZX-DI16"), 3);
		selection.setQuantity(catalog.find("ZX-AI04"), 1);
		selection.settleSlotOrder(catalog);
		check(describeSlots(new SlotLayout(selection, catalog, 5)) == "ZX-DI16 ZX-DO16R ZX-DI16 ZX-DI16 ZX-DO16S"
			&& selection.slotPieces(catalog)[6].item.code == "ZX-AI04", "a new piece joins its module, a new module goes last");
		final unordered = SelectionFormat.read("TZSEL/2\nmode=module\nqty=ZX-DI16:1\nqty=ZX-DO16R:1\norder=ZX-DO16R:3,ZX-GONE:1,ZX-DI16:1", catalog).value;
		check(SelectionFormat.write(unordered.selection, catalog) == "TZSEL/2\nmode=module\nqty=ZX-DI16:1\nqty=ZX-DO16R:1\norder=ZX-DO16R:1,ZX-DI16:1"
			&& unordered.droppedCodes.join(" ") == "ZX-GONE", "an order is cut to the quantities");
		for (piece in [1, 2, 4])
			selection.moveSlotPiece(piece, 1, catalog);
		check(StringTools.startsWith(SelectionFormat.write(selection, catalog), "TZSEL/1\n"), "moved back to catalogue order it is version 1 again: "
			+ SelectionFormat.write(selection, catalog));
	}

	static function remediesFixEachLimit(catalog:Catalog) {
		final selection = new Selection();
		for (code in ["ZC-110", "ZP-P15", "ZB-B08"])
			selection.choose(catalog.find(code));
		selection.setQuantity(catalog.find("ZX-DI64"), 4);
		selection.setQuantity(catalog.find("ZX-DO16T"), 2);
		selection.setQuantity(catalog.find("ZX-AI04"), 3);
		final overruns = Remedies.find(selection, catalog);
		check(describeOverruns(overruns) == "槽位不足：改用 ZB-B12（12 槽） +240.00 / 改用 ZC-120（2 个基板）并添加扩展基板 ZB-E06 + ZP-P15 +3,185.00"
			+ " | 24V 电流超出：改用 ZP-P30（5V 3000 mA / 24V 600 mA） +320.00 | I/O 点数超出：改用 ZC-120（512 点） +1,700.00",
			"slots, 24 V and points each name the smallest fix of each kind, cheapest first: " + describeOverruns(overruns));
		for (overrun in overruns)
			for (remedy in overrun.remedies()) {
				final trial = selection.copy();
				remedy.apply(trial);
				check(Remedies.find(trial, catalog).filter(o -> o.limit == overrun.limit).length == 0, '${remedy.advice} fixes ${overrun.limit}');
			}
		selection.choose(catalog.find("ZP-P30"));
		selection.setQuantity(catalog.find("ZX-EN01"), 6);
		check(describeOverruns(Remedies.find(selection, catalog)).indexOf("5V 电流超出：改用 ZP-P50（5V 5000 mA / 24V 1000 mA） +380.00 |") > 0,
			"so does 5 V: " + describeOverruns(Remedies.find(selection, catalog)));
		selection.setQuantity(catalog.find("ZX-DI64"), 30);
		check(describeOverruns(Remedies.find(selection, catalog)).indexOf("5V 电流超出：目录中没有能满足的电源，请减少模块 |") > 0,
			"a limit no catalogue item fixes is said to be one: "
			+ describeOverruns(Remedies.find(selection, catalog)));
	}

	static function filterFindsModulesByCodeOrDescription(catalog:Catalog) {
		final found = (query:String) -> [for (item in catalog.items) if (new ModuleFilter(query).matches(item)) item.code].join(" ");
		check(found("继电器") == "ZX-DO08R ZX-DO16R" && found("do16") == "ZX-DO16R ZX-DO16T ZX-DO16S" && found(" 16  晶体管 ") == "ZX-DO16T",
			"words are found in codes and descriptions, in either case");
		check(new ModuleFilter("  ").isEmpty() && found("").split(" ").length == catalog.items.length, "no words find everything");
	}

	static function budgetShowsWhatIsLeft(catalog:Catalog) {
		final selection = new Selection();
		var budget = new Budget(selection, catalog);
		check(budget.slotsLeft() == null && budget.main().current5VLeft() == null && budget.main().current24VLeft() == null
			&& budget.ioPointsLeft() == null, "nothing is left of limits that nothing sets");
		selection.choose(catalog.find("ZC-110"));
		selection.choose(catalog.find("ZP-P15"));
		selection.choose(catalog.find("ZB-B06"));
		selection.setQuantity(catalog.find("ZX-DI64"), 3);
		selection.setQuantity(catalog.find("ZX-DO16R"), 1);
		budget = new Budget(selection, catalog);
		check(budget.slotsLeft() == 2 && budget.main().current5VLeft() == 1500 - 885 && budget.main().current24VLeft() == 300 - 220
			&& budget.ioPointsLeft() == 256 - 232, "free slots, mA left of 5 V and 24 V and points left of the CPU's limit");
		selection.setQuantity(catalog.find("ZX-DO16R"), 4);
		check(new Budget(selection, catalog).slotsLeft() == -1, "missing slots are negative");
	}

	static function powerWithout24VAsksForAnExternalSupply(catalog:Catalog) {
		final selection = new Selection();
		selection.choose(catalog.find("ZC-120"));
		selection.choose(catalog.find("ZP-D30"));
		selection.choose(catalog.find("ZB-B04"));
		check(new Budget(selection, catalog).problems().length == 0, "a supply without 24 V is fine while nothing draws 24 V");
		selection.setQuantity(catalog.find("ZX-DO16R"), 1);
		final budget = new Budget(selection, catalog);
		check(budget.needsExternal24V() && !budget.over24V() && budget.main().current24VLeft() == null,
			"24 V drawn from a supply without 24 V needs an external supply, not a bigger one");
		final problems = budget.problems();
		check(problems.length == 1 && problems[0].indexOf("160 mA") >= 0 && problems[0].indexOf("> 0") < 0,
			"the warning names the current to supply externally: " + problems.join("|"));
		check(StringTools.endsWith(BomFormat.write(selection, catalog), "\nwarning\t" + problems[0]), "the bill of materials carries the same warning");
	}

	static function slotLayoutPlacesModulesInOrder(catalog:Catalog) {
		final selection = new Selection();
		check(new SlotLayout(selection, catalog, 31).slots.length == 0, "no base, no modules: no slots");
		selection.choose(catalog.find("ZB-B06"));
		selection.setQuantity(catalog.find("ZX-EN01"), 1);
		selection.setQuantity(catalog.find("ZX-DI16"), 2);
		var layout = new SlotLayout(selection, catalog, 31);
		check(describeSlots(layout) == "ZX-DI16 ZX-DI16 ZX-EN01 - - -", "modules in catalogue order, free slots empty: " + describeSlots(layout));
		selection.setQuantity(catalog.find("ZX-DI16"), 999);
		layout = new SlotLayout(selection, catalog, 31);
		check(layout.slots.length == 31 && layout.slotsLeftOut == 1000 - 31 && !layout.isBeyondBase(5) && layout.isBeyondBase(6),
			"a layout longer than the view counts the rest; slots past the base are marked");

		final wide = CatalogParser.parse('<catalog format="1"><item kind="cpu" code="C"/><item kind="power" code="P" out5v="100"/>'
			+ '<item kind="base" code="B" slots="4"/><item kind="ai" code="W" ai="4" slots="2"/></catalog>').value;
		final twoWide = new Selection();
		twoWide.choose(wide.find("B"));
		twoWide.setQuantity(wide.find("W"), 3);
		layout = new SlotLayout(twoWide, wide, 31);
		check(describeSlots(layout) == "W W+ W W+ W W+" && layout.isBeyondBase(4), "a wide module fills its slots side by side: " + describeSlots(layout));
	}

	static function statusFailureGoesWithTheNextChange() {
		final status = new StatusLine();
		status.show("refused", Failure);
		status.selectionChanged();
		check(status.text == "", "a failure is cleared by the next change of the selection");
		status.show("codes left out", Notice);
		status.selectionChanged();
		check(status.text == "codes left out", "a notice stays");
	}

	/** A CPU, a main rack and two expansion racks, each figure worked out by hand from the shipped catalogue. */
	static function twoExpansionRacksCheckedByHand(catalog:Catalog) {
		final selection = new Selection();
		for (code in ["ZC-220", "ZP-P30", "ZB-B04"])
			selection.choose(catalog.find(code));
		selection.addRack();
		selection.addRack();
		for (code in ["ZB-E06", "ZP-P15"])
			selection.chooseFor(1, catalog.find(code));
		for (code in ["ZB-E08", "ZP-D30"])
			selection.chooseFor(2, catalog.find(code));
		for (entry in [{code: "ZX-DI16", n: 6}, {code: "ZX-DO16R", n: 3}, {code: "ZX-AI04", n: 2}, {code: "ZX-EN01", n: 1}])
			selection.setQuantity(catalog.find(entry.code), entry.n);
		selection.setProject("name", "二号线 灌装");
		final text = BomFormat.write(selection, catalog);
		check(text == "TZBOM/5\nproject\tname\t二号线 灌装\ncurrency\tCNY\nedition\t2026.2\t2026-12-07\n"
			+ "line\t1\tTZ-C0220-00\tZC-220\t高性能，1024 点，以太网 2 口\t1\t6980.00\t6980.00\n"
			+ "line\t2\tTZ-P0015-00\tZP-P15\t交流输入，5V 1.5A，24V 0.3A\t1\t560.00\t560.00\n"
			+ "line\t3\tTZ-P0030-00\tZP-P30\t交流输入，5V 3.0A，24V 0.6A\t1\t880.00\t880.00\n"
			+ "line\t4\tTZ-P0030-20\tZP-D30\t直流 24V 输入，5V 3.0A\t1\t760.00\t760.00\n"
			+ "line\t5\tTZ-B0004-00\tZB-B04\t4 槽基板\t1\t320.00\t320.00\n"
			+ "line\t6\tTZ-E0106-00\tZB-E06\t6 槽扩展基板\t1\t450.00\t450.00\n"
			+ "line\t7\tTZ-E0108-00\tZB-E08\t8 槽扩展基板\t1\t560.00\t560.00\n"
			+ "line\t8\tTZ-E0201-00\tZX-IF01\t扩展接口模块，装在扩展基板的接口位\t2\t380.00\t760.00\n"
			+ "line\t9\tTZ-E0306-00\tZX-CB06\t扩展电缆 0.6 m\t2\t95.00\t190.00\n"
			+ "line\t10\tTZ-D1016-00\tZX-DI16\t16 点 DC24V 输入，源型/漏型\t6\t680.00\t4080.00\n"
			+ "line\t11\tTZ-D2016-10\tZX-DO16R\t16 点继电器输出，2A/点\t3\t760.00\t2280.00\n"
			+ "line\t12\tTZ-A1004-00\tZX-AI04\t4 通道电压/电流输入，16 位\t2\t1580.00\t3160.00\n"
			+ "line\t13\tTZ-N0001-00\tZX-EN01\t以太网通信模块，2 口，Modbus TCP\t1\t2480.00\t2480.00\n"
			+ "sum\t23\t23460.00\n"
			+ "rack\t主基板\tZB-B04\tZP-P30\t4\t4\t800\t3000\t0\t600\t64\nslots\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\n"
			// Rail: the base's width and two end brackets of 9.5 mm; loss: base, supply, CPU or interface module, modules with every point loaded.
			+ "cabinet\t236.5\t25.7\t\n"
			+ "rack\t扩展基板 1\tZB-E06\tZP-P15\t6\t6\t670\t1500\t560\t300\t84\n"
			+ "slots\tZX-DI16\tZX-DI16\tZX-DO16R\tZX-DO16R\tZX-DO16R\tZX-AI04\ncabinet\t281.5\t25.4\t\n"
			+ "rack\t扩展基板 2\tZB-E08\tZP-D30\t2\t8\t595\t3000\t80\t0\t4\nslots\tZX-AI04\tZX-EN01\t\t\t\t\t\t\ncabinet\t336.5\t13.0\t\n"
			+ "overall\t12\t18\t2065\t7500\t640\t900\t152\t1024\t3\t4\nheat\t64.1\t\n"
			+ "warning\t扩展基板 1：24V 电流超出电源容量：560 mA > 300 mA\n"
			+ "warning\t扩展基板 2：所选电源没有 24V 输出：需另配外部 24V 电源（至少 80 mA）", "two-rack bill of materials: " + text);
		final saved = SelectionFormat.write(selection, catalog);
		check(StringTools.startsWith(saved, "TZSEL/3\nmode=module\nname=%E4%BA%8C%E5%8F%B7%E7%BA%BF%20%E7%81%8C%E8%A3%85\ncpu=ZC-220")
			&& saved.indexOf("\nrack=ZB-E06/ZP-P15\nrack=ZB-E08/ZP-D30\n") > 0
			&& SelectionFormat.write(SelectionFormat.read(saved, catalog).value.selection, catalog) == saved, "version 3 round-trips: " + saved);
		selection.choose(catalog.find("ZC-120"));
		selection.removeRack(1);
		selection.setQuantity(catalog.find("ZX-DI16"), 7);
		final fewer = new Budget(selection, catalog);
		check(fewer.racks[1].label == "扩展基板 1" && fewer.racks[1].slotsUsed == 9 && fewer.slotsExceeded()
			&& fewer.problems().indexOf('槽位不足：需要 13 槽，2 个基板共 12 槽') >= 0,
			"a removed rack hands its modules on; the overflow is counted over all bases: " + fewer.problems().join("|"));
		selection.addRack();
		check(new Budget(selection, catalog).problems().indexOf("基板数 3 超出 CPU 上限 2") >= 0, "more bases than the CPU drives are reported");
	}

	static function projectDataRoundTrips(catalog:Catalog) {
		final selection = new Selection();
		selection.setProject("customer", " 华东 100%/=客户 ");
		selection.setProject("note", "line\tbreak\nhere");
		check(!selection.isEmpty() && selection.project.get("customer") == "华东 100%/=客户"
			&& selection.project.get("note") == "line break here", "project fields are trimmed, control characters become blanks");
		final text = SelectionFormat.write(selection, catalog);
		check(text == "TZSEL/3\nmode=module\ncustomer=%E5%8D%8E%E4%B8%9C%20100%25%2F%3D%E5%AE%A2%E6%88%B7\nnote=line%20break%20here",
			"project data alone is a version 3 selection, ASCII only: " + text);
		check(SelectionFormat.write(SelectionFormat.read(text, catalog).value.selection, catalog) == text, "and reads back");
		for (damaged in ["TZSEL/3\nmode=module\nnote=%E5", "TZSEL/3\nmode=module\nname=%00abc", "TZSEL/3\nmode=module\nnote=a b", "TZSEL/3\nmode=module\nnote=%ZZ",
			"TZSEL/2\nmode=module\nnote=x", "TZSEL/3\nmode=module\nrack=ZB-E06", "TZSEL/3\nmode=module\n" + [for (_ in 0...8) "rack=/"].join("\n")])
			check(isRefusedSelection(damaged, catalog), 'damaged version 3 text refused: ${StringTools.replace(damaged, "\n", "|")}');
	}

	static function screenShowsTheRackWorkedOn(catalog:Catalog) {
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		final shown = () -> new ScreenState(editor, 31);
		final choice = (state:ScreenState, kind:ModuleKind) -> state.choices.filter(c -> c.kind == kind)[0];
		var state = shown();
		check(!state.canUndo && state.canAddRack && choice(state, Base).shown && !choice(state, ExpansionBase).shown,
			"before a CPU is chosen a rack may be added");
		editor.apply(Choose(catalog.find("ZC-110")));
		check(!shown().canAddRack && !editor.apply(AddRack) && shown().rackNote.indexOf("不能带扩展基板") > 0, "a CPU that drives one base takes no rack");
		editor.apply(Choose(catalog.find("ZC-120")));
		check(editor.apply(AddRack) && !editor.apply(AddRack), "one that drives two bases takes one rack");
		for (code in ["ZP-P15", "ZB-E06", "ZB-B04"])
			editor.apply(Choose(catalog.find(code)));
		state = shown();
		check(state.rackShown == 1 && choice(state, ExpansionBase).shown && !choice(state, Base).shown && state.canRemoveRack
			&& choice(state, Power).title == "电源（扩展基板 1）" && choice(state, Power).chosen.code == "ZP-P15" && state.slots.slots.length == 6,
			"the new rack is shown at once, its lists and slots with it");
		check(editor.selection.power == null && editor.selection.racks[0].base.code == "ZB-E06" && editor.selection.base.code == "ZB-B04"
			&& state.priceTotal == Money.grouped(PurchaseList.priceTotal(state.purchase, catalog)) + " CNY",
			"its power supply and base go to the rack shown, the main base to the main rack");
		while (editor.apply(Undo)) {}
		check(shown().rackShown == 0 && shown().canRedo, "undone, the main rack is shown again");
	}

	static function hostHearsEachNewSelectionOnce() {
		final sent:Array<String> = [];
		final announcer = new SelectionAnnouncer(text -> sent.push(text));
		announcer.offer("");
		for (text in ["A", "A", "B", "B"])
			announcer.offer(text);
		announcer.hostKnows("loaded");
		announcer.offer("loaded");
		announcer.offer("B");
		announcer.hostKnows("");
		announcer.offer("");
		announcer.offer("C");
		announcer.offer("");
		check(sent.join("|") == "A|B|B|C|", "each text the host does not have is sent once: " + sent.join("|"));
	}

	static function requiredAccessoriesAreOrdered(catalog:Catalog) {
		final selection = new Selection();
		selection.setQuantity(catalog.find("ZX-DI64"), 2);
		selection.setQuantity(catalog.find("ZX-DO32T"), 1);
		selection.setQuantity(catalog.find("ZX-DI16"), 1);
		final bill = BomFormat.write(selection, catalog);
		check(bill.indexOf("\nline\t3\tTZ-D2032-00\tZX-DO32T\t") > 0 && bill.indexOf("\nline\t4\tTZ-D9040-10\tZX-CC40\t40 针连接器电缆 1.0 m，连接器型模块用\t5\t165.00\t825.00\n"
			+ "line\t5\tTZ-D9040-20\tZX-TB40\t40 针端子台，DIN 导轨安装\t5\t210.00\t1050.00\nsum\t14\t7375.00\n") > 0,
			"connector cables and terminal blocks are ordered with the connector-type modules, priced: " + bill);
	}

	static function plannerFillsExpansionRacks(catalog:Catalog) {
		final selection = byIoNeed("ZC-220", catalog);
		for (code in ["ZP-P30", "ZB-B06"])
			selection.choose(catalog.find(code));
		selection.setRequired(DigitalIn, 160);
		selection.setRequired(DigitalOut, 48);
		selection.setRequired(AnalogIn, 8);
		var plan = new SystemPlan(selection, catalog);
		check(describeRacks(plan) == "ZB-B06/ZP-P30 ZB-E12/ZP-P15*" && new Budget(selection, catalog, plan).problems().length == 0,
			"nine slots beyond the main base take one rack, its base large enough and its supply the cheapest that carries it: " + describeRacks(plan));
		final bill = BomFormat.write(selection, catalog);
		check(SelectionFormat.write(selection, catalog).indexOf("rack=") < 0 && bill.indexOf("\tZX-IF01\t扩展接口模块，装在扩展基板的接口位\t1\t") > 0
			&& bill.indexOf("rack\t扩展基板 1\tZB-E12\tZP-P15\t9\t12\t910\t1500\t220\t300\t120") > 0,
			"planned racks follow from the need: the bill has them, the text does not: " + bill);
		selection.setRequired(DigitalIn, 560);
		plan = new SystemPlan(selection, catalog);
		check(describeRacks(plan) == "ZB-B06/ZP-P30 ZB-E12/ZP-P15* ZB-E12/ZP-P15* ZB-E12/ZP-P15*" && plan.shortfall == null,
			"a larger demand takes more racks, up to the CPU's four bases: " + describeRacks(plan));
		selection.setRequired(DigitalIn, 1000);
		plan = new SystemPlan(selection, catalog);
		check(plan.shortfall == "I/O 需求无法满足：基板都用上仍缺 26 槽（ZC-220 最多带 4 个基板）" && plan.rackCount() == 4,
			"beyond every rack the CPU drives, what is short is named: " + plan.shortfall);
		check(describeOverruns(Remedies.find(selection, catalog)).indexOf("槽位不足：改用 ZC-320（8 个基板）") == 0, "and a CPU that drives more is offered: "
			+ describeOverruns(Remedies.find(selection, catalog)));
		selection.choose(catalog.find("ZC-320"));
		check(new SystemPlan(selection, catalog).shortfall == null, "with it the planner takes the demand");
		selection.setRequired(DigitalIn, 96);
		selection.setRequired(AnalogOut, 40);
		plan = new SystemPlan(selection, catalog);
		final heavy = new Budget(selection, catalog, plan);
		final added = [for (rack in plan.planned) rack.base.code + "/" + rack.power.code];
		added.sort(Reflect.compare);
		check(added.join(" ") == "ZB-E06/ZP-P30 ZB-E06/ZP-P30 ZB-E06/ZP-P50" && heavy.problems().length == 0
			&& heavy.racks.filter(r -> r.slotsUsed < r.slotsAvailable).length > 0,
			"ten outputs of 240 mA at 24 V spread over racks that stay partly free, the cheapest supplies that carry them: " + describeRacks(plan));
	}

	/** Slots, 5 V and 24 V of an expansion rack, run past or eating the reserve: each gets a change of that rack's base or supply. */
	static function expansionRackLimitsHaveRemedies(catalog:Catalog) {
		final cases = [
			// The cheapest first: the larger main base shifts the modules along, or a module moves to the main rack's room.
			{modules: ["ZX-DI16" => 11], reserve: 0, expected: "槽位不足：改用 ZB-B06（6 槽） +90.00 / 扩展基板 1 改用 ZB-E08（8 槽） +110.00"},
			{modules: ["ZX-DI16" => 4, "ZX-DO16R" => 2], reserve: 0, expected: "扩展基板 1 24V 电流超出：移到主基板：ZX-DO16R ×1 +0.00 / 扩展基板 1 改用 ZP-P30"},
			{modules: ["ZX-DI16" => 4, "ZX-EN01" => 5], reserve: 0, expected: "扩展基板 1 5V 电流超出：移到主基板：ZX-EN01 ×1 +0.00 / 扩展基板 1 改用 ZP-D30"},
			{modules: ["ZX-DI16" => 9], reserve: 20, expected: "扩展基板 1 槽位余量不足：扩展基板 1 改用 ZB-E08（8 槽）"},
		];
		for (c in cases) {
			final selection = new Selection();
			for (code in ["ZC-220", "ZP-P30", "ZB-B04"])
				selection.choose(catalog.find(code));
			selection.addRack();
			for (code in ["ZB-E06", "ZP-P15"])
				selection.chooseFor(1, catalog.find(code));
			for (code => quantity in c.modules)
				selection.setQuantity(catalog.find(code), quantity);
			selection.reserve.set(Slots, c.reserve);
			final overruns = Remedies.find(selection, catalog);
			final found = overruns.filter(o -> StringTools.startsWith(c.expected, o.limit + "："));
			check(found.length == 1 && StringTools.startsWith(describeOverruns(found), c.expected), c.expected + " — " + describeOverruns(overruns));
			for (remedy in (found.length == 1 ? found[0].remedies() : [])) {
				final trial = selection.copy();
				remedy.apply(trial);
				check(Remedies.find(trial, catalog).filter(o -> o.limit == found[0].limit).length == 0, '${remedy.advice} fixes ${found[0].limit}');
			}
		}
	}

	static function pinnedModuleStaysThroughReplanningAndText(catalog:Catalog) {
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		editor.change(s -> {
			s.switchMode(ByIoNeed, catalog);
			for (code in ["ZC-220", "ZP-P30", "ZB-B04"])
				s.choose(catalog.find(code));
			s.setRequired(DigitalIn, 96);
			s.setRequired(AnalogIn, 4);
		});
		final aiPiece = () -> editor.plan().pieces.map(p -> p.item.code).indexOf("ZX-AI04");
		final rackOfAi = () -> editor.plan().fill.rackOf[aiPiece()];
		check(editor.plan().rackCount() == 2 && rackOfAi() == 1, "the analogue module follows the inputs into the planned rack");
		editor.change(s -> s.pinPiece(aiPiece(), 0, catalog));
		check(rackOfAi() == 0 && editor.plan().fill.racks[0].filter(u -> u != null && u.pinned).length == 1, "pinned to the main rack it stands there");
		editor.change(s -> s.pinPiece(aiPiece(), 2, catalog));
		check(rackOfAi() == 2 && editor.plan().rackCount() == 3, "pinned to a third rack, the planner adds it");
		editor.change(s -> s.setRequired(DigitalIn, 16));
		check(rackOfAi() == 2 && editor.plan().rackCount() == 3, "less demand re-plans the rest; the pinned module keeps its rack");
		final bill = BomFormat.write(editor.selection, catalog);
		check(StringTools.startsWith(bill, "TZBOM/5\n") && ~/\nrack\t扩展基板 2\t[^\n]*\nslots\tZX-AI04(\t)*\npinned\t1\ncabinet\t[^\n]*\n(rack|overall)/.match(bill)
			&& bill.split("\npinned\t").length == 2, "the bill says which slot holds the pinned module: " + bill);
		final text = editor.text();
		check(StringTools.startsWith(text, "TZSEL/4\n") && StringTools.endsWith(text, "\norder=ZX-DI16:1,ZX-AI04:1@2"), "the pin is in the text: " + text);
		editor.load(text);
		check(editor.text() == text && rackOfAi() == 2, "and comes back with it");
		editor.change(s -> s.switchMode(ByModule, catalog));
		editor.apply(ShowRack(1));
		check(editor.selection.racks.length == 2 && editor.apply(RemoveShownRack) && rackOfAi() == 1 && editor.plan().pieces[aiPiece()].rack == 1,
			"by module the planned racks are the user's; removing one hands its successor's pins on");
		for (damaged in ["TZSEL/3\nmode=module\nqty=ZX-DI16:1\norder=ZX-DI16:1@0", "TZSEL/4\nmode=module\nqty=ZX-DI16:1\norder=ZX-DI16:1@8",
			"TZSEL/4\nmode=module\nqty=ZX-DI16:1\norder=ZX-DI16:1@0@0"])
			check(isRefusedSelection(damaged, catalog), 'damaged pin refused: ${StringTools.replace(damaged, "\n", "|")}');
	}

	static function reserveIsKeptByBudgetsAndPlanner(catalog:Catalog) {
		final selection = new Selection();
		for (code in ["ZC-110", "ZP-P15", "ZB-B08"])
			selection.choose(catalog.find(code));
		selection.setQuantity(catalog.find("ZX-DO16R"), 1);
		selection.setQuantity(catalog.find("ZX-AI04"), 1);
		selection.setQuantity(catalog.find("ZX-DI64"), 3);
		for (limit in LimitKind.all)
			selection.reserve.set(limit, limit == Slots || limit == Points ? 20 : limit == Current5V ? 10 : 15);
		final budget = new Budget(selection, catalog);
		check(budget.main().slotsUsable == 6 && budget.main().usable5V == 1350 && budget.main().usable24V == 255 && budget.usableIoPoints == 204,
			"the reserve is rounded up to whole slots, mA and points");
		check(budget.reserveProblems().join("|") == "24V 电流余量不足：已用 300 mA，留 15% 余量只可用 255 mA|I/O 点数余量不足：已用 236 点，留 20% 余量只可用 204 点",
			"eating into it is told, within the limits themselves: " + budget.reserveProblems().join("|"));
		final text = SelectionFormat.write(selection, catalog);
		check(text == "TZSEL/4\nmode=module\ncpu=ZC-110\npower=ZP-P15\nbase=ZB-B08\nreserve=slots:20,5V:10,24V:15,points:20\nqty=ZX-DI64:3\nqty=ZX-DO16R:1\nqty=ZX-AI04:1"
			&& SelectionFormat.write(SelectionFormat.read(text, catalog).value.selection, catalog) == text, "the reserve is saved: " + text);
		final bill = BomFormat.write(selection, catalog);
		check(StringTools.startsWith(bill, "TZBOM/5\n") && bill.indexOf("\nreserve\t20\t10\t15\t20\n") > 0, "and stated in the bill: " + bill);
		for (damaged in ["reserve=slots:20", "reserve=slots:51,5V:0,24V:0,points:0", "reserve=5V:1,slots:0,24V:0,points:0", "reserve=slots:0,5V:0,24V:0,points:0"])
			check(isRefusedSelection("TZSEL/4\nmode=module\n" + damaged, catalog), 'damaged reserve refused: $damaged');
		check(isRefusedSelection("TZSEL/3\nmode=module\nreserve=slots:20,5V:0,24V:0,points:0", catalog), "version 3 knows no reserve");

		final racks = byIoNeed("ZC-220", catalog);
		for (code in ["ZP-P30", "ZB-B08"])
			racks.choose(catalog.find(code));
		racks.setRequired(DigitalIn, 128);
		check(describeRacks(new SystemPlan(racks, catalog)) == "ZB-B08/ZP-P30", "eight modules fill the main base");
		racks.reserve.set(Slots, 20);
		final kept = new SystemPlan(racks, catalog);
		check(describeRacks(kept) == "ZB-B08/ZP-P30 ZB-E06/ZP-P15*" && new Budget(racks, catalog, kept).reserveProblems().length == 0,
			"with 20 % of the slots kept free, the planner adds a rack: " + describeRacks(kept));
	}

	/** A later edition: ZX-DI16 discontinued in favour of ZX-DI16B, ZX-EN01 gone, ZB-B06 dearer. */
	static function discontinuedItemsAreKeptMarkedAndReplaced(shipped:String) {
		final later = CatalogParser.parse(shipped.replace('edition="2026.2"', 'edition="2027.1"')
			.replace('code="ZX-DI16" order="TZ-D1016-00"', 'code="ZX-DI16" replacement="ZX-DI16B" order="TZ-D1016-00"')
			.replace('<item kind="comm" code="ZX-EN01"', '<item kind="di" code="ZX-DI16B" order="TZ-D1016-01" price="720.00" di="16" i5v="55"/><x')
			.replace('price="410.00"', 'price="450.00"')).value;
		final text = "TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-DI16:3\nqty=ZX-EN01:1";
		final editor = new SelectionEditor(later, _ -> {}, () -> {});
		final read = editor.load(text).value;
		check(editor.text() == text
			&& read.notice() == "已停产，保留并标为停产：ZX-DI16（替代型号 ZX-DI16B）；现用产品目录中没有的 1 项保留原样，不计入任何预算：ZX-EN01",
			"discontinued and vanished items load kept, named, and save back in their place: " + read.notice());
		final bill = BomFormat.write(editor.selection, editor.catalog);
		check(StringTools.startsWith(bill, "TZBOM/5\ncurrency\tCNY\nedition\t2027.1\t2026-12-07\n") && bill.indexOf("\tZB-B06\t6 槽基板\t1\t450.00\t450.00\n") > 0
			&& bill.indexOf("\tZX-DI16\t16 点 DC24V 输入，源型/漏型\t3\t680.00\t2040.00\ndiscontinued\t4\tZX-DI16B\n") > 0
			&& bill.indexOf("\tZX-EN01\t\t1\t\t\nunknown\t5\nsum\t6\t10350.00\n") > 0 && bill.indexOf("\ncabinet\t291.5\t23.7\t1\n") > 0,
			"the bill marks them, names the successor, counts the unknown line in no total, and says which edition priced it: " + bill);
		final overruns = editor.overruns().filter(o -> o.limit.indexOf("已停产") > 0);
		check(describeOverruns(overruns) == "ZX-DI16 已停产：改用替代型号 ZX-DI16B +120.00",
			"the status line offers the successor: " + describeOverruns(overruns));
		editor.change(overruns[0].remedies()[0].apply);
		check(editor.text() == "TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-EN01:1\nqty=ZX-DI16B:3"
			&& later.plannerDefault(DigitalIn).code != "ZX-DI16", "applied, the successor takes its place; the planner never picks a discontinued module: "
			+ editor.text());
		editor.load("TZSEL/4\nmode=module\nedition=2026.2\nreserve=slots:10,5V:0,24V:0,points:0");
		check(editor.load("TZSEL/4\nmode=module\nedition=2026.2\nreserve=slots:10,5V:0,24V:0,points:0").value.notice() == "此选型按产品目录 2026.2 版保存，价格按现用的 2027.1 版",
			"the edition a selection was saved with is told when another is in use");
		editor.change(s -> s.reserve.set(Slots, 20));
		check(editor.text() == "TZSEL/4\nmode=module\nedition=2027.1\nreserve=slots:20,5V:0,24V:0,points:0", "a change records the edition in use: " + editor.text());
	}


	/** Typing, an open dialog and opening a file change the selection only as the engineer means. */
	static function nothingChangesBehindTheEngineersBack(catalog:Catalog, shipped:String) {
		// "19 → 24" typed over the AO need passes through "2", which would cut the two pinned ZX-AO04 to one.
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		editor.change(s -> {
			s.switchMode(ByIoNeed, catalog);
			for (code in ["ZC-220", "ZP-P30", "ZB-B06"])
				s.choose(catalog.find(code));
			s.setRequired(AnalogOut, 19);
		});
		final ao04 = () -> [for (i in 0...editor.plan().pieces.length) if (editor.plan().pieces[i].item.code == "ZX-AO04") i];
		for (i in ao04().slice(0, 2))
			editor.change(s -> s.pinPiece(i, 0, catalog));
		final pinned = () -> editor.plan().pieces.filter(p -> p.item.code == "ZX-AO04" && p.isPinned()).length;
		final before = editor.text();
		final field = new CountEntry(19, Selection.MAX_REQUIRED_POINTS);
		check(field.typed("2") == null && field.typed("24") == null && editor.text() == before, "typing is no change until the field is left");
		final count = field.take();
		check(count == 24 && field.take() == null && editor.change(s -> s.setRequired(AnalogOut, count)) && ao04().length == 6 && pinned() == 2,
			"leaving the field takes 24 once, and both pins stay: " + editor.text());
		check(editor.apply(Undo) && editor.text() == before, "one undo step takes 19 → 24 back");
		field.typed("2");
		check(field.typed("2x") == "只能输入数字，仍为 24" && field.typed("99999") == "超出范围：0–9999，仍为 24" && field.take() == null,
			"a refused text applies nothing, not even the number typed on the way to it");
		editor.hold(true);
		check(!editor.apply(Choose(catalog.find("ZC-110"))) && !editor.change(s -> s.choose(catalog.find("ZP-P15"))) && !editor.apply(Undo)
			&& editor.text() == before, "keys that reach the screen behind an open dialog change nothing");
		editor.hold(false);

		// The notices of an open go with their cause, and do not hide the limits.
		final later = CatalogParser.parse(shipped.replace('edition="2026.2"', 'edition="2027.1"')
			.replace('code="ZX-DI16" order="TZ-D1016-00"', 'code="ZX-DI16" replacement="ZX-DI16B" order="TZ-D1016-00"')
			.replace('<item kind="comm" code="ZX-EN01"', '<item kind="di" code="ZX-DI16B" order="TZ-D1016-01" price="720.00" di="16" i5v="55"/><x')).value;
		final opened = new SelectionEditor(later, _ -> {}, () -> {});
		opened.load("TZSEL/4\nmode=module\nedition=2026.2\ncpu=ZC-110\npower=ZP-P15\nbase=ZB-B04\nreserve=slots:50,5V:0,24V:0,points:0\nqty=ZX-DI16:3");
		final screen = new ScreenState(opened, 12);
		check(screen.notices == "已停产，保留并标为停产：ZX-DI16（替代型号 ZX-DI16B）；此选型按产品目录 2026.2 版保存，价格按现用的 2027.1 版"
			&& screen.reserveWarning != null, "the open's notices and the limit side by side: " + screen.notices + " | " + screen.reserveWarning);
		opened.change(opened.overruns().filter(o -> o.limit.indexOf("已停产") > 0)[0].remedies()[0].apply);
		check(opened.openNotice() == null, "the module replaced, the selection changed with this edition: nothing left " + opened.openNotice());
		check(opened.apply(Undo) && opened.openNotice().indexOf("ZX-DI16（") >= 0, "undone, the cause and its notice are back");
		opened.load("TZSEL/1\nmode=module\ncpu=ZX-DI16\nqty=ZX-DI08:1");
		check(opened.openNotice() == "以下型号不在当前产品目录中，已忽略：ZX-DI16" && opened.change(s -> s.setQuantity(later.find("ZX-DI08"), 2))
			&& opened.openNotice() == null, "a code left out is told while the selection is the one opened");
		final damaged = new SelectionEditor(CatalogParser.parse(shipped.replace('code="ZX-AO02"', 'code="!"')).value, _ -> {}, () -> {});
		damaged.load("TZSEL/1\nmode=module\ncpu=ZC-110");
		check(new ScreenState(damaged, 12).notices == "产品目录中有 1 项数据损坏或重复，已跳过。", "the catalogue's damaged entries are told after an open too");

		// Saved with a later edition: a pick this catalogue lacks, its pieces, pins and the reserve stay until the engineer chooses.
		final text = "TZSEL/4\nmode=io\nedition=2026.3\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B12\nreserve=slots:10,5V:0,24V:0,points:0\n"
			+ "need=DI:320,DO:0,AI:0,AO:0\npick=DI:ZX-DI32B,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04\norder=ZX-DI32B:2@0,ZX-DI32B:8";
		final read = editor.load(text).value;
		final planned = () -> describe(IoPlanner.plan(editor.selection, editor.catalog));
		check(editor.text() == text && planned() == "ZX-DI32B*10" && read.unknownItems().map(item -> item.code).join(" ") == "ZX-DI32B"
			&& editor.openNotice() == "现用产品目录中没有的 1 项保留原样，不计入任何预算：ZX-DI32B；此选型按产品目录 2026.3 版保存，价格按现用的 2026.2 版",
			"the unknown pick and its pieces stay, named, and save back byte for byte: " + planned() + " | " + editor.openNotice());
		check(editor.change(s -> s.setRequired(DigitalIn, 400)) && planned() == "ZX-DI32B*10", "a changed need is not planned over it");
		check(editor.change(s -> s.replaceUnknown(editor.catalog)) && planned() == "ZX-DI16*25", "let the planner replace it: " + planned());
		final pinnedAway = "TZSEL/4\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B04\nqty=ZX-DI16:2\norder=ZX-DI16:1@2,ZX-DI16:1";
		editor.load(pinnedAway);
		check(editor.text() == pinnedAway && editor.plan().fill.rackOf.join(" ") == "0 0" && editor.pinsPastRacks().length == 1,
			"a pin to a rack the plan lacks is kept, the fill placing the piece");
		check(editor.change(s -> s.replaceUnknown(catalog)) && editor.pinsPastRacks().length == 0, "until the engineer lets it go");
	}

	/**
		A planner pick and a module the catalogue lacks, with pieces between the others: counted,
		they would fill the six slots and make the planner add a rack.
	**/
	static function unknownItemsAreCountedInNoBudget(catalog:Catalog) {
		final text = "TZSEL/2\nmode=io\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nneed=DI:64,DO:80,AI:0,AO:0\n"
			+ "pick=DI:ZX-DI32B,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04\nqty=ZX-EN01:1\nqty=ZX-EN09:1\n"
			+ "order=ZX-DO16T:2,ZX-DI32B:1,ZX-EN09:1,ZX-DO16T:3,ZX-EN01:1,ZX-DI32B:1";
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		editor.load(text);
		final without = editor.selection.copy();
		without.replaceUnknown(editor.catalog);
		without.setRequired(DigitalIn, 0);
		without.setQuantity(editor.catalog.find("ZX-EN09"), 0);
		without.settleSlotOrder(editor.catalog);
		// The bill's figures: its sum, every rack with its slots, all racks together, the warnings.
		final figures = (selection:Selection) -> BomFormat.write(selection, editor.catalog).split("\n")
			.filter(line -> ~/^(sum|rack|slots|overall|warning)\t/.match(line)).join("\n");
		check(editor.text() == text && figures(editor.selection) == figures(without) && figures(without).indexOf("overall\t6\t6\t") > 0
			&& editor.plan().rackCount() == 1, "opened, the selection holds its unknown items and counts none: " + figures(editor.selection));
		final cells = new SlotLayout(editor.selection, editor.catalog, 31);
		final shown = [for (i in 0...cells.slots.length) (cells.slotNumber(i) == null ? "-" : "" + cells.slotNumber(i)) + ":" + cells.slots[i].item.code];
		check(shown.join(" ") == "1:ZX-DO16T 2:ZX-DO16T -:ZX-DI32B -:ZX-EN09 3:ZX-DO16T 4:ZX-DO16T 5:ZX-DO16T 6:ZX-EN01 -:ZX-DI32B"
			&& cells.slotsLeftOut == 0, "the rack shows them in their places, numbered in no slot: " + shown.join(" "));
		check(new ScreenState(editor, 31).notices == "现用产品目录中没有的 2 项保留原样，不计入任何预算：ZX-EN09、ZX-DI32B", "the status line says so: " + new ScreenState(editor, 31).notices);
		check(editor.change(s -> s.replaceUnknown(editor.catalog)) && describe(editor.plan().modules) == "ZX-DI16*4 ZX-DO16T*5 ZX-EN01*1 ZX-EN09*1"
			&& editor.plan().rackCount() == 2, "由规划器替换: the catalogue's module takes the pick's place and is counted: " + describe(editor.plan().modules));
		editor.load("TZSEL/1\nmode=module\npower=ZP-P99");
		check(new ScreenState(editor, 31).choices[1].title == "电源：ZP-P99【目录中未知】", "a choice the list has no row for is named in its title");
	}

	/** Each rack's base and power supply, planned ones marked with *. */
	static function describeRacks(plan:SystemPlan):String {
		return [for (i in 0...plan.rackCount()) plan.bases[i].code + "/" + plan.powers[i].code + (plan.isPlanned(i) ? "*" : "")].join(" ");
	}

	/** A selection by I/O need with `code` chosen. */
	static function byIoNeed(code:String, catalog:Catalog):Selection {
		final selection = new Selection();
		selection.switchMode(ByIoNeed, catalog);
		selection.choose(catalog.find(code));
		return selection;
	}

	static function distinctCount(texts:Array<String>):Int {
		final seen:Map<String, Bool> = [for (text in texts) text => true];
		return [for (text in seen.keys()) text].length;
	}

	static function describe(lines:Array<ModuleLine>):String {
		return lines.map(l -> l.item.code + "*" + l.quantity).join(" ");
	}

	static function describeOverruns(overruns:Array<Overrun>):String {
		return [for (o in overruns) o.limit + "：" + (o.note() != null ? o.note() : o.remedies().map(r -> r.text()).join(" / "))].join(" | ");
	}

	static function describeSlots(layout:SlotLayout):String {
		return layout.slots.map(use -> use == null ? "-" : use.item.code + (use.continued ? "+" : "")).join(" ");
	}

	static function readError(text:String, catalog:Catalog):String {
		return SelectionFormat.read(text, catalog).error;
	}

	static function isRefusedSelection(text:String, catalog:Catalog):Bool {
		final result = SelectionFormat.read(text, catalog);
		return result.value == null && result.error != null && result.error != "";
	}

	static function check(condition:Bool, what:String) {
		if (!condition) {
			failures++;
			Sys.println("FAILED: " + what);
		}
	}
}
