package orvane.host;

import flash.external.ExternalInterface;

/** The movie's side of the container contract: functions the host calls, and calls to the host. */
class HostBridge {
	public static inline final DATA_LOADED = "zDataLoadEnd";
	public static inline final MODE_CHANGED = "Z_ModeChange";
	public static inline final ERROR = "zError";
	public static inline final SELECTION_CHANGED = "zSelectionChanged";

	public static function expose(name:String, handler:Dynamic):Void {
		if (!ExternalInterface.available)
			return;
		try {
			ExternalInterface.addCallback(name, handler);
		} catch (error:flash.errors.Error) {
			trace('cannot expose $name: ${error.message}');
		}
	}

	/** Tells the host something happened; a container without a handler is not an error of the movie. */
	public static function notify(name:String, ?text:String):Void {
		if (!ExternalInterface.available)
			return;
		try {
			if (text == null)
				ExternalInterface.call(name);
			else
				ExternalInterface.call(name, text);
		} catch (error:flash.errors.Error) {
			trace('cannot call $name: ${error.message}');
		}
	}
}
