package orvane.ui;

import flash.display.InteractiveObject;
import flash.text.TextField;
import orvane.model.SlotPiece;

/**
	"移到…": the rack a module goes to and stays in, one button per rack, or back to the
	automatic fill; over the whole screen, Esc (sent by the screen) or "取消" changes nothing.
**/
class RackChoiceDialog extends ModalDialog {
	static inline final MOST_RACKS = 8;

	final title:TextField;
	final racks:Array<PushButton> = [];
	final automatic:PushButton;
	final area:FocusArea;
	var onChoose:Int -> Void = _ -> {};
	var chosen = SlotPiece.UNPINNED;

	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator) {
		super(screenWidth, screenHeight, 360, 228, navigator);
		title = TextFactory.label("", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT);
		addChild(title);
		addChild(TextFactory.label("模块固定在所选基板上，其余模块仍自动排布。", left + 16, top + 36, boxWidth - 32, 12, Palette.TEXT_DIM));
		for (i in 0...MOST_RACKS) {
			final index = i;
			final button = new PushButton("", left + 16 + (i % 2) * 168, top + 62 + Std.int(i / 2) * 30, 160, 24, () -> pick(index), 12);
			racks.push(button);
			addChild(button);
		}
		automatic = new PushButton("自动排布（不固定）", left + 16, top + boxHeight - 42, 200, 28, () -> pick(SlotPiece.UNPINNED), 12);
		final cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
		addChild(automatic);
		addChild(cancel);
		area = new FocusArea(() -> [for (r in 0...Std.int(MOST_RACKS / 2)) ([racks[2 * r], racks[2 * r + 1]] : Array<InteractiveObject>)]
			.concat([[automatic, cancel]]));
	}

	/** Asks where `code` goes among `labels` (the racks, the main one first); `current`: the rack it is pinned to, or UNPINNED. */
	public function ask(code:String, labels:Array<String>, current:Int, onChoose:Int -> Void):Void {
		this.onChoose = onChoose;
		title.text = '把 $code 移到：';
		for (i in 0...racks.length) {
			racks[i].visible = i < labels.length;
			racks[i].setText(i < labels.length ? labels[i] : "");
			racks[i].setSelected(i == current);
		}
		automatic.setSelected(current == SlotPiece.UNPINNED);
		open(area);
	}

	function pick(rack:Int):Void {
		chosen = rack;
		close(true);
	}

	override function close(goAhead:Bool):Void {
		super.close(goAhead);
		if (goAhead)
			onChoose(chosen);
	}
}
