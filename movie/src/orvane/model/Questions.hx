package orvane.model;

/** The questions the screen asks before a change of the user's, and after a selection is opened. */
class Questions {
	/**
		Switching with something chosen asks first: the selection carries over unchanged, but it
		becomes a new untitled one (the host forgets its file), which the user should know before.
		Null when the switch goes at once: nothing is chosen, or the mode is `mode` already.
	**/
	public static function modeSwitch(selection:Selection, mode:SelectionMode):Null<Question> {
		if (selection.mode == mode || selection.isEmpty())
			return null;
		final toModules = mode == ByModule;
		return {
			heading: toModules ? "切换到“按模块选型”？" : "切换到“按I/O需求选型”？",
			text: (toModules ? "按 I/O 需求得出的模块全部保留，改为手动设定的数量。" : "已选的模块全部保留，所需点数按这些模块和 CPU 提供的点数填入；提高点数时再补充模块。")
				+ "\n切换后当前选型成为新的未命名选型：保存时需要重新输入文件名。可用“撤销”（Ctrl+Z）切换回来。",
			proceed: "切换",
			keep: null
		};
	}

	/**
		A selection read with items the catalogue in use does not have, or pins to racks it plans
		no more, is never changed by opening it: the engineer is asked whether to keep it as it is
		(the host then forgets its file, so that file is not overwritten with what this catalogue
		makes of it) or, where there is something to replace, to let the planner plan with the
		catalogue's own modules where it picked one of those and the fill place the pinned pieces
		(ReplaceUnknown, one step to undo). Null when the selection holds neither.
	**/
	public static function opened(read:SelectionReadResult, editor:SelectionEditor):Null<Question> {
		final unknown = read.unknownItems();
		final pins = editor.pinsPastRacks();
		if (unknown.length == 0 && pins.length == 0)
			return null;
		final selection = editor.selection;
		final replaceable = selection.unknownPicks().length > 0 || pins.length > 0;
		final inUse = editor.catalog.edition == null ? "现用的产品目录" : '现用的产品目录 ${editor.catalog.edition} 版';
		final what = [for (item in unknown) item.code + "（目录中没有）"].concat([
			for (piece in pins) piece.item.code + '（固定在${RackBudget.labelOf(piece.rack)}，现已没有该基板）'
		]);
		return {
			heading: "选型中有现用产品目录无法照原样规划的内容",
			text: (selection.edition == null ? "此选型" : '此选型按产品目录 ${selection.edition} 版保存，') + '按$inUse：' + what.join("、") + "。\n"
				+ "保持原样：选型不作任何改动，目录中没有的型号保留并标为“目录中未知”，不占槽位，不计入任何预算；为免覆盖原文件，保存时需另存为新文件。"
				+ (replaceable ? "\n由规划器替换：改用现用目录中的模块并重新排布，可撤销。" : ""),
			proceed: replaceable ? "由规划器替换" : null,
			keep: "保持原样"
		};
	}
}
