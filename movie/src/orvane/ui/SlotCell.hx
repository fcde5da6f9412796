package orvane.ui;

import flash.display.Sprite;
import flash.events.FocusEvent;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import flash.ui.Keyboard;
import orvane.model.CatalogItem;
import orvane.model.SlotUse;

/**
	One slot of the base: its number and the code of the module in it, on two lines when one is
	too narrow (the details line has it whole), and a corner mark when the module is pinned to
	its rack. A slot where a module starts can be clicked, or focused and pressed with Space or
	Enter, moved with Shift+← / Shift+→, taken to another rack with M ("移到…"), or grabbed with
	the mouse to drag it there.
**/
class SlotCell extends Sprite implements ShowsItem {
	final number:TextField;
	final code:TextField;
	public var use(default, null):Null<SlotUse>;

	/** `onMoveTo`: M on the slot; `onGrab`: the mouse button went down on it. */
	public function new(onPress:SlotCell -> Void, onSelect:SlotCell -> Void, onMove:(SlotCell, Int) -> Void, onMoveTo:SlotCell -> Void,
			onGrab:SlotCell -> Void) {
		super();
		number = TextFactory.label("", 0, 1, 10, 9, Palette.TEXT_DIM, TextFormatAlign.CENTER);
		code = TextFactory.label("", 0, 12, 10, 10, Palette.TEXT, TextFormatAlign.CENTER);
		code.multiline = true;
		code.height = 28;
		addChild(number);
		addChild(code);
		mouseChildren = false;
		addEventListener(MouseEvent.CLICK, _ -> if (isModuleStart()) onPress(this));
		addEventListener(MouseEvent.MOUSE_DOWN, _ -> if (isModuleStart()) onGrab(this));
		addEventListener(FocusEvent.FOCUS_IN, _ -> onSelect(this));
		addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> {
			if (Keys.isPress(event))
				onPress(this);
			else if (event.keyCode == Keys.KEY_M && Keys.isPlain(event) && isModuleStart())
				onMoveTo(this);
			else if (event.shiftKey && !event.ctrlKey && (event.keyCode == Keyboard.LEFT || event.keyCode == Keyboard.RIGHT)) {
				event.stopPropagation();
				onMove(this, event.keyCode == Keyboard.LEFT ? -1 : 1);
			}
		});
	}

	public function shownItem():Null<CatalogItem> {
		return use == null ? null : use.item;
	}

	/** A slot where a module starts: the one that stands for the piece. */
	public function isModuleStart():Bool {
		return use != null && !use.continued;
	}

	/**
		`slot`: its number from 1, "不占槽" for a module the catalogue lacks (drawn grey with a
		red outline), "" for the cell counting the slots not shown (`label` says how many).
	**/
	public function show(left:Float, top:Float, width:Float, height:Float, slot:String, newUse:Null<SlotUse>, label:String, beyondBase:Bool,
			selected:Bool):Void {
		use = newUse;
		x = left;
		y = top;
		tabEnabled = buttonMode = isModuleStart();
		final unknown = use != null && use.item.unknown;
		graphics.clear();
		graphics.lineStyle(selected ? 2 : 1, beyondBase || unknown ? Palette.WARNING : use == null ? Palette.PANEL_LINE : Palette.ACCENT);
		graphics.beginFill(beyondBase ? Palette.WARNING_SOFT : use == null ? 0xFFFFFF : selected ? Palette.BUTTON_HOVER : unknown ? Palette.TITLE_BAR : Palette.ACCENT_SOFT);
		graphics.drawRect(0, 0, width, height);
		graphics.endFill();
		if (use != null && use.pinned && !use.continued) {
			graphics.lineStyle();
			graphics.beginFill(Palette.ACCENT);
			graphics.moveTo(width - 9, 0);
			graphics.lineTo(width, 0);
			graphics.lineTo(width, 9);
			graphics.endFill();
		}
		number.width = code.width = width;
		number.text = slot;
		number.textColor = unknown ? Palette.WARNING : Palette.TEXT_DIM;
		final text = wrapped(label, width);
		code.text = text;
		code.y = text.indexOf("\n") >= 0 ? 11 : height / 2 - 4;
		code.textColor = beyondBase || unknown ? Palette.WARNING : use == null ? Palette.DISABLED : Palette.TEXT;
	}

	/** The code on one line if it fits, else broken after its first hyphen. */
	function wrapped(label:String, width:Float):String {
		code.text = label;
		final hyphen = label.indexOf("-");
		return code.textWidth <= width - 4 || hyphen < 0 ? label : label.substr(0, hyphen + 1) + "\n" + label.substr(hyphen + 1);
	}
}
