package orvane.host;

import flash.events.Event;
import flash.events.IOErrorEvent;
import flash.events.SecurityErrorEvent;
import flash.net.URLLoader;
import flash.net.URLLoaderDataFormat;
import flash.net.URLRequest;
import haxe.Timer;

/**
	Fetches the catalogue text from beside the movie and hands it on. Every way this can go wrong
	ends in one failure report: a failed or stalled read (time limit), a text the receiver refuses,
	or an error the receiver meets while using it. The time limit runs until the receiver is done,
	so even an error that escapes it ends in a report.
**/
class CatalogLoader {
	public static inline final FILE_NAME = "orvane_catalog.xml";
	static inline final TIME_LIMIT_MS = 15000;

	final loader = new URLLoader();
	/** Uses the text; returns why it cannot be used, or null. */
	final onText:String -> Null<String>;
	final onFailure:String -> Void;
	var timer:Null<Timer>;
	var textArrived = false;
	var finished = false;

	public function new(movieUrl:Null<String>, onText:String -> Null<String>, onFailure:String -> Void) {
		this.onText = onText;
		this.onFailure = onFailure;
		loader.dataFormat = URLLoaderDataFormat.TEXT;
		loader.addEventListener(Event.COMPLETE, _ -> use(withoutByteOrderMark(Std.string(loader.data))));
		loader.addEventListener(IOErrorEvent.IO_ERROR, e -> fail('读取失败（${e.text}）'));
		loader.addEventListener(SecurityErrorEvent.SECURITY_ERROR, e -> fail('不允许读取（${e.text}）'));
		timer = Timer.delay(() -> {
			loader.close();
			fail(textArrived ? "处理目录时出错" : "读取超时");
		}, TIME_LIMIT_MS);
		try {
			loader.load(new URLRequest(BesideMovie.address(movieUrl, FILE_NAME)));
		} catch (error:flash.errors.Error) {
			fail('无法读取（${error.message}）');
		}
	}

	function use(text:String):Void {
		if (finished)
			return;
		textArrived = true;
		final problem:Null<String> = try onText(text) catch (error:flash.errors.Error) '无法使用（${error.message}）' catch (_:Dynamic) "无法使用";
		if (problem == null)
			finish(() -> {})
		else
			fail(problem);
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
