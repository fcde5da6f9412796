package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.events.Event;
import flash.events.KeyboardEvent;
import flash.text.TextField;
import flash.ui.Keyboard;
import orvane.model.ProjectData;

/**
	Project name, customer, author and note over the whole screen, each in a field of its own;
	"确定" (or Enter in a field) hands them over as one change, "取消" (or Esc, sent by the screen)
	drops what was typed. The screen behind takes neither clicks nor keys until it is closed.
	↑ ↓, Tab and Shift+Tab go from field to field.
**/
class ProjectDialog extends Sprite {
	static inline final BOX_WIDTH = 520;
	static inline final BOX_HEIGHT = 230;
	static inline final LABEL_WIDTH = 70;

	final inputs:Array<{key:String, field:TextField}> = [];
	final ok:PushButton;
	final cancel:PushButton;
	final navigator:FocusNavigator;
	final area:FocusArea;
	final onApply:Map<String, String> -> Void;

	/** `onApply(values)`: the fields by ProjectData key, as typed. */
	public function new(screenWidth:Float, screenHeight:Float, navigator:FocusNavigator, onApply:Map<String, String> -> Void) {
		super();
		this.navigator = navigator;
		this.onApply = onApply;
		visible = false;
		graphics.beginFill(0x1E2630, 0.35);
		graphics.drawRect(0, 0, screenWidth, screenHeight);
		graphics.endFill();
		final left = (screenWidth - BOX_WIDTH) / 2;
		final top = (screenHeight - BOX_HEIGHT) / 2;
		graphics.lineStyle(1, Palette.ACCENT);
		graphics.beginFill(Palette.PANEL);
		graphics.drawRoundRect(left, top, BOX_WIDTH, BOX_HEIGHT, 10, 10);
		graphics.endFill();
		addChild(TextFactory.label("项目信息（写入选型文件，并列在物料清单的表头）", left + 16, top + 12, BOX_WIDTH - 32, 14, Palette.TEXT));
		var y = top + 44;
		for (spec in ProjectData.fields) {
			addChild(TextFactory.label(spec.label, left + 16, y + 2, LABEL_WIDTH, 12, Palette.TEXT));
			final field = TextFactory.textInput(left + 16 + LABEL_WIDTH, y, BOX_WIDTH - 32 - LABEL_WIDTH, 22, 13);
			field.maxChars = spec.maxLength;
			field.tabEnabled = true;
			TypingGuard.protect(field);
			field.addEventListener(Event.CHANGE, _ -> FontSupply.textShown(field, field.text));
			field.addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (event.keyCode == Keyboard.ENTER) confirm());
			inputs.push({key: spec.key, field: field});
			addChild(field);
			y += 30;
		}
		ok = new PushButton("确定", left + BOX_WIDTH - 232, top + BOX_HEIGHT - 42, 120, 28, () -> close(true), 13);
		cancel = new PushButton("取消", left + BOX_WIDTH - 104, top + BOX_HEIGHT - 42, 88, 28, () -> close(false), 13);
		addChild(ok);
		addChild(cancel);
		area = new FocusArea(() -> [for (input in inputs) ([input.field] : Array<InteractiveObject>)].concat([[ok, cancel]]));
	}

	/** Opens with the project's fields as they are. */
	public function open(project:ProjectData):Void {
		for (input in inputs)
			input.field.text = project.get(input.key);
		visible = true;
		parent.setChildIndex(this, parent.numChildren - 1);
		navigator.openModal(area);
	}

	public function isOpen():Bool {
		return visible;
	}

	/** Closes and hands over what the fields hold, as "确定" does (Enter, or the host asks for the selection meanwhile). */
	public function confirm():Void {
		if (visible)
			close(true);
	}

	/** Closes without handing anything over (Esc, or the host replaced the selection meanwhile). */
	public function dismiss():Void {
		if (visible)
			close(false);
	}

	function close(apply:Bool):Void {
		visible = false;
		navigator.closeModal();
		if (apply)
			onApply([for (input in inputs) input.key => input.field.text]);
	}
}
