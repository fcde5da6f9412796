package orvane.ui;

import flash.display.InteractiveObject;
import flash.text.TextField;
import orvane.model.ScreenState;

/**
	The racks of the selection: the main rack and each expansion rack as a tab (the power supply
	and base lists, the slot view and the totals show the rack picked here; those the planner
	added by I/O need marked *), a button that adds an expansion rack while the CPU drives more
	bases, and one that removes the rack shown when it is one of the user's.
**/
class RackPanel extends Panel {
	static inline final TAB_WIDTH = 32;

	final tabs:Array<PushButton> = [];
	final add:PushButton;
	final remove:PushButton;
	final info:TextField;

	/** `onShow(index)`: rack 0 is the main one. */
	public function new(x:Float, y:Float, width:Float, height:Float, maxRacks:Int, onShow:Int -> Void, onAdd:() -> Void, onRemove:() -> Void) {
		super("机架：主基板与扩展基板", x, y, width, height);
		for (i in 0...maxRacks + 1) {
			final index = i;
			tabs.push(new PushButton(tabLabel(i), 6 + i * (TAB_WIDTH + 2), Panel.TITLE_HEIGHT + 4, TAB_WIDTH, 22, () -> onShow(index), 12));
			addChild(tabs[i]);
		}
		add = new PushButton("＋ 添加扩展基板", 6, Panel.TITLE_HEIGHT + 30, 110, 22, onAdd, 12);
		remove = new PushButton("删除此扩展基板", 122, Panel.TITLE_HEIGHT + 30, 110, 22, onRemove, 12);
		addChild(add);
		addChild(remove);
		info = TextFactory.paragraph("", 6, Panel.TITLE_HEIGHT + 55, width - 12, height - Panel.TITLE_HEIGHT - 57, 11, Palette.TEXT_DIM);
		addChild(info);
	}

	/** A rack's short name: "主", "扩1", …. */
	public static function tabLabel(index:Int):String {
		return index == 0 ? "主" : '扩$index';
	}

	public function show(state:ScreenState):Void {
		for (i in 0...tabs.length) {
			tabs[i].visible = i <= state.racks;
			tabs[i].setSelected(i == state.rackShown);
			tabs[i].setText(tabLabel(i) + (i >= state.firstPlanned ? "*" : ""));
		}
		add.setEnabled(state.canAddRack);
		remove.setEnabled(state.canRemoveRack);
		info.text = state.rackNote;
	}

	/** The rack tabs, then the two buttons. */
	public function focusArea():FocusArea {
		return new FocusArea(() -> [cast tabs.copy(), ([add, remove] : Array<InteractiveObject>)], () -> tabs.filter(t -> t.visible && t.isSelected())[0]);
	}
}
