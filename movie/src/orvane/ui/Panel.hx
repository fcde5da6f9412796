package orvane.ui;

import flash.display.Sprite;

/** A framed area with a title bar. */
class Panel extends Sprite {
	public static inline final TITLE_HEIGHT = 24;

	final panelWidth:Float;
	final titleField:flash.text.TextField;

	public function new(title:String, x:Float, y:Float, width:Float, height:Float) {
		super();
		this.x = x;
		this.y = y;
		panelWidth = width;
		graphics.lineStyle(1, Palette.PANEL_LINE);
		graphics.beginFill(Palette.PANEL);
		graphics.drawRect(0, 0, width, height);
		graphics.endFill();
		graphics.beginFill(Palette.TITLE_BAR);
		graphics.drawRect(0, 0, width, TITLE_HEIGHT);
		graphics.endFill();
		titleField = TextFactory.label(title, 8, 2, width - 16, 13, Palette.TEXT);
		addChild(titleField);
	}

	public function setTitle(title:String):Void {
		if (titleField.text != title)
			titleField.text = title;
	}
}
