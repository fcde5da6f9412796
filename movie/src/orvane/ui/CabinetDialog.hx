package orvane.ui;

import flash.display.InteractiveObject;
import flash.events.KeyboardEvent;
import flash.text.TextField;
import flash.ui.Keyboard;
import orvane.model.Enclosure;
import orvane.model.EnclosureMaterial;
import orvane.model.Installation;

/**
	"机柜…": the enclosure the controller goes in, over the whole screen: outside width, height
	and depth, how it stands, its material, the ambient and the highest inside temperature.
	"确定" (or Enter in a field) hands it over as one change when every figure is in range, else
	says which is not and stays open; "不用机柜" hands over none; "取消" (or Esc) drops it.
**/
class CabinetDialog extends ModalDialog {
	static final sizes = [{label: "宽 (mm)", min: Enclosure.MIN_SIZE, max: Enclosure.MAX_SIZE}, {label: "高 (mm)", min: Enclosure.MIN_SIZE,
		max: Enclosure.MAX_SIZE}, {label: "深 (mm)", min: Enclosure.MIN_SIZE, max: Enclosure.MAX_SIZE}, {label: "环境温度 (°C)",
		min: Enclosure.MIN_TEMPERATURE, max: Enclosure.MAX_TEMPERATURE}, {label: "柜内最高 (°C)", min: Enclosure.MIN_TEMPERATURE,
		max: Enclosure.MAX_TEMPERATURE}];
	static final typical = [600, 2000, 500, 35, 45];

	final fields:Array<TextField> = [];
	final installations:Array<PushButton> = [];
	final materials:Array<PushButton> = [];
	final refusal:TextField;
	final area:FocusArea;
	final onApply:Null<Enclosure> -> Void;
	var installation = Installation.FreeStanding;
	var material = EnclosureMaterial.SheetSteel;
	/** "不用机柜" was pressed: the dialog hands over none. */
	var withoutEnclosure = false;

	/** `onApply(enclosure)`: what was entered, null for "不用机柜". */
	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator, onApply:Null<Enclosure> -> Void) {
		super(screenWidth, screenHeight, 560, 300, navigator);
		this.onApply = onApply;
		addChild(TextFactory.label("机柜（算导轨是否放得下、柜内散热够不够）", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT));
		for (i in 0...sizes.length) {
			final x = left + 16 + (i % 3) * 176, y = top + 44 + Std.int(i / 3) * 32;
			addChild(TextFactory.label(sizes[i].label, x, y + 3, 90, 12, Palette.TEXT));
			final field = TextFactory.numberInput(x + 94, y, 64, 5);
			field.restrict = i < 3 ? "0-9" : "0-9\\-";
			field.tabEnabled = true;
			TypingGuard.protect(field);
			field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (event.keyCode == Keyboard.ENTER) confirm());
			fields.push(field);
			addChild(field);
		}
		addChild(TextFactory.label("安装方式", left + 16, top + 118, 70, 12, Palette.TEXT));
		for (i in 0...Installation.all.length) {
			final choice = Installation.all[i];
			installations.push(new PushButton(choice.label, left + 94 + i * 96, top + 113, 88, 24, () -> pickInstallation(choice), 12));
		}
		addChild(TextFactory.label("材料", left + 16, top + 152, 70, 12, Palette.TEXT));
		for (i in 0...EnclosureMaterial.all.length) {
			final choice = EnclosureMaterial.all[i];
			materials.push(new PushButton('${choice.label}（k=${choice.coefficient}）', left + 94 + i * 140, top + 147, 132, 24, () -> pickMaterial(choice), 12));
		}
		for (button in installations.concat(materials))
			addChild(button);
		addChild(TextFactory.paragraph("散热面积按 IEC/TR 60890（DIN VDE 0660-500 Bbl 2）随安装方式计算；散热 = k × 面积 × (柜内最高 − 环境)。",
			left + 16, top + 182, boxWidth - 32, 30, 11, Palette.TEXT_DIM));
		refusal = TextFactory.label("", left + 16, top + 218, boxWidth - 32, 12, Palette.WARNING);
		addChild(refusal);
		final none = new PushButton("不用机柜", left + 16, top + boxHeight - 42, 100, 28, () -> {
			withoutEnclosure = true;
			close(true);
		}, 13);
		final ok = new PushButton("确定", left + boxWidth - 232, top + boxHeight - 42, 120, 28, () -> close(true), 13);
		final cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
		for (button in [none, ok, cancel])
			addChild(button);
		final rows:Array<Array<InteractiveObject>> = [[for (f in fields.slice(0, 3)) f], [for (f in fields.slice(3)) f], [for (b in installations) b],
			[for (b in materials) b], [none, ok, cancel]];
		area = new FocusArea(() -> rows);
	}

	/** Opens with the enclosure as it is, or typical figures when there is none. */
	public function edit(enclosure:Null<Enclosure>):Void {
		final values = enclosure == null ? typical : [enclosure.width, enclosure.height, enclosure.depth, enclosure.ambient, enclosure.insideMax];
		for (i in 0...fields.length)
			fields[i].text = Std.string(values[i]);
		pickInstallation(enclosure == null ? FreeStanding : enclosure.installation);
		pickMaterial(enclosure == null ? SheetSteel : enclosure.material);
		refusal.text = "";
		withoutEnclosure = false;
		open(area);
	}

	function pickInstallation(choice:Installation):Void {
		installation = choice;
		for (i in 0...installations.length)
			installations[i].setSelected(Installation.all[i] == choice);
	}

	function pickMaterial(choice:EnclosureMaterial):Void {
		material = choice;
		for (i in 0...materials.length)
			materials[i].setSelected(EnclosureMaterial.all[i] == choice);
	}

	/** The enclosure entered; null, with the reason shown, when a figure is out of range. */
	function entered():Null<Enclosure> {
		final values:Array<Int> = [];
		for (i in 0...fields.length) {
			final value = Enclosure.number(StringTools.trim(fields[i].text), sizes[i].min, sizes[i].max);
			if (value == null) {
				refusal.text = '${sizes[i].label}应为 ${sizes[i].min}–${sizes[i].max} 的整数';
				return null;
			}
			values.push(value);
		}
		return new Enclosure(values[0], values[1], values[2], installation, material, values[3], values[4]);
	}

	override function close(apply:Bool):Void {
		final enclosure = apply && !withoutEnclosure ? entered() : null;
		if (apply && !withoutEnclosure && enclosure == null)
			return;
		super.close(apply);
		if (apply)
			onApply(enclosure);
	}
}
