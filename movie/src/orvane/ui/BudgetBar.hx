package orvane.ui;

import flash.display.Shape;
import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;

/**
	Used against available as a bar with figures and what is left; red when used exceeds
	available. A reserve shows as the hatched end of the bar, orange once it is eaten into.
**/
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
		`remaining` is by how much `used` exceeds `available`. `usable`: what may be used with the
		reserve kept (`available` when none is kept).
	**/
	public function show(used:Int, available:Null<Int>, remaining:Null<Int>, unit:String, ?usable:Int):Void {
		final over = remaining != null && remaining < 0;
		final eaten = !over && available != null && usable != null && used > usable;
		final share = available == null || available == 0 ? (used > 0 ? 1.0 : 0.0) : Math.min(1.0, used / available);
		final kept = available == null || available == 0 || usable == null ? 0.0 : (available - usable) / available;
		drawBar(share, over ? Palette.WARNING : eaten ? Palette.NOTICE : available == null ? Palette.DISABLED : Palette.GOOD, kept);
		figures.text = available == null ? '$used $unit / —' : '$used / $available $unit';
		figures.textColor = over ? Palette.WARNING : Palette.TEXT;
		left.text = remaining == null ? "" : over ? '超出 ${-remaining}' : eaten ? '占余量 ${used - usable}' : '剩余 $remaining';
		left.textColor = over ? Palette.WARNING : eaten ? Palette.NOTICE : Palette.TEXT_DIM;
	}

	/** The chosen items provide none of it: `note` says so, in orange while `used` must come from elsewhere. */
	public function showWithoutCapacity(used:Int, unit:String, note:String):Void {
		drawBar(used > 0 ? 1.0 : 0.0, Palette.NOTICE, 0);
		figures.text = '$used $unit';
		figures.textColor = Palette.TEXT;
		left.text = note;
		left.textColor = used > 0 ? Palette.NOTICE : Palette.TEXT_DIM;
	}

	/** `kept`: the share of the bar the reserve takes, at its end. */
	function drawBar(share:Float, color:Int, kept:Float):Void {
		final g = bar.graphics;
		g.clear();
		g.lineStyle(1, Palette.PANEL_LINE);
		g.beginFill(0xFFFFFF);
		g.drawRect(BAR_X, 4, BAR_WIDTH, 12);
		g.endFill();
		g.lineStyle();
		g.beginFill(color);
		g.drawRect(BAR_X + 1, 5, (BAR_WIDTH - 1) * share, 11);
		g.endFill();
		if (kept <= 0)
			return;
		final start = BAR_X + (BAR_WIDTH - 1) * (1 - kept);
		final end = BAR_X + BAR_WIDTH;
		g.lineStyle(1, Palette.TEXT_DIM, 0.6);
		var foot = start - 11.0;
		while (foot < end) {
			// A hatch line rises from (foot, 16) to (foot + 11, 5), cut to the reserve's part of the bar.
			final from = Math.max(0, start - foot);
			final to = Math.min(11, end - foot);
			if (from < to) {
				g.moveTo(foot + from, 16 - from);
				g.lineTo(foot + to, 16 - to);
			}
			foot += 4;
		}
		g.lineStyle(2, Palette.TEXT_DIM);
		g.moveTo(start, 3);
		g.lineTo(start, 17);
	}
}
