package orvane.ui;

import flash.display.Sprite;
import flash.events.KeyboardEvent;
import flash.events.MouseEvent;
import flash.text.TextField;
import orvane.model.CatalogItem;

/** One catalogue item offered as a choice: a radio mark, the code and the description; focused, Space or Enter picks it. */
class ChoiceRow extends Sprite implements ShowsItem {
	public static inline final HEIGHT = 22;

	public final item:CatalogItem;
	final rowWidth:Float;
	final code:TextField;
	final description:TextField;
	var hovered = false;
	var selected = false;

	public function new(item:CatalogItem, y:Float, width:Float, onPick:CatalogItem -> Void) {
		super();
		this.item = item;
		this.y = y;
		rowWidth = width;
		code = TextFactory.label(item.code, 22, 1, 70, 12, Palette.TEXT);
		description = TextFactory.label(item.shownDescription(), 92, 1, width - 96, 12, Palette.TEXT_DIM);
		addChild(code);
		addChild(description);
		buttonMode = true;
		mouseChildren = false;
		tabEnabled = true;
		addEventListener(MouseEvent.CLICK, _ -> onPick(item));
		addEventListener(KeyboardEvent.KEY_DOWN, (event:KeyboardEvent) -> if (Keys.isPress(event)) onPick(item));
		addEventListener(MouseEvent.MOUSE_OVER, _ -> {
			hovered = true;
			draw();
		});
		addEventListener(MouseEvent.MOUSE_OUT, _ -> {
			hovered = false;
			draw();
		});
		draw();
	}

	public function shownItem():Null<CatalogItem> {
		return item;
	}

	public function isSelected():Bool {
		return selected;
	}

	public function setSelected(value:Bool):Void {
		if (selected != value) {
			selected = value;
			draw();
		}
	}

	function draw():Void {
		graphics.clear();
		graphics.beginFill(selected ? Palette.ACCENT_SOFT : hovered ? Palette.BUTTON_HOVER : Palette.PANEL);
		graphics.drawRect(1, 0, rowWidth - 2, HEIGHT);
		graphics.endFill();
		graphics.lineStyle(1, selected ? Palette.ACCENT : Palette.DISABLED);
		graphics.beginFill(0xFFFFFF);
		graphics.drawCircle(11, HEIGHT / 2, 5);
		graphics.endFill();
		if (selected) {
			graphics.lineStyle();
			graphics.beginFill(Palette.ACCENT);
			graphics.drawCircle(11, HEIGHT / 2, 2.5);
			graphics.endFill();
		}
		code.textColor = selected ? Palette.ACCENT : Palette.TEXT;
	}
}
