package orvane.ui;

import flash.display.Shape;
import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;

/** Used against available as a bar with figures and what is left; red when used exceeds available. */
class BudgetBar extends Sprite {
	static inline final BAR_X = 70;
	static inline final BAR_WIDTH = 80;
	static inline final FIGURES_X = BAR_X + BAR_WIDTH + 6;
	static inline final FIGURES_WIDTH = 96;
	static inline final LEFT_WIDTH = 62;

	final bar = new Shape();
	final figures:TextField;
	final left:TextField;

	public function new(title:String, x:Float, y:Float) {
		super();
		this.x = x;
		this.y = y;
		addChild(TextFactory.label(title, 0, 0, BAR_X - 4, 12, Palette.TEXT));
		addChild(bar);
		figures = TextFactory.label("", FIGURES_X, 0, FIGURES_WIDTH, 12, Palette.TEXT);
		left = TextFactory.label("", FIGURES_X + FIGURES_WIDTH, 1, LEFT_WIDTH, 11, Palette.TEXT_DIM, TextFormatAlign.RIGHT);
		addChild(figures);
		addChild(left);
	}

	/**
		`available` and `remaining` null: the item that provides it is not chosen yet. A negative
		`remaining` is by how much `used` exceeds `available`.
	**/
	public function show(used:Int, available:Null<Int>, remaining:Null<Int>, unit:String):Void {
		final over = remaining != null && remaining < 0;
		final share = available == null || available == 0 ? (used > 0 ? 1.0 : 0.0) : Math.min(1.0, used / available);
		drawBar(share, over ? Palette.WARNING : available == null ? Palette.DISABLED : Palette.GOOD);
		figures.text = available == null ? '$used $unit / —' : '$used / $available $unit';
		figures.textColor = over ? Palette.WARNING : Palette.TEXT;
		left.text = remaining == null ? "" : over ? '超出 ${-remaining}' : '剩余 $remaining';
		left.textColor = over ? Palette.WARNING : Palette.TEXT_DIM;
	}

	/** The chosen items provide none of it: `note` says so, in orange while `used` must come from elsewhere. */
	public function showWithoutCapacity(used:Int, unit:String, note:String):Void {
		drawBar(used > 0 ? 1.0 : 0.0, Palette.NOTICE);
		figures.text = '$used $unit';
		figures.textColor = Palette.TEXT;
		left.text = note;
		left.textColor = used > 0 ? Palette.NOTICE : Palette.TEXT_DIM;
	}

	function drawBar(share:Float, color:Int):Void {
		bar.graphics.clear();
		bar.graphics.lineStyle(1, Palette.PANEL_LINE);
		bar.graphics.beginFill(0xFFFFFF);
		bar.graphics.drawRect(BAR_X, 4, BAR_WIDTH, 12);
		bar.graphics.endFill();
		bar.graphics.lineStyle();
		bar.graphics.beginFill(color);
		bar.graphics.drawRect(BAR_X + 1, 5, (BAR_WIDTH - 1) * share, 11);
		bar.graphics.endFill();
	}
}
