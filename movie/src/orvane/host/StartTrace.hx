package orvane.host;

import flash.Lib;
import flash.external.ExternalInterface;

/**
	Start-up marks for the host's opt-in trace. The movie sends them only when the host passed
	orvaneTrace=1 among its parameters; otherwise nothing reaches the container.
**/
class StartTrace {
	static var enabled:Null<Bool>;

	public static function mark(phase:String):Void {
		if (enabled == null)
			enabled = ExternalInterface.available && Lib.current.loaderInfo.parameters.orvaneTrace == "1";
		if (!enabled)
			return;
		try {
			ExternalInterface.call("orvaneTraceMark", phase);
		} catch (error:flash.errors.Error) {
			enabled = false;
		}
	}
}
