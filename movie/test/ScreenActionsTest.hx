using StringTools;
import orvane.model.*;

/**
	What the screen shows after the user's actions, as the view paints it from ScreenState: the
	need panel's figures, the status line's message, the questions asked, each action one step
	to undo, and each kind of remedy fixing its limit alone.
**/
class ScreenActionsTest {
	static var failures = 0;

	static function main() {
		final catalog = CatalogParser.parse(sys.io.File.getContent(Sys.args()[0])).value;
		needFiguresShowPlannedAndKeptModules(catalog);
		statusLineShowsAFailureFirstUntilTheNextChange(catalog);
		modeSwitchAsksOnlyWithSomethingChosen(catalog);
		openedSelectionAsksAboutWhatTheCatalogueLacks(catalog);
		eachActionIsOneStepToUndo(catalog);
		eachKindOfRemedyFixesItsLimitAlone(catalog);
		if (failures > 0) {
			Sys.println('$failures check(s) failed');
			Sys.exit(1);
		}
		Sys.println("all checks passed");
	}

	static function needFiguresShowPlannedAndKeptModules(catalog:Catalog) {
		final editor = SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B12").modules(["ZX-DI16" => 3, "ZX-EN01" => 1]).rack("ZB-E06", "ZP-P15").editor();
		check(shown(editor).need == null, "by module there are no need figures");
		editor.apply(SwitchMode(ByIoNeed));
		var need = shown(editor).need;
		check(figures(need) == "DI 48 ZX-DI16 ×0 | DO 0 ZX-DO16T ×0 | AI 0 ZX-AI04 ×0 | AO 0 ZX-AO04 ×0"
			&& need.keptText == "保留手选：DI 3 件、扩展基板 1 个" && need.keepsOwnChoice && shown(editor).quantityOf(catalog.find("ZX-EN01")) == 1,
			"switched, the modules and the rack are kept, the points filled in from them: " + figures(need) + " " + need.keptText);
		editor.apply(SetRequired(DigitalIn, 48 + 16 * 30));
		editor.apply(SetPick(catalog.find("ZX-AI08")));
		editor.apply(SetRequired(AnalogIn, 9));
		need = shown(editor).need;
		check(figures(need) == "DI 528 ZX-DI16 ×30 | DO 0 ZX-DO16T ×0 | AI 9 ZX-AI08 ×2 | AO 0 ZX-AO04 ×0"
			&& need.keptText.startsWith("保留手选：DI 3 件、扩展基板 1 个；规划扩展基板 ") && need.keptText.endsWith(" 个"),
			"the planner adds modules for what the kept ones lack, and racks for them: " + figures(need) + " " + need.keptText);
		final billed = shown(editor).purchase.filter(line -> line.item.code == "ZX-DI16")[0];
		check(billed.quantity == 3 + 30, "the bill orders the kept and the planned pieces the panel shows: " + billed.quantity);
		check([for (f in need.kinds) f.kind.pointsStep].join(" ") == "8 8 1 1", "digital points step by eight, analogue channels by one");
		editor.apply(ReplanAll);
		need = shown(editor).need;
		check(!need.keepsOwnChoice && need.keptText.startsWith("规划扩展基板 ") && figures(need).startsWith("DI 528 ZX-DI16 ×33 |"),
			"given up to the planner, only its racks are told: " + figures(need) + " " + need.keptText);
		editor.apply(SetRequired(DigitalIn, 8));
		check(shown(editor).need.keptText == "", "nothing kept, nothing planned past the main rack: nothing is told");
		editor.load("TZSEL/2\nmode=io\ncpu=ZC-220\nneed=DI:64,DO:0,AI:0,AO:0\npick=DI:ZX-DI32B,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04");
		need = shown(editor).need;
		check(need.kinds[0].pickText == "ZX-DI32B ?" && need.kinds[0].pickMarked && !need.kinds[1].pickMarked, "a pick the catalogue lacks is marked");
	}

	static function statusLineShowsAFailureFirstUntilTheNextChange(catalog:Catalog) {
		final shipped = sys.io.File.getContent(Sys.args()[0]);
		final damaged = CatalogParser.parse(shipped.replace('code="ZX-AO02"', 'code="!"')).value;
		final editor = new SelectionEditor(damaged, _ -> {}, () -> {});
		editor.load("TZSEL/1\nmode=module\ncpu=ZC-110");
		var state = shown(editor);
		check(state.statusMessage == "产品目录中有 1 项数据损坏或重复，已跳过。" && state.statusKind == Notice, "the notices alone read as a notice");
		editor.load("TZSEL/9\nmode=module");
		state = shown(editor);
		check(state.statusMessage == "无法读取选型数据：不支持的选型数据版本 TZSEL/9。当前选型保持不变。；产品目录中有 1 项数据损坏或重复，已跳过。"
			&& state.statusKind == Failure && editor.text() == "TZSEL/1\nmode=module\ncpu=ZC-110", "a text not read comes first, as a failure: " + state.statusMessage);
		check(!editor.apply(Choose(damaged.find("ZC-110"))) && shown(editor).statusKind == Failure, "an action that changes nothing keeps it");
		editor.load(null);
		check(shown(editor).statusMessage.startsWith("无法读取选型数据：数据为空。"), "no text at all is told too");
		check(editor.apply(Choose(damaged.find("ZC-120"))) && shown(editor).statusMessage == "产品目录中有 1 项数据损坏或重复，已跳过。"
			&& shown(editor).statusKind == Notice, "the next change takes the failure away, the notice stays");
		final full = SelectionBuilder.on(catalog, "ZC-110", "ZP-P15", "ZB-B04").modules(["ZX-DI16" => 4]).reserve(Slots, 20).editor();
		check(shown(full).statusMessage == "" && shown(full).reserveWarning != null, "where the reserve is eaten is told apart: " + shown(full).reserveWarning);
	}

	static function modeSwitchAsksOnlyWithSomethingChosen(catalog:Catalog) {
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		check(shown(editor).switchQuestion == null, "with nothing chosen the switch goes at once");
		editor.apply(Choose(catalog.find("ZC-110")));
		var question = shown(editor).switchQuestion;
		check(question != null && question.heading == "切换到“按I/O需求选型”？" && question.proceed == "切换" && question.keep == null
			&& question.text.indexOf("新的未命名选型") > 0, "with something chosen it asks first");
		editor.apply(SwitchMode(ByIoNeed));
		question = shown(editor).switchQuestion;
		check(question.heading == "切换到“按模块选型”？" && question.text.startsWith("按 I/O 需求得出的模块全部保留"), "and the other way");
	}

	static function openedSelectionAsksAboutWhatTheCatalogueLacks(catalog:Catalog) {
		final editor = new SelectionEditor(catalog, _ -> {}, () -> {});
		final asked = (text:String) -> Questions.opened(editor.load(text).value, editor);
		check(asked("TZSEL/1\nmode=module\ncpu=ZC-110\nqty=ZX-DI16:1") == null, "a selection the catalogue has all of asks nothing");
		var question = asked("TZSEL/2\nmode=module\ncpu=ZC-110\nqty=ZX-EN09:1");
		check(question.proceed == null && question.keep == "保持原样" && question.text.startsWith("此选型按现用的产品目录 2026.2 版：ZX-EN09（目录中没有）。"),
			"a module the catalogue lacks can only be kept: " + question.text);
		question = asked("TZSEL/4\nmode=io\nedition=2026.3\ncpu=ZC-220\nneed=DI:64,DO:0,AI:0,AO:0\npick=DI:ZX-DI32B,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04");
		check(question.proceed == "由规划器替换" && question.text.startsWith("此选型按产品目录 2026.3 版保存，按现用的产品目录 2026.2 版：ZX-DI32B（目录中没有）。"),
			"a planner pick it lacks may be replaced: " + question.text);
		final before = editor.text();
		check(editor.apply(ReplaceUnknown) && shown(editor).need.kinds[0].pickText == "ZX-DI16" && editor.apply(Undo) && editor.text() == before
			&& !editor.canUndo(), "replaced in one step to undo");
		question = asked("TZSEL/4\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B04\nqty=ZX-DI16:2\norder=ZX-DI16:1@2,ZX-DI16:1");
		check(question.proceed == "由规划器替换" && question.text.indexOf("ZX-DI16（固定在扩展基板 2，现已没有该基板）") > 0, "so may a pin past the racks: " + question.text);
	}

	static function eachActionIsOneStepToUndo(catalog:Catalog) {
		final told:Array<String> = [];
		final editor = SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B04").modules(["ZX-DI16" => 2, "ZX-DO16T" => 1]).editor(told);
		final project:Map<String, String> = ["name" => "一号线"];
		final reserve = new Reserve();
		reserve.set(Current5V, 10);
		final steps:Array<SelectionAction> = [
			SetQuantity(catalog.find("ZX-AI04"), 1), MoveSlotPiece(2, -1), AddRack, Choose(catalog.find("ZB-E06")), ClearChoice(ExpansionBase),
			RemoveShownRack, SetReserve(reserve), SetProject(project), SwitchMode(ByIoNeed), SetRequired(DigitalOut, 40), SetPick(catalog.find("ZX-DO32T")),
			ReplanAll
		];
		final texts = [editor.text()];
		for (step in steps) {
			check(editor.apply(step) && editor.text() != texts[texts.length - 1], 'changes the selection: $step');
			texts.push(editor.text());
		}
		for (i in 0...steps.length) {
			editor.apply(Undo);
			check(editor.text() == texts[texts.length - 2 - i], 'one undo takes back ${steps[steps.length - 1 - i]}');
		}
		check(!editor.apply(Undo) && editor.apply(Redo) && editor.text() == texts[1], "no more to undo; redo makes the first again");
		final switched = told.indexOf("mode");
		final switchStep = [for (i in 0...steps.length) if (steps[i].match(SwitchMode(_))) i][0];
		check(told.length == 2 * steps.length + 3 && told[switched - 1] == texts[switchStep + 1] && told.lastIndexOf("mode") > switched,
			"the host hears each new text once, a switch of mode right after its text, an undo crossing one too: " + told.length);

		final typed = SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B12").modules(["ZX-DI16" => 5]).editor();
		for (count in [1, 12])
			typed.apply(SetQuantity(catalog.find("ZX-DO16T"), count), "typing");
		check(typed.apply(Undo) && !typed.canUndo() && typed.apply(ShowRack(0)) == false, "one typing is one step; showing a rack is none");
		final pinned = SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B04").modules(["ZX-DI16" => 2]).rack("ZB-E06", "ZP-P15").editor();
		check(pinned.apply(PinPiece(1, 1)) && shown(pinned).rackShown == 1 && shown(pinned).pieces[1].rack == 1 && shown(pinned).slots.slots[0].item.code == "ZX-DI16",
			"a pinned piece is shown on its rack");
		check(pinned.apply(Undo) && shown(pinned).pieces[1].rack == SlotPiece.UNPINNED && !pinned.canUndo(), "and unpinned in one step");
	}

	/** Move, larger base, stronger supply, new rack, larger CPU: each fixes its limit, runs past none it did not, and is one step to undo. */
	static function eachKindOfRemedyFixesItsLimitAlone(catalog:Catalog) {
		final crowded = () -> SelectionBuilder.on(catalog, "ZC-110", "ZP-P15", "ZB-B08").modules(["ZX-DI64" => 4, "ZX-DO16T" => 2, "ZX-AI04" => 3]);
		final cases = [
			{built: crowded(), limit: "槽位不足", remedy: "改用 ZB-B12（12 槽）"},
			{built: crowded(), limit: "24V 电流超出", remedy: "改用 ZP-P30"},
			{
				built: SelectionBuilder.on(catalog, "ZC-120", "ZP-P30", "ZB-B12").modules(["ZX-PB01" => 4, "ZX-EN01" => 5]),
				limit: "5V 电流超出",
				remedy: "改用 ZP-P50"
			},
			{built: crowded(), limit: "I/O 点数超出", remedy: "改用 ZC-120（512 点）"},
			{built: crowded(), limit: "槽位不足", remedy: "改用 ZC-120（2 个基板）并添加扩展基板"},
			{built: SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B12").modules(["ZX-DI16" => 13]), limit: "槽位不足", remedy: "添加扩展基板 ZB-E06 + ZP-P15"},
			{
				built: SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B04").rack("ZB-E06", "ZP-P15").modules(["ZX-DI16" => 4, "ZX-DO16R" => 2]),
				limit: "扩展基板 1 24V 电流超出",
				remedy: "移到主基板：ZX-DO16R ×1"
			},
			{
				built: SelectionBuilder.on(catalog, "ZC-220", "ZP-P30", "ZB-B04").rack("ZB-E06", "ZP-P15").modules(["ZX-DI16" => 4, "ZX-DO16R" => 2]),
				limit: "扩展基板 1 24V 电流超出",
				remedy: "扩展基板 1 改用 ZP-P30"
			}
		];
		for (c in cases) {
			final editor = c.built.editor();
			final before = editor.text();
			final limitsBefore = limits(shown(editor));
			final overrun = shown(editor).overruns.filter(o -> o.limit == c.limit)[0];
			final remedy = overrun == null ? null : overrun.remedies().filter(r -> r.advice.startsWith(c.remedy))[0];
			if (remedy == null) {
				check(false, '${c.limit} offers ${c.remedy}: ' + limitsBefore.join(" | "));
				continue;
			}
			check(editor.apply(ApplyRemedy(remedy)), '${c.remedy} changes the selection');
			final after = limits(shown(editor));
			check(!after.contains(c.limit) && after.filter(l -> !limitsBefore.contains(l)).length == 0,
				'${c.remedy} fixes ${c.limit} and runs past nothing new: ' + after.join(" | "));
			check(editor.apply(Undo) && editor.text() == before && !editor.canUndo(), '${c.remedy} is one step to undo');
		}
	}

	static function shown(editor:SelectionEditor):ScreenState {
		return new ScreenState(editor, 31);
	}

	static function limits(state:ScreenState):Array<String> {
		return [for (overrun in state.overruns) overrun.limit];
	}

	/** Each kind as its row shows it: tag, required points, the pick and the planned count. */
	static function figures(need:NeedFigures):String {
		return [for (f in need.kinds) '${f.kind.tag} ${f.required} ${f.pickText} ×${f.planned}'].join(" | ");
	}

	static function check(condition:Bool, what:String) {
		if (!condition) {
			failures++;
			Sys.println("FAILED: " + what);
		}
	}
}
