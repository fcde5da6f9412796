// A tiny movie for the player tests: it answers the host's calls and calls
// the host back through ExternalInterface, with no user interface.
import flash.external.ExternalInterface;

class EchoMovie {
    static var stored = "";

    static function main() {
        ExternalInterface.addCallback("echo", function(text:String) return text);
        ExternalInterface.addCallback("length", function(text:String) return text.length);
        ExternalInterface.addCallback("typed", typed);
        ExternalInterface.addCallback("callHost", callHost);
        ExternalInterface.addCallback("busy", busy);
        ExternalInterface.addCallback("command", function(command:String, args:String) {
            flash.Lib.fscommand(command, args);
            return "sent";
        });
        ExternalInterface.addCallback("store", function(text:String) { stored = text; return stored.length; });
        ExternalInterface.addCallback("fetch", function() return stored);
        ExternalInterface.addCallback("units", units);
        ExternalInterface.addCallback("fromUnits", fromUnits);
        ExternalInterface.addCallback("callHostWithUnits", callHostWithUnits);
        ExternalInterface.call("movieReady", "echo");
    }

    // A result of each kind the host must tell apart from a string.
    static function typed(kind:String):Dynamic {
        return switch (kind) {
            case "null": null;
            case "number": 42.5;
            case "integer": -7;
            case "true": true;
            case "false": false;
            case "array": ["a", 1];
            case "object": {name: "x&y"};
            default: js_undefined();
        }
    }

    static function js_undefined():Dynamic {
        return untyped __global__["undefined"];
    }

    // Calls the host function `name` with arguments of several kinds.
    static function callHost(name:String, text:String) {
        ExternalInterface.call(name, text, 12.5, true, false, null);
        return "called";
    }

    // The UTF-16 code units the movie holds, as "55296,97".
    static function units(text:String) {
        return [for (i in 0...text.length) Std.string(text.charCodeAt(i))].join(",");
    }

    // The movie's own text made of code units, lone surrogates included.
    static function fromUnits(list:String) {
        var text = "";
        if (list != "")
            for (unit in list.split(","))
                text += String.fromCharCode(Std.parseInt(unit));
        return text;
    }

    // Calls the host's "hostEcho" with such a text alone, in an array, and as
    // an object's key and value.
    static function callHostWithUnits(list:String) {
        var text = fromUnits(list);
        var object:Dynamic = {};
        Reflect.setField(object, text, text);
        ExternalInterface.call("hostEcho", text, [text], object);
        return "called";
    }

    // Keeps the movie busy for `ms` milliseconds, then answers.
    static function busy(ms:Float) {
        var end = haxe.Timer.stamp() + ms / 1000;
        while (haxe.Timer.stamp() < end) {}
        return "done";
    }
}
