package orvane.ui;

import flash.text.TextField;
import flash.text.TextFieldType;
import flash.text.TextFormat;
import flash.text.TextFormatAlign;

/**
	Text fields that draw with the movie's font, since the player's device font has no Chinese
	glyphs: the embedded one, and the complete one once a text has needed it (FontSupply).
**/
class TextFactory {
	public static function label(text:String, x:Float, y:Float, width:Float, size = 12, color = Palette.TEXT,
			align = TextFormatAlign.LEFT):TextField {
		final field = plain(x, y, width, size + 8, size, color, align);
		field.selectable = false;
		field.mouseEnabled = false;
		field.text = text;
		return field;
	}

	/** How wide `text` is drawn at `size`. */
	public static function widthOf(text:String, size:Int):Float {
		final field = label(text, 0, 0, 2000, size);
		return field.textWidth;
	}

	/** A label that wraps over several lines. */
	public static function paragraph(text:String, x:Float, y:Float, width:Float, height:Float, size = 12, color = Palette.TEXT):TextField {
		final field = plain(x, y, width, height, size, color, TextFormatAlign.LEFT);
		field.selectable = false;
		field.mouseEnabled = false;
		field.multiline = true;
		field.wordWrap = true;
		field.text = text;
		return field;
	}

	/** An editable field for a whole number; what it may hold is checked by its owner, who says why it refuses. */
	public static function numberInput(x:Float, y:Float, width:Float, maxChars:Int):TextField {
		final field = textInput(x, y, width, 22, 13, TextFormatAlign.CENTER);
		field.maxChars = maxChars;
		return field;
	}

	/** An editable field for any text. */
	public static function textInput(x:Float, y:Float, width:Float, height:Float, size:Int, align = TextFormatAlign.LEFT):TextField {
		final field = plain(x, y, width, height, size, Palette.TEXT, align);
		field.type = TextFieldType.INPUT;
		field.border = true;
		field.borderColor = Palette.PANEL_LINE;
		field.background = true;
		field.backgroundColor = 0xFFFFFF;
		return field;
	}

	static function plain(x:Float, y:Float, width:Float, height:Float, size:Int, color:Int, align:TextFormatAlign):TextField {
		final field = new UiTextField();
		field.embedFonts = true;
		field.defaultTextFormat = new TextFormat(FontSupply.fontName(), size, color, null, null, null, null, null, align);
		field.x = x;
		field.y = y;
		field.width = width;
		field.height = height;
		return field;
	}
}
