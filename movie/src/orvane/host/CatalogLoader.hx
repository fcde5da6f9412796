package orvane.host;

import flash.events.Event;
import flash.events.IOErrorEvent;
import flash.events.SecurityErrorEvent;
import flash.net.URLLoader;
import flash.net.URLLoaderDataFormat;
import flash.net.URLRequest;
import haxe.Timer;

/** Fetches the catalogue text from beside the movie, with a time limit so a stalled read cannot hang the guide. */
class CatalogLoader {
	public static inline final FILE_NAME = "orvane_catalog.xml";
	static inline final TIME_LIMIT_MS = 15000;

	final loader = new URLLoader();
	final onText:String -> Void;
	final onFailure:String -> Void;
	var timer:Null<Timer>;
	var finished = false;

	public function new(movieUrl:Null<String>, onText:String -> Void, onFailure:String -> Void) {
		this.onText = onText;
		this.onFailure = onFailure;
		loader.dataFormat = URLLoaderDataFormat.TEXT;
		loader.addEventListener(Event.COMPLETE, _ -> finish(() -> onText(withoutByteOrderMark(Std.string(loader.data)))));
		loader.addEventListener(IOErrorEvent.IO_ERROR, e -> fail('读取失败（${e.text}）'));
		loader.addEventListener(SecurityErrorEvent.SECURITY_ERROR, e -> fail('不允许读取（${e.text}）'));
		timer = Timer.delay(() -> {
			loader.close();
			fail("读取超时");
		}, TIME_LIMIT_MS);
		try {
			loader.load(new URLRequest(BesideMovie.address(movieUrl, FILE_NAME)));
		} catch (error:flash.errors.Error) {
			fail('无法读取（${error.message}）');
		}
	}

	function fail(reason:String):Void {
		finish(() -> onFailure(reason));
	}

	function finish(report:() -> Void):Void {
		if (finished)
			return;
		finished = true;
		if (timer != null)
			timer.stop();
		report();
	}

	static function withoutByteOrderMark(text:String):String {
		return StringTools.startsWith(text, "\u{FEFF}") ? text.substr(1) : text;
	}
}
