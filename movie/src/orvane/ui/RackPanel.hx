package orvane.ui;

import flash.display.InteractiveObject;
import flash.text.TextField;

/**
	The racks of the selection: the main rack and each expansion rack as a tab (the power supply
	and base lists, the slot view and the totals show the rack picked here), a button that adds an
	expansion rack while the CPU drives more bases, and one that removes the rack shown.
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
			tabs.push(new PushButton(i == 0 ? "主" : '扩$i', 6 + i * (TAB_WIDTH + 2), Panel.TITLE_HEIGHT + 4, TAB_WIDTH, 22, () -> onShow(index), 12));
			addChild(tabs[i]);
		}
		add = new PushButton("＋ 添加扩展基板", 6, Panel.TITLE_HEIGHT + 30, 110, 22, onAdd, 12);
		remove = new PushButton("删除此扩展基板", 122, Panel.TITLE_HEIGHT + 30, 110, 22, onRemove, 12);
		addChild(add);
		addChild(remove);
		info = TextFactory.paragraph("", 6, Panel.TITLE_HEIGHT + 55, width - 12, height - Panel.TITLE_HEIGHT - 57, 11, Palette.TEXT_DIM);
		addChild(info);
	}

	/** `racks`: expansion racks of the selection; `shown`: the rack picked; `maxBases`: what the CPU drives (0: no CPU chosen). */
	public function show(racks:Int, shown:Int, maxBases:Int, canAdd:Bool):Void {
		for (i in 0...tabs.length) {
			tabs[i].visible = i <= racks;
			tabs[i].setSelected(i == shown);
		}
		add.setEnabled(canAdd);
		remove.setEnabled(shown > 0);
		info.text = (shown == 0 ? "主基板：CPU 所在的基板，模块先装满它。" : '扩展基板 $shown：自动配扩展接口模块和电缆。') + "\n"
			+ (maxBases == 0 ? "选择 CPU 后可知能带几个基板。" : maxBases == 1 ? "所选 CPU 不能带扩展基板。" : '所选 CPU 最多带 $maxBases 个基板。');
	}

	/** The rack tabs, then the two buttons. */
	public function focusArea():FocusArea {
		return new FocusArea(() -> [cast tabs.copy(), ([add, remove] : Array<InteractiveObject>)], () -> tabs.filter(t -> t.visible && t.isSelected())[0]);
	}
}
