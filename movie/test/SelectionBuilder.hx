import orvane.model.*;

/**
	A selection by module for a test, built in a line, and an editor that holds it as if the host
	had opened it: `SelectionBuilder.on(catalog, "ZC-110", "ZP-P15", "ZB-B08").modules(["ZX-DI64" => 4]).editor()`.
**/
class SelectionBuilder {
	public final selection = new Selection();
	final catalog:Catalog;

	function new(catalog:Catalog) {
		this.catalog = catalog;
	}

	public static function on(catalog:Catalog, cpu:String, power:String, base:String):SelectionBuilder {
		final built = new SelectionBuilder(catalog);
		for (code in [cpu, power, base])
			built.selection.choose(catalog.find(code));
		return built;
	}

	public function modules(quantities:Map<String, Int>):SelectionBuilder {
		for (code => quantity in quantities)
			selection.setQuantity(catalog.find(code), quantity);
		return this;
	}

	/** An expansion rack of the selection's own. */
	public function rack(base:String, power:String):SelectionBuilder {
		selection.addRack();
		for (code in [base, power])
			selection.chooseFor(selection.racks.length, catalog.find(code));
		return this;
	}

	public function reserve(kind:LimitKind, percent:Int):SelectionBuilder {
		selection.reserve.set(kind, percent);
		return this;
	}

	/** An editor that opened the selection's text: nothing to undo yet. `told` hears what the host is told: each new text, and "mode" for a switch. */
	public function editor(?told:Array<String>):SelectionEditor {
		final heard = told == null ? [] : told;
		final editor = new SelectionEditor(catalog, text -> heard.push(text), () -> heard.push("mode"));
		editor.load(SelectionFormat.write(selection, catalog));
		return editor;
	}
}
