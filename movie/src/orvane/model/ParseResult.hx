package orvane.model;

/**
	A value read from text, or why it could not be read (a message for the user).
	Failures are values rather than exceptions: under the player, creating a Haxe
	exception fails because the player gives no stack traces.
**/
class ParseResult<T> {
	public final value:Null<T>;
	public final error:Null<String>;

	function new(value:Null<T>, error:Null<String>) {
		this.value = value;
		this.error = error;
	}

	public static function success<T>(value:T):ParseResult<T> {
		return new ParseResult(value, null);
	}

	public static function failure<T>(error:String):ParseResult<T> {
		return new ParseResult(null, error);
	}
}
