import orvane.model.Catalog;
import orvane.model.CatalogParser;
import orvane.model.ParseResult;

/**
	Reads every catalogue of the shared cases (tests/data/catalogues: NAME.xml and NAME.expected)
	and compares what the parser makes of it with what the case expects, line by line.
**/
class CatalogCasesTest {
	static function main() {
		final folder = Sys.args()[0];
		final names = [for (file in sys.FileSystem.readDirectory(folder)) if (StringTools.endsWith(file, ".xml")) file.substr(0, file.length - 4)];
		names.sort(Reflect.compare);
		var failures = 0;
		for (name in names) {
			final read = describe(CatalogParser.parse(sys.io.File.getContent('$folder/$name.xml')));
			final expected = sys.io.File.getContent('$folder/$name.expected');
			if (read != expected) {
				failures++;
				Sys.println('FAILED: $name: ${firstDifference(expected, read)}');
			}
		}
		if (names.length == 0 || failures > 0) {
			Sys.println('$failures of ${names.length} catalogue case(s) failed');
			Sys.exit(1);
		}
		Sys.println('all ${names.length} catalogue cases read as expected');
	}

	/** The reading in the cases' line format: the verdict, then the root's texts, the items skipped and each item kept. */
	static function describe(read:ParseResult<Catalog>):String {
		if (read.value == null)
			return 'refused\t${read.error}\n';
		final catalog = read.value;
		final lines = ["accepted", 'currency\t${shown(catalog.currency)}', 'edition\t${shown(catalog.edition)}', 'date\t${shown(catalog.date)}',
			'skipped\t${catalog.skippedEntries}'];
		for (item in catalog.items) {
			lines.push(["item", item.code, item.kind, shown(item.orderNumber), item.price == null ? "-" : Std.string(item.price),
				shown(item.replacement), shown(item.description)].join("\t"));
			final figures = item.figures;
			if (figures.width != null || figures.loss != null)
				lines.push(["figures", figure(figures.width), figure(figures.loss), Std.string(figures.lossPerPoint)].join("\t"));
		}
		return lines.join("\n") + "\n";
	}

	static function firstDifference(expected:String, read:String):String {
		final want = expected.split("\n");
		final got = read.split("\n");
		var line = 0;
		while (want[line] == got[line])
			line++;
		return 'line ${line + 1} expected "${want[line]}", read "${got[line]}"';
	}

	static function figure(value:Null<Int>):String {
		return value == null ? "-" : Std.string(value);
	}

	static function shown(text:Null<String>):String {
		return text == null || text == "" ? "-" : text;
	}
}
