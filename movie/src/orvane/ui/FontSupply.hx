package orvane.ui;

import flash.display.Loader;
import flash.events.Event;
import flash.events.IOErrorEvent;
import flash.events.SecurityErrorEvent;
import flash.net.URLRequest;
import flash.system.ApplicationDomain;
import flash.system.LoaderContext;
import flash.text.Font;
import flash.text.TextField;
import flash.text.TextFormat;
import orvane.host.BesideMovie;

/**
	Glyphs beyond the embedded font. The movie embeds only the characters of its own texts and
	of the catalogue it was built with, so it starts as fast as ever; the font file beside it
	holds every character a catalogue may use (GB2312, full-width forms, unit symbols). The first
	text the embedded font cannot draw loads that file. Its font, registered under the same
	name, then takes precedence, and the fields that were given such texts are laid out again.
	If the file cannot be loaded, those characters stay blank.
**/
class FontSupply {
	public static inline final FILE_NAME = "orvane_font.swf";
	static inline final FONT_CLASS = "orvane.ui.UiFontAllGlyphs";

	static final embedded = new UiFont();
	static var loader:Null<Loader>;
	static var settled = false;
	static final waiting:Array<TextField> = [];

	/** The name text formats use: the embedded font's, which the complete font shares. */
	public static function fontName():String {
		return embedded.fontName;
	}

	/** Notes the text a field now shows; one the embedded font cannot draw sends for the complete font. */
	public static function textShown(field:TextField, text:String):Void {
		if (settled || text == null || !lacksGlyphs(text))
			return;
		if (waiting.indexOf(field) < 0)
			waiting.push(field);
		if (loader == null)
			load();
	}

	static function lacksGlyphs(text:String):Bool {
		if (embedded.hasGlyphs(text))
			return false;
		for (i in 0...text.length)
			if (text.charCodeAt(i) >= 0x20 && !embedded.hasGlyphs(text.charAt(i)))
				return true;
		return false;
	}

	static function load():Void {
		final fontLoader = new Loader();
		loader = fontLoader;
		final events = fontLoader.contentLoaderInfo;
		events.addEventListener(Event.COMPLETE, _ -> register(events.applicationDomain));
		events.addEventListener(IOErrorEvent.IO_ERROR, _ -> settle());
		events.addEventListener(SecurityErrorEvent.SECURITY_ERROR, _ -> settle());
		// A domain of its own, so the file's Haxe runtime classes do not meet the movie's.
		final context = new LoaderContext(false, new ApplicationDomain());
		try {
			fontLoader.load(new URLRequest(BesideMovie.address(flash.Lib.current.loaderInfo.url, FILE_NAME)), context);
		} catch (error:flash.errors.Error) {
			settle();
		}
	}

	static function register(domain:ApplicationDomain):Void {
		try {
			Font.registerFont(domain.getDefinition(FONT_CLASS));
		} catch (error:flash.errors.Error) {
			settle();
			return;
		}
		final format = new TextFormat(fontName());
		for (field in waiting)
			if (field.length > 0)
				field.setTextFormat(format);
		settle();
	}

	static function settle():Void {
		settled = true;
		waiting.resize(0);
	}
}
