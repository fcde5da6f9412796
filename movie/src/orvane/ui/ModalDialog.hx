package orvane.ui;

import flash.display.Sprite;

/**
	A box over the whole screen, which takes neither clicks nor keys until the box closes: while
	it is open its keyboard area is the only one, and the focus goes back where it was when it
	closes. Made hidden; `left`, `top`, `boxWidth` and `boxHeight` place the box's contents.
**/
class ModalDialog extends Sprite {
	final left:Float;
	final top:Float;
	final boxWidth:Float;
	final boxHeight:Float;
	final navigator:FocusNavigator;

	function new(screenWidth:Float, screenHeight:Float, boxWidth:Float, boxHeight:Float, navigator:FocusNavigator) {
		super();
		this.boxWidth = boxWidth;
		this.boxHeight = boxHeight;
		this.navigator = navigator;
		visible = false;
		graphics.beginFill(0x1E2630, 0.35);
		graphics.drawRect(0, 0, screenWidth, screenHeight);
		graphics.endFill();
		left = (screenWidth - boxWidth) / 2;
		top = (screenHeight - boxHeight) / 2;
		graphics.lineStyle(1, Palette.ACCENT);
		graphics.beginFill(Palette.PANEL);
		graphics.drawRoundRect(left, top, boxWidth, boxHeight, 10, 10);
		graphics.endFill();
	}

	public function isOpen():Bool {
		return visible;
	}

	/** Shows the box above everything else, with the keyboard in `area`. */
	function open(area:FocusArea):Void {
		visible = true;
		parent.setChildIndex(this, parent.numChildren - 1);
		navigator.openModal(area);
	}

	/** Closes and goes ahead, as its "确定" does (Enter, or the host asks for the selection meanwhile). */
	public function confirm():Void {
		if (visible)
			close(true);
	}

	/** Closes without going ahead (Esc, or the host replaced the selection meanwhile). */
	public function dismiss():Void {
		if (visible)
			close(false);
	}

	/** Hides the box; a dialog that hands something over does so when `goAhead`. */
	function close(goAhead:Bool):Void {
		visible = false;
		navigator.closeModal();
	}
}
