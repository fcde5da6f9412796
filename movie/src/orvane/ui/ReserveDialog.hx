package orvane.ui;

import flash.display.InteractiveObject;
import flash.events.KeyboardEvent;
import flash.ui.Keyboard;
import orvane.model.LimitKind;
import orvane.model.Reserve;

/**
	The reserve of each limit in percent, over the whole screen: "确定" (or Enter in a field)
	hands it over as one change, "取消" (or Esc, sent by the screen) drops what was set.
**/
class ReserveDialog extends ModalDialog {
	final steppers:Array<QuantityStepper> = [];
	final values:Array<Int> = [for (_ in LimitKind.all) 0];
	final area:FocusArea;
	final onApply:Reserve -> Void;

	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator, onApply:Reserve -> Void) {
		super(screenWidth, screenHeight, 420, 250, navigator);
		this.onApply = onApply;
		addChild(TextFactory.label("余量（为现场变更预留）", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT));
		addChild(TextFactory.paragraph("合计、警告、自动排布和扩展基板的规划都按留出余量后的容量计算；0 表示不留。", left + 16, top + 38,
			boxWidth - 32, 36, 12, Palette.TEXT_DIM));
		var y = top + 82;
		for (i in 0...LimitKind.all.length) {
			final index = i;
			addChild(TextFactory.label(LimitKind.all[i].label, left + 40, y + 3, 90, 12, Palette.TEXT));
			final stepper = new QuantityStepper(left + 140, y, QuantityStepper.WIDTH + 8, Reserve.MAX_PERCENT, 5, (value, _) -> {
				values[index] = value < 0 ? 0 : value > Reserve.MAX_PERCENT ? Reserve.MAX_PERCENT : value;
				steppers[index].showValue(values[index]);
			});
			stepper.field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (event.keyCode == Keyboard.ENTER) confirm());
			steppers.push(stepper);
			addChild(stepper);
			addChild(TextFactory.label("%", left + 240, y + 3, 20, 12, Palette.TEXT_DIM));
			y += 30;
		}
		final ok = new PushButton("确定", left + boxWidth - 232, top + boxHeight - 42, 120, 28, () -> close(true), 13);
		final cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
		addChild(ok);
		addChild(cancel);
		area = new FocusArea(() -> [for (stepper in steppers) stepper.controls()].concat([([ok, cancel] : Array<InteractiveObject>)]));
	}

	/** Opens with the reserve as it is. */
	public function edit(reserve:Reserve):Void {
		for (i in 0...LimitKind.all.length) {
			values[i] = reserve.percent(LimitKind.all[i]);
			steppers[i].showValue(values[i]);
		}
		open(area);
	}

	override function close(apply:Bool):Void {
		for (stepper in steppers)
			stepper.takeTyped();
		super.close(apply);
		if (!apply)
			return;
		final reserve = new Reserve();
		for (i in 0...LimitKind.all.length)
			reserve.set(LimitKind.all[i], values[i]);
		onApply(reserve);
	}
}
