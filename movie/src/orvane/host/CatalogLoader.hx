package orvane.host;

import flash.display.Shape;
import flash.events.Event;
import flash.events.IOErrorEvent;
import flash.events.ProgressEvent;
import flash.events.SecurityErrorEvent;
import flash.net.URLLoader;
import flash.net.URLLoaderDataFormat;
import flash.net.URLRequest;
import haxe.Timer;
import orvane.model.CatalogLoading;

/**
	Fetches the catalogue text from beside the movie and hands it to the steps that use it, by the
	rules of CatalogLoading. Every way this can go wrong ends in one failure report: a failed read,
	a text a step refuses, an error a step meets, or no progress for a while.
**/
class CatalogLoader {
	public static inline final FILE_NAME = "orvane_catalog.xml";

	final loader = new URLLoader();
	final frames = new Shape();
	final stallCheck = new Timer(1000);

	public function new(movieUrl:Null<String>, steps:Array<String -> Null<String>>, onFailure:CatalogFailure -> Void) {
		final loading = new CatalogLoading([for (step in steps) guarded(step)], Timer.stamp, inNextFrame, failure -> {
			stallCheck.stop();
			if (failure == null)
				return;
			if (failure.match(TimedOut(_)))
				try loader.close() catch (_:Dynamic) {}
			onFailure(failure);
		});
		stallCheck.run = loading.checkStall;
		loader.dataFormat = URLLoaderDataFormat.TEXT;
		loader.addEventListener(ProgressEvent.PROGRESS, _ -> loading.progressed());
		loader.addEventListener(Event.COMPLETE, _ -> loading.textArrived(Std.string(loader.data)));
		loader.addEventListener(IOErrorEvent.IO_ERROR, e -> loading.readFailed('读取失败（${e.text}）'));
		loader.addEventListener(SecurityErrorEvent.SECURITY_ERROR, e -> loading.readFailed('不允许读取（${e.text}）'));
		try {
			loader.load(new URLRequest(BesideMovie.address(movieUrl, FILE_NAME)));
		} catch (error:flash.errors.Error) {
			loading.readFailed('无法读取（${error.message}）');
		}
	}

	/** An error a step meets is a reason like any other: the screen it was building is taken away. */
	static function guarded(step:String -> Null<String>):String -> Null<String> {
		return text -> try step(text) catch (error:flash.errors.Error) '无法使用（${error.message}）' catch (_:Dynamic) "无法使用";
	}

	function inNextFrame(run:() -> Void):Void {
		function next(_:Event):Void {
			frames.removeEventListener(Event.ENTER_FRAME, next);
			run();
		}
		frames.addEventListener(Event.ENTER_FRAME, next);
	}
}
