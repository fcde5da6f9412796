package orvane.ui;

import flash.display.Sprite;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import flash.text.TextFormatAlign;

/**
	A clickable button with a text label; it can show a selected state (tabs, choices). It takes
	the focus while it is enabled (`tabEnabled` follows, which the keyboard navigation reads), and
	Space or Enter presses it while it has the focus.
**/
class PushButton extends Sprite {
	final buttonWidth:Float;
	final buttonHeight:Float;
	final caption:TextField;
	final onClick:() -> Void;
	var hovered = false;
	var enabled = true;
	var selected = false;

	public function new(text:String, x:Float, y:Float, width:Float, height:Float, onClick:() -> Void, size = 13) {
		super();
		this.x = x;
		this.y = y;
		buttonWidth = width;
		buttonHeight = height;
		this.onClick = onClick;
		caption = TextFactory.label(text, 0, (height - size - 8) / 2, width, size, Palette.TEXT, TextFormatAlign.CENTER);
		addChild(caption);
		buttonMode = true;
		useHandCursor = true;
		mouseChildren = false;
		tabEnabled = true;
		addEventListener(MouseEvent.CLICK, _ -> press());
		addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (Keys.isPress(event)) press());
		addEventListener(MouseEvent.MOUSE_OVER, _ -> setHovered(true));
		addEventListener(MouseEvent.MOUSE_OUT, _ -> setHovered(false));
		draw();
	}

	public function setText(text:String):Void {
		if (caption.text != text)
			caption.text = text;
	}

	public function setEnabled(value:Bool):Void {
		if (enabled == value)
			return;
		enabled = value;
		buttonMode = useHandCursor = tabEnabled = value;
		draw();
	}

	public function isEnabled():Bool {
		return enabled;
	}

	public function isSelected():Bool {
		return selected;
	}

	public function setSelected(value:Bool):Void {
		if (selected == value)
			return;
		selected = value;
		draw();
	}

	function press():Void {
		if (enabled)
			onClick();
	}

	function setHovered(value:Bool):Void {
		hovered = value;
		draw();
	}

	function draw():Void {
		final fill = selected ? Palette.ACCENT : !enabled ? 0xF0F2F5 : hovered ? Palette.BUTTON_HOVER : Palette.BUTTON;
		final line = selected || (hovered && enabled) ? Palette.ACCENT : Palette.PANEL_LINE;
		graphics.clear();
		graphics.lineStyle(1, line);
		graphics.beginFill(fill);
		graphics.drawRoundRect(0, 0, buttonWidth, buttonHeight, 6, 6);
		graphics.endFill();
		caption.textColor = selected ? Palette.TEXT_LIGHT : enabled ? Palette.TEXT : Palette.DISABLED;
	}
}
