package orvane.ui;

import flash.display.Shape;
import flash.display.Sprite;
import flash.text.TextField;

/** Used against available as a bar with figures; red when used exceeds available. */
class BudgetBar extends Sprite {
	static inline final BAR_X = 70;
	static inline final BAR_WIDTH = 130;

	final bar = new Shape();
	final figures:TextField;

	public function new(title:String, x:Float, y:Float) {
		super();
		this.x = x;
		this.y = y;
		addChild(TextFactory.label(title, 0, 0, BAR_X - 4, 12, Palette.TEXT));
		addChild(bar);
		figures = TextFactory.label("", BAR_X + BAR_WIDTH + 8, 0, 130, 12, Palette.TEXT);
		addChild(figures);
	}

	/** `available` null means the item that provides it is not chosen yet. */
	public function show(used:Int, available:Null<Int>, unit:String):Void {
		final over = available != null && used > available;
		final share = available == null || available == 0 ? (used > 0 ? 1.0 : 0.0) : Math.min(1.0, used / available);
		bar.graphics.clear();
		bar.graphics.lineStyle(1, Palette.PANEL_LINE);
		bar.graphics.beginFill(0xFFFFFF);
		bar.graphics.drawRect(BAR_X, 4, BAR_WIDTH, 12);
		bar.graphics.endFill();
		bar.graphics.lineStyle();
		bar.graphics.beginFill(over ? Palette.WARNING : available == null ? Palette.DISABLED : Palette.GOOD);
		bar.graphics.drawRect(BAR_X + 1, 5, (BAR_WIDTH - 1) * share, 11);
		bar.graphics.endFill();
		figures.text = available == null ? '$used $unit / —' : '$used / $available $unit';
		figures.textColor = over ? Palette.WARNING : Palette.TEXT;
	}
}
