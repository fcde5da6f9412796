package orvane.ui;

import flash.display.Sprite;
import flash.text.TextField;

/** A full-screen message: loading progress or why the guide cannot start. */
class MessageView extends Sprite {
	final title:TextField;
	final detail:TextField;

	public function new() {
		super();
		title = TextFactory.label("", 150, 230, 700, 20, Palette.TEXT, flash.text.TextFormatAlign.CENTER);
		detail = TextFactory.paragraph("", 150, 270, 700, 120, 13, Palette.TEXT_DIM);
		addChild(title);
		addChild(detail);
	}

	public function show(heading:String, text:String, isError:Bool):Void {
		graphics.clear();
		graphics.lineStyle(isError ? 2 : 1, isError ? Palette.WARNING : Palette.PANEL_LINE);
		graphics.beginFill(isError ? Palette.WARNING_SOFT : Palette.PANEL);
		graphics.drawRoundRect(130, 200, 740, 200, 12, 12);
		graphics.endFill();
		title.text = heading;
		title.textColor = isError ? Palette.WARNING : Palette.TEXT;
		detail.text = text;
	}
}
