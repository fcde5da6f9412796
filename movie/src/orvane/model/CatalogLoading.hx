package orvane.model;

/** Why the catalogue could not be used: the file (or reading it) failed, or nothing went on for too long. */
enum CatalogFailure {
	Unusable(reason:String);
	TimedOut(reason:String);
}

/**
	The rules of loading the catalogue, apart from the player: the steps that use its text run in
	turn, and loading is given up only when nothing has gone on for STALL_LIMIT_S seconds.
	Progress is data arriving, the text complete and each step done, so a slow machine that keeps
	going is never cut off; a read or step that stalls (or that the player ends) is reported as a
	time-out, not as a fault of the file. A step that took long gives the next one a frame of its
	own, since the player ends a script that runs 15 s.
**/
class CatalogLoading {
	public static inline final STALL_LIMIT_S = 15;
	static inline final LONG_STEP_S = 1.0;

	/** Each uses the text; returns why it cannot be used, or null. */
	final steps:Array<String -> Null<String>>;
	/** Seconds on any steady clock. */
	final now:() -> Float;
	final inNextFrame:(() -> Void) -> Void;
	final onEnd:Null<CatalogFailure> -> Void;
	var lastProgress:Float;
	var textComplete = false;
	var ended = false;

	/** `onEnd(failure)` once: null when every step is done. */
	public function new(steps:Array<String -> Null<String>>, now:() -> Float, inNextFrame:(() -> Void) -> Void, onEnd:Null<CatalogFailure> -> Void) {
		this.steps = steps;
		this.now = now;
		this.inNextFrame = inNextFrame;
		this.onEnd = onEnd;
		lastProgress = now();
	}

	/** Data arrived. */
	public function progressed():Void {
		lastProgress = now();
	}

	/** The whole text is in: the steps use it. */
	public function textArrived(text:String):Void {
		textComplete = true;
		progressed();
		run(text, 0);
	}

	public function readFailed(reason:String):Void {
		end(Unusable(reason));
	}

	/** Asked now and then: gives up when nothing has gone on for the limit. */
	public function checkStall():Void {
		if (now() - lastProgress >= STALL_LIMIT_S)
			end(TimedOut(textComplete ? "处理目录超时" : "读取超时"));
	}

	function run(text:String, step:Int):Void {
		if (ended)
			return;
		if (step == steps.length) {
			end(null);
			return;
		}
		final started = now();
		final problem = steps[step](text);
		progressed();
		if (problem != null)
			end(Unusable(problem));
		else if (now() - started < LONG_STEP_S)
			run(text, step + 1);
		else
			inNextFrame(() -> run(text, step + 1));
	}

	function end(failure:Null<CatalogFailure>):Void {
		if (ended)
			return;
		ended = true;
		onEnd(failure);
	}
}
