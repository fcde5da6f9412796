package orvane.ui;

import flash.text.TextField;

/** A text field in the movie's font: each text it is given is checked against the embedded glyphs (FontSupply). */
class UiTextField extends TextField {
	override function set_text(value:String):String {
		final shown = super.set_text(value);
		FontSupply.textShown(this, value);
		return shown;
	}
}
