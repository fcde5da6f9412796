import flash.Lib;
import orvane.host.CatalogLoader;
import orvane.host.HostBridge;
import orvane.host.StartTrace;
import orvane.model.Catalog;
import orvane.model.CatalogLoading;
import orvane.model.CatalogParser;
import orvane.ui.MessageView;
import orvane.ui.SelectionScreen;

/**
	orvane.swf: the Torvex-Z module selection guide. Loads the catalogue beside the movie,
	then serves zSave / zBom / zLoad / zNewOpen to its container and reports zDataLoadEnd,
	Z_ModeChange, zSelectionChanged and zError. The player's page calls orvaneKeyboardBack when
	the page has the keyboard again after it lost it (a menu or dialog of the host's).
**/
class Main {
	static inline final KEYBOARD_BACK = "orvaneKeyboardBack";

	static var catalog:Null<Catalog>;
	static var screen:Null<SelectionScreen>;
	static var message:MessageView;
	/** A selection handed over before the catalogue was ready; applied once it is. */
	static var pendingText:Null<String>;

	static function main() {
		StartTrace.mark("movie first frame");
		final root = Lib.current;
		message = new MessageView();
		message.show("正在载入产品目录…", "", false);
		root.addChild(message);

		HostBridge.expose("zSave", save);
		HostBridge.expose("zBom", billOfMaterials);
		HostBridge.expose("zLoad", load);
		HostBridge.expose("zNewOpen", startNew);
		HostBridge.expose(KEYBOARD_BACK, () -> if (screen != null) screen.keyboardBack());

		new CatalogLoader(root.loaderInfo.url, [readCatalogue, showScreen], catalogFailed);
	}

	static function save():String {
		return screen == null ? "" : screen.saveText();
	}

	static function billOfMaterials():String {
		return screen == null ? "" : screen.bomText();
	}

	/** Marked in the opt-in trace, so that a benchmark can tell the movie's own time for a selection from the call's. */
	static function load(text:Dynamic):Void {
		StartTrace.mark("zLoad called");
		final asText:Null<String> = Std.isOfType(text, String) ? text : null;
		if (screen == null)
			pendingText = asText;
		else if (!screen.loadText(asText))
			disownRefusedText();
		StartTrace.mark("zLoad done");
	}

	/**
		The host takes a text it hands to zLoad as the file it opened. When the movie cannot read
		it, the selection shown is not that file's: the mode-change call makes the host forget the
		file, so it is never overwritten with a selection it did not hold. The call goes out after
		zLoad has returned, once the host has finished opening.
	**/
	static function disownRefusedText():Void {
		haxe.Timer.delay(() -> HostBridge.notify(HostBridge.MODE_CHANGED), 0);
	}

	static function startNew():Void {
		pendingText = null;
		if (screen != null)
			screen.startNew();
	}

	/** Reads the catalogue text; returns why it cannot be used, or null. */
	static function readCatalogue(text:String):Null<String> {
		StartTrace.mark("catalogue read");
		final read = CatalogParser.parse(text);
		StartTrace.mark("catalogue parsed");
		catalog = read.value;
		return read.error;
	}

	/** Builds the screen from the catalogue, with the selection the host handed over meanwhile. */
	static function showScreen(_:String):Null<String> {
		screen = new SelectionScreen(catalog, () -> HostBridge.notify(HostBridge.MODE_CHANGED),
			text -> HostBridge.notify(HostBridge.SELECTION_CHANGED, text));
		Lib.current.removeChild(message);
		Lib.current.addChild(screen);
		final refused = pendingText != null && !screen.loadText(pendingText);
		pendingText = null;
		HostBridge.notify(HostBridge.DATA_LOADED);
		if (refused)
			disownRefusedText();
		return null;
	}

	static function catalogFailed(failure:CatalogFailure):Void {
		// An error met while the screen was being built or given its first selection takes it away again.
		if (screen != null && screen.parent != null)
			screen.parent.removeChild(screen);
		screen = null;
		Lib.current.addChild(message);
		final file = '文件“${CatalogLoader.FILE_NAME}”：';
		message.show("无法载入产品目录", switch (failure) {
			case Unusable(reason): '$file$reason。\n请确认该文件与 orvane.swf 位于同一文件夹且内容完整，然后重新启动程序。';
			case TimedOut(reason): '$file$reason（${CatalogLoading.STALL_LIMIT_S} 秒没有进展）。\n计算机可能过于繁忙，请稍后重新启动程序。';
		}, true);
		HostBridge.notify(HostBridge.ERROR);
	}
}
