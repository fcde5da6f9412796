package orvane.ui;

import flash.display.InteractiveObject;
import flash.display.Sprite;
import flash.text.TextField;
import flash.text.TextFormatAlign;
import orvane.model.Overrun;
import orvane.model.Remedy;
import orvane.model.StatusLine.StatusKind;

/**
	The line at the foot of the screen: on the left the status message with what the open of the
	selection told (as far as it still holds), then, apart, where the reserve is eaten; on the right a limit the selection runs past with up to three changes that fix
	it, each a button that applies it (or, when the catalogue has nothing that fits, the advice
	alone). With more than one such limit, "下一项" goes on to the next; a limit's remedies are
	sought when it is first shown.
**/
class StatusBar extends Sprite {
	static inline final HEIGHT = 20;
	static inline final GAP = 6;

	final message:TextField;
	final limit:TextField;
	final barWidth:Float;
	/** Where the remedies begin: the messages end before it. */
	var messagesEnd:Float;
	final onApply:Remedy -> Void;
	/** "下一项", made when first needed: most selections run past one limit at most. */
	var next:Null<PushButton>;
	final buttons:Array<PushButton> = [];
	final texts:Array<TextField> = [];
	var overruns:Array<Overrun> = [];
	var shownOverrun = 0;
	var shownKey = "";

	public function new(x:Float, y:Float, width:Float, onApply:Remedy -> Void) {
		super();
		this.x = x;
		this.y = y;
		barWidth = messagesEnd = width;
		this.onApply = onApply;
		message = TextFactory.label("", 0, 1, width, 12, Palette.TEXT_DIM);
		limit = TextFactory.label("", 0, 1, 0, 12, Palette.NOTICE);
		addChild(message);
		addChild(limit);
	}

	/** The parts as ScreenState gives them: the message and how it reads, where the reserve is eaten, the limits. Neither message hides the other. */
	public function show(notes:String, kind:StatusKind, reserveWarning:Null<String>, newOverruns:Array<Overrun>):Void {
		overruns = newOverruns;
		showOverrun();
		message.text = notes;
		message.textColor = switch (kind) {
			case Failure: Palette.WARNING;
			case Notice: Palette.NOTICE;
			case Note: Palette.TEXT_DIM;
		}
		limit.text = reserveWarning == null ? "" : reserveWarning;
		final notesWidth = notes == "" ? 0 : reserveWarning == null ? messagesEnd : Math.min(TextFactory.widthOf(notes, 12) + 4, messagesEnd / 2);
		message.width = notesWidth;
		limit.x = notes == "" ? 0 : notesWidth + GAP;
		limit.width = Math.max(0, messagesEnd - limit.x);
	}

	/** Rebuilt only when what is shown changes, so a focused button stays while other things change. */
	function showOverrun():Void {
		if (shownOverrun >= overruns.length)
			shownOverrun = 0;
		final overrun = overruns[shownOverrun];
		final key = overrun == null ? "" : [overrun.limit, overrun.note()].concat([for (r in overrun.remedies()) r.text()]).join("\n") + shownOverrun + "/" + overruns.length;
		if (key == shownKey)
			return;
		shownKey = key;
		for (old in buttons)
			removeChild(old);
		for (old in texts)
			removeChild(old);
		buttons.resize(0);
		texts.resize(0);
		var right = barWidth;
		if (next == null && overruns.length > 1) {
			next = new PushButton("", 0, 0, 70, HEIGHT, () -> {
				shownOverrun++;
				showOverrun();
			}, 12);
			addChild(next);
		}
		if (next != null)
			next.visible = overruns.length > 1;
		if (overruns.length > 1) {
			next.setText('下一项 ${shownOverrun + 1}/${overruns.length}');
			right -= 70;
			next.x = right;
			right -= GAP;
		}
		if (overrun != null) {
			final parts:Array<{text:String, remedy:Null<Remedy>}> = [{text: overrun.limit + "：", remedy: null}];
			if (overrun.note() != null)
				parts.push({text: overrun.note(), remedy: null});
			for (remedy in overrun.remedies())
				parts.push({text: remedy.text(), remedy: remedy});
			parts.reverse();
			for (part in parts) {
				final width = TextFactory.widthOf(part.text, 12) + (part.remedy == null ? 4 : 16);
				right -= width;
				final remedy = part.remedy;
				if (remedy == null) {
					final text = TextFactory.label(part.text, right, 1, width, 12, Palette.WARNING, TextFormatAlign.RIGHT);
					texts.push(text);
					addChild(text);
				} else {
					final button = new PushButton(part.text, right, 0, width, HEIGHT, () -> onApply(remedy), 12);
					buttons.unshift(button);
					addChild(button);
				}
				right -= GAP;
			}
		}
		messagesEnd = Math.max(0, right);
	}

	/** The remedy buttons left to right, then "下一项". */
	public function focusArea():FocusArea {
		return FocusArea.row(() -> (cast buttons.copy() : Array<InteractiveObject>).concat(next == null ? [] : [next]));
	}
}
