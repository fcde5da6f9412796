package orvane.ui;

import flash.display.Sprite;
import flash.events.Event;
import flash.events.KeyboardEvent;
import flash.ui.Keyboard;
import orvane.model.Catalog;
import orvane.model.CatalogItem;
import orvane.model.ModuleKind;
import orvane.model.Questions;
import orvane.model.ScreenState;
import orvane.model.Selection;
import orvane.model.SelectionAction;
import orvane.model.SelectionEditor;
import orvane.model.SelectionMode;
import orvane.model.SlotUse;

/** The whole selection guide once the catalogue is loaded; 1000 x 600. */
class SelectionScreen extends Sprite {
	static inline final TOP = 52;
	static inline final BOTTOM = 556;
	static inline final SLOTS_TOP = 438;

	final editor:SelectionEditor;
	final projectButton:PushButton;
	final undoButton:PushButton;
	final redoButton:PushButton;
	final moduleTab:PushButton;
	final needTab:PushButton;
	/** The choice lists; `kind` Base and ExpansionBase share a place, shown by the rack picked. */
	final choices:Array<{kind:ModuleKind, panel:ChoicePanel}> = [];
	final racks:Null<RackPanel>;
	final modulePanel:ModulePanel;
	final needPanel:NeedPanel;
	final totals:TotalsPanel;
	final bom:BomPanel;
	final slotView:SlotPanel;
	final details:DetailsLine;
	final statusBar:StatusBar;
	final onUserModeChange:() -> Void;
	/** What the screen shows now: the last state painted. */
	var state:ScreenState;
	var navigator:Null<FocusNavigator>;
	var dialog:Null<ConfirmDialog>;
	var projectDialog:Null<ProjectDialog>;
	var reserveDialog:Null<ReserveDialog>;
	var cabinetDialog:Null<CabinetDialog>;
	var rackDialog:Null<RackChoiceDialog>;

	/** `onUserModeChange`: a change of the user's switched the mode; `onUserChange`: the selection text after a change by the user. */
	public function new(catalog:Catalog, onUserModeChange:() -> Void, onUserChange:String -> Void) {
		super();
		this.onUserModeChange = onUserModeChange;
		editor = new SelectionEditor(catalog, onUserChange, onUserModeChange);

		graphics.beginFill(Palette.HEADER);
		graphics.drawRect(0, 0, 1000, 44);
		graphics.endFill();
		addChild(TextFactory.label("Torvex-Z 系列可编程控制器  模块选型", 16, 9, 440, 18, Palette.TEXT_LIGHT));
		projectButton = new PushButton("项目信息", 470, 10, 76, 24, editProject, 12);
		undoButton = new PushButton("撤销", 560, 10, 60, 24, undo, 12);
		redoButton = new PushButton("重做", 626, 10, 60, 24, () -> act(Redo), 12);
		moduleTab = new PushButton("按模块选型", 704, 8, 136, 28, () -> userSwitchesMode(ByModule), 14);
		needTab = new PushButton("按I/O需求选型", 848, 8, 136, 28, () -> userSwitchesMode(ByIoNeed), 14);
		for (button in [projectButton, undoButton, redoButton, moduleTab, needTab])
			addChild(button);

		var top:Float = TOP;
		final expansionBases = catalog.ofKind(ExpansionBase);
		for (kind in [ModuleKind.Cpu, ModuleKind.Power, ModuleKind.Base, ModuleKind.ExpansionBase]) {
			if (kind == ExpansionBase && expansionBases.length == 0)
				continue;
			final panel = new ChoicePanel(kind.label, catalog.ofKind(kind), 10, top, 290, item -> act(Choose(item)), () -> act(ClearChoice(kind)));
			choices.push({kind: kind, panel: panel});
			addChild(panel);
			if (kind != Base || expansionBases.length == 0)
				top += panel.height + 8;
		}
		if (expansionBases.length > 0) {
			top += Math.max(0, ChoicePanel.heightFor(catalog.ofKind(Base).length) - ChoicePanel.heightFor(expansionBases.length));
			racks = new RackPanel(10, top, 290, Math.max(96, BOTTOM - top), Selection.MAX_RACKS, index -> act(ShowRack(index)), () -> act(AddRack),
				() -> act(RemoveShownRack));
			addChild(racks);
		} else if (top < BOTTOM - 60) {
			racks = null;
			final help = new Panel("操作提示", 10, top, 290, BOTTOM - top);
			help.addChild(TextFactory.paragraph("选择 CPU 单元、电源和基板，再按模块或按 I/O 需求添加模块。\n"
				+ "键盘：Tab 切换区域，方向键在区域内移动，空格/回车确认；Ctrl+Z 撤销，Ctrl+Y 重做；"
				+ "槽位中 Shift+←/→ 移动模块。", 6, Panel.TITLE_HEIGHT + 4, 278, BOTTOM - top - Panel.TITLE_HEIGHT - 6, 12, Palette.TEXT_DIM));
			addChild(help);
		} else {
			racks = null;
		}

		final setQuantity = (item:CatalogItem, quantity:Int, typingKey:Null<String>) -> act(SetQuantity(item, quantity), typingKey);
		modulePanel = new ModulePanel(catalog, 310, TOP, 330, 304, setQuantity);
		needPanel = new NeedPanel(catalog, 310, TOP, 330, 304, (kind, points, typingKey) -> act(SetRequired(kind, points), typingKey),
			item -> act(SetPick(item)), setQuantity, () -> act(ReplanAll));
		totals = new TotalsPanel(310, TOP + 312, 330, BOTTOM - TOP - 312, editReserve, editCabinet);
		bom = new BomPanel(650, TOP, 340, SLOTS_TOP - 8 - TOP);
		slotView = new SlotPanel(650, SLOTS_TOP, 340, BOTTOM - SLOTS_TOP, callUpRow, (piece, direction) -> act(MoveSlotPiece(piece, direction)), askWhereTo,
			pin);
		for (panel in [modulePanel, needPanel, totals, bom, slotView])
			addChild(panel);
		details = new DetailsLine(this, 10, BOTTOM + 3, 980, catalog.editionText());
		addChild(details);
		statusBar = new StatusBar(10, BOTTOM + 22, 980, remedy -> act(ApplyRemedy(remedy)));
		addChild(statusBar);
		addEventListener(Event.ADDED_TO_STAGE, _ -> startKeyboard());
		refresh();
	}

	/** The selection as text; "" while nothing is selected. */
	public function saveText():String {
		takeOpenDialog();
		return editor.text();
	}

	/** The bill of materials for the host (BomFormat); "" while nothing is selected. */
	public function bomText():String {
		takeOpenDialog();
		return editor.bomText();
	}

	/**
		The host reads the selection (to save it, export it, or see whether it changed before a new
		one replaces it): what the open project or reserve dialog holds is taken first, as its "确定"
		would, so what was typed is never dropped in silence.
	**/
	function takeOpenDialog():Void {
		takeTyped();
		for (open in ([projectDialog, reserveDialog, cabinetDialog] : Array<Null<ModalDialog>>))
			if (open != null)
				open.confirm();
	}

	/** The player's page has the keyboard again: the focus goes back where it was. */
	public function keyboardBack():Void {
		if (navigator != null)
			navigator.comeBack();
	}

	/** Replaces the selection with one read from text; a text that cannot be read changes nothing. */
	public function loadText(text:Null<String>):Bool {
		dismissDialogs();
		final result = editor.load(text);
		refresh();
		if (result.value == null)
			return false;
		final question = Questions.opened(result.value, editor);
		if (question != null && navigator != null)
			showConfirmDialog().ask(question, () -> act(ReplaceUnknown), onUserModeChange);
		return true;
	}

	/** Made when first needed: most sessions never need it. */
	function showConfirmDialog():ConfirmDialog {
		if (dialog == null) {
			dialog = new ConfirmDialog(1000, 600, navigator);
			addChild(dialog);
		}
		return dialog;
	}

	public function startNew():Void {
		dismissDialogs();
		editor.startNew();
		refresh();
	}

	/** The count field that has the keyboard, if one has. */
	function focusedStepper():Null<QuantityStepper> {
		return stage == null || stage.focus == null ? null : Std.downcast(stage.focus.parent, QuantityStepper);
	}

	/** The host replaced the selection: the dialogs close, and what was typed in a count field is forgotten. */
	function dismissDialogs():Void {
		final stepper = focusedStepper();
		if (stepper != null)
			stepper.dropTyped();
		if (dialog != null)
			dialog.withdraw();
		escapeDialogs();
	}

	/** Esc: the open dialog closes as its cancel button closes it. */
	function escapeDialogs():Void {
		for (open in ([dialog, projectDialog, reserveDialog, rackDialog, cabinetDialog] : Array<Null<ModalDialog>>))
			if (open != null)
				open.dismiss();
	}

	/** The keyboard needs the stage: Tab, the arrows and the focus ring, Ctrl+Z / Ctrl+Y, Esc for the dialog. */
	function startKeyboard():Void {
		final keys = new FocusNavigator(stage, this, editor.hold);
		keys.add([FocusArea.row(() -> [projectButton, undoButton, redoButton, moduleTab, needTab])]);
		keys.add([for (choice in choices) choice.panel.focusArea()]);
		keys.add(modulePanel.focusAreas());
		if (racks != null)
			keys.add([racks.focusArea()]);
		keys.add([needPanel.focusArea(), FocusArea.row(() -> [totals.cabinetButton, totals.reserveButton]), bom.focusArea(), slotView.focusArea(), statusBar.focusArea()]);
		navigator = keys;
		stage.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> {
			if (([dialog, projectDialog, reserveDialog, rackDialog, cabinetDialog] : Array<Null<ModalDialog>>).filter(d -> d != null && d.isOpen()).length > 0) {
				if (event.keyCode == Keyboard.ESCAPE)
					escapeDialogs();
			} else if (Keys.isUndo(event))
				undo();
			else if (Keys.isRedo(event))
				act(Redo);
		});
		keys.update();
	}

	/** A mode tab was pressed: the switch goes at once, or after the question the screen state asks. */
	function userSwitchesMode(mode:SelectionMode):Void {
		if (state.mode == mode)
			return;
		if (state.switchQuestion == null || navigator == null)
			act(SwitchMode(mode));
		else
			showConfirmDialog().ask(state.switchQuestion, () -> act(SwitchMode(mode)));
	}

	/** Made when first needed, like the mode dialog; its "确定" is one change of the selection. */
	function editProject():Void {
		if (navigator == null)
			return;
		if (projectDialog == null) {
			projectDialog = new ProjectDialog(1000, 600, navigator, values -> act(SetProject(values)));
			addChild(projectDialog);
		}
		projectDialog.edit(state.project);
	}

	/** Made when first needed, like the other dialogs; its "确定" is one change of the selection. */
	function editReserve():Void {
		if (navigator == null)
			return;
		if (reserveDialog == null) {
			reserveDialog = new ReserveDialog(1000, 600, navigator, reserve -> act(SetReserve(reserve)));
			addChild(reserveDialog);
		}
		reserveDialog.edit(state.reserve);
	}

	/** "机柜…", made when first needed like the other dialogs; its "确定" is one change of the selection. */
	function editCabinet():Void {
		if (navigator == null)
			return;
		if (cabinetDialog == null) {
			cabinetDialog = new CabinetDialog(1000, 600, navigator, enclosure -> act(SetEnclosure(enclosure)));
			addChild(cabinetDialog);
		}
		cabinetDialog.edit(editor.selection.enclosure);
	}

	/** "移到…" for piece `index`: the rack it goes to and stays in, asked in a dialog made when first needed. */
	function askWhereTo(index:Int):Void {
		if (navigator == null)
			return;
		if (rackDialog == null) {
			rackDialog = new RackChoiceDialog(1000, 600, navigator);
			addChild(rackDialog);
		}
		final piece = state.pieces[index];
		rackDialog.ask(piece.item.code, state.rackLabels, piece.rack, rack -> pin(index, rack));
	}

	/** Pins piece `index` to `rack` (or lets it go back to the automatic fill): the rack it now stands in is shown, the piece selected. */
	function pin(index:Int, rack:Int):Void {
		if (editor.apply(PinPiece(index, rack)))
			slotView.selectPiece(index);
		refresh();
	}

	/** A module's slot was pressed: its row (or, by I/O need, where its kind is worked on) takes the focus. */
	function callUpRow(use:SlotUse):Void {
		final field = state.mode == ByModule ? modulePanel.reveal(use.item) : needPanel.reveal(use.item);
		if (field != null && navigator != null)
			navigator.focus(field);
	}

	/** Hands an action of the user's to the editor and paints what follows. */
	function act(action:SelectionAction, ?typingKey:String):Void {
		editor.apply(action, typingKey);
		refresh();
	}

	/** Ctrl+Z in a count field takes back what was typed there: it is taken first, then undone. */
	function undo():Void {
		takeTyped();
		act(Undo);
	}

	function takeTyped():Void {
		final stepper = focusedStepper();
		if (stepper != null)
			stepper.takeTyped();
	}

	function refresh():Void {
		state = new ScreenState(editor, SlotPanel.MAX_SLOTS);
		final byModule = state.mode == ByModule;
		undoButton.setEnabled(state.canUndo);
		redoButton.setEnabled(state.canRedo);
		moduleTab.setSelected(byModule);
		needTab.setSelected(!byModule);
		for (choice in choices) {
			final shown = state.choices.filter(c -> c.kind == choice.kind)[0];
			choice.panel.visible = shown.shown;
			choice.panel.showChosen(shown.chosen);
			choice.panel.setTitle(shown.title);
		}
		if (racks != null)
			racks.show(state);
		modulePanel.visible = byModule;
		needPanel.visible = !byModule;
		if (byModule)
			modulePanel.showQuantities(state);
		else
			needPanel.show(state.need, state);
		totals.show(state.budget, state.rackShown, state.reserve, state.cabinet);
		bom.show(state.purchase, state.priced, state.priceTotal);
		slotView.show(state.slots, state.rackLabels[state.rackShown], state.rackLabels.length);
		statusBar.show(state.statusMessage, state.statusKind, state.reserveWarning, state.overruns);
		if (navigator != null) {
			navigator.update();
			details.refocus(stage.focus);
		}
	}
}
