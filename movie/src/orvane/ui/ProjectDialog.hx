package orvane.ui;

import flash.display.InteractiveObject;
import flash.events.Event;
import flash.events.KeyboardEvent;
import flash.text.TextField;
import flash.ui.Keyboard;
import orvane.model.ProjectData;

/**
	Project name, customer, author and note, each in a field of its own, over the whole screen;
	"确定" (or Enter in a field) hands them over as one change, "取消" (or Esc, sent by the screen)
	drops what was typed. ↑ ↓, Tab and Shift+Tab go from field to field.
**/
class ProjectDialog extends ModalDialog {
	static inline final LABEL_WIDTH = 70;

	final inputs:Array<{key:String, field:TextField}> = [];
	final area:FocusArea;
	final onApply:Map<String, String> -> Void;

	/** `onApply(values)`: the fields by ProjectData key, as typed. */
	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator, onApply:Map<String, String> -> Void) {
		super(screenWidth, screenHeight, 520, 230, navigator);
		this.onApply = onApply;
		addChild(TextFactory.label("项目信息（写入选型文件，并列在物料清单的表头）", left + 16, top + 12, boxWidth - 32, 14, Palette.TEXT));
		var y = top + 44;
		for (spec in ProjectData.fields) {
			addChild(TextFactory.label(spec.label, left + 16, y + 2, LABEL_WIDTH, 12, Palette.TEXT));
			final field = TextFactory.textInput(left + 16 + LABEL_WIDTH, y, boxWidth - 32 - LABEL_WIDTH, 22, 13);
			field.maxChars = spec.maxLength;
			field.tabEnabled = true;
			TypingGuard.protect(field);
			field.addEventListener(Event.CHANGE, _ -> FontSupply.textShown(field, field.text));
			field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (event.keyCode == Keyboard.ENTER) confirm());
			inputs.push({key: spec.key, field: field});
			addChild(field);
			y += 30;
		}
		final ok = new PushButton("确定", left + boxWidth - 232, top + boxHeight - 42, 120, 28, () -> close(true), 13);
		final cancel = new PushButton("取消", left + boxWidth - 104, top + boxHeight - 42, 88, 28, () -> close(false), 13);
		addChild(ok);
		addChild(cancel);
		area = new FocusArea(() -> [for (input in inputs) ([input.field] : Array<InteractiveObject>)].concat([[ok, cancel]]));
	}

	/** Opens with the project's fields as they are. */
	public function edit(project:ProjectData):Void {
		for (input in inputs)
			input.field.text = project.get(input.key);
		open(area);
	}

	override function close(apply:Bool):Void {
		super.close(apply);
		if (apply)
			onApply([for (input in inputs) input.key => input.field.text]);
	}
}
