package orvane.model;

/**
	Reads the catalogue file:

	<catalog format="2" currency="CNY">
	  <item kind="cpu|power|base|di|do|ai|ao|comm|expbase|expif|cable|acc" code="ZX-DI16" desc="..."
	        order="TZ-D0162-00" price="680.00" maxbases="4" accessories="ZX-CC40:1,ZX-TB40:1"
	        di="" do="" ai="" ao="" slots="" i5v="" i24v="" out5v="" out24v="" maxio="" plan="1"/>
	</catalog>

	Numbers are non-negative decimal integers; missing ones are 0. Format 2 adds the order
	number, the list price (read only when the catalogue names its currency), a CPU's number of
	bases, the expansion kinds, and accessories: items of kind `acc` that another item requires,
	named with how many go with each piece of it (an item requiring one the catalogue does not
	offer as an accessory is damaged), and `replacement`, the successor of a discontinued item; a
	format 1 file reads as it always did. The root may name the catalogue's `edition` (digits and
	dots) and `date` (YYYY-MM-DD); a malformed one refuses the file. A damaged or repeated
	item (its code, or its order number, seen before) is left out and counted; a file that is not such a document, is over 1 MiB
	(in UTF-8, a byte-order mark aside), nests elements deeper than a few levels, holds more than 500 items or lacks a CPU, a power
	supply or a base, is refused as a whole. Format 3 adds each item's rail width and power loss
	(`width` in mm, up to one decimal, at most 2000; `loss` in W without load and `lossperpoint` in W
	per loaded I/O point, up to three decimals, at most 1000 and 10): an item that gives neither
	loss attribute has an unknown loss, one without `width` an unknown width; a malformed or
	larger figure (negative, not a number) makes the item damaged. Formats 1 and 2 do not read them. The program's reader (core/catalog/src/CatalogReader.cpp) keeps the same rules: both run the
	cases of tests/data/catalogues.
**/
class CatalogParser {
	public static inline final FORMAT = "1";
	public static inline final FORMAT_2 = "2";
	public static inline final FORMAT_3 = "3";
	/** Bases a CPU may drive, the main one included. */
	public static inline final MAX_BASES = 8;
	/** The file's size in bytes. */
	static inline final MAX_TEXT_LENGTH = 1 << 20;
	static inline final BYTE_ORDER_MARK = "\u{FEFF}";
	/** The file needs two levels (catalog, item); a few more leave room for what a later format may add. */
	static inline final MAX_NESTING = 8;
	static inline final MAX_ITEMS = 500;
	static inline final MAX_NUMBER = 999999;
	static inline final MAX_DESCRIPTION = 40;
	static final codePattern = ~/^[A-Za-z0-9][A-Za-z0-9._-]{0,23}$/;
	static final numberPattern = ~/^[0-9]{1,6}$/;
	static final orderNumberPattern = ~/^[A-Za-z0-9][A-Za-z0-9._\/-]{0,31}$/;
	static final pricePattern = ~/^[0-9]{1,7}(\.[0-9]{1,2})?$/;
	static final currencyPattern = ~/^[A-Z]{3}$/;
	static final accessoryCountPattern = ~/^[1-9][0-9]?$/;
	static final editionPattern = ~/^[0-9]+(\.[0-9]+)*$/;
	static inline final MAX_EDITION = 32;
	static final widthPattern = ~/^[0-9]{1,4}(\.[0-9])?$/;
	static final lossPattern = ~/^[0-9]{1,4}(\.[0-9]{1,3})?$/;
	/** Rail width in 0.1 mm, loss and loss per point in mW. */
	static inline final MAX_WIDTH = 20000;
	static inline final MAX_LOSS = 1000000;
	static inline final MAX_LOSS_PER_POINT = 10000;
	static final datePattern = ~/^[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])$/;
	/** Different accessories one item may require. */
	static inline final MAX_ACCESSORIES = 8;

	/** The player reads the catalogue as UTF-8 whatever its XML declaration names: one naming another encoding is refused. */
	static function declaresAnotherEncoding(text:String):Bool {
		final declared = ~/^<\?xml\s[^?]*encoding\s*=\s*["']([^"']*)["']/;
		if (!declared.match(text))
			return false;
		final name = declared.matched(1).toLowerCase();
		return name != "utf-8" && name != "utf8";
	}

	public static function parse(text:Null<String>):ParseResult<Catalog> {
		if (text != null && StringTools.startsWith(text, BYTE_ORDER_MARK))
			text = text.substr(1);
		if (text == null || text.length == 0)
			return ParseResult.failure("目录文件为空");
		if (isOverMaxBytes(text))
			return ParseResult.failure("目录文件过大");
		if (XmlNesting.exceeds(text, MAX_NESTING))
			return ParseResult.failure("目录文件的元素嵌套层次过深");
		if (declaresAnotherEncoding(text))
			return ParseResult.failure("目录文件须为 UTF-8 编码");
		final document = try Xml.parse(text) catch (_:Dynamic) null;
		final root = document == null ? null : rootElement(document);
		if (root == null)
			return ParseResult.failure("目录文件不是有效的 XML");
		if (root.nodeName != "catalog")
			return ParseResult.failure("目录文件缺少 catalog 根元素");
		final format3 = root.get("format") == FORMAT_3;
		final format2 = root.get("format") == FORMAT_2 || format3;
		if (root.get("format") != FORMAT && !format2)
			return ParseResult.failure("不支持的目录格式版本");
		final currency = format2 ? root.get("currency") : null;
		if (currency != null && !matchesWhole(currencyPattern, currency))
			return ParseResult.failure("目录的货币代码无效");
		final edition = root.get("edition");
		final date = root.get("date");
		if (edition != null && (edition.length > MAX_EDITION || !matchesWhole(editionPattern, edition)))
			return ParseResult.failure("目录的版本号无效");
		if (date != null && !matchesWhole(datePattern, date))
			return ParseResult.failure("目录的日期无效");

		final itemCount = Lambda.count({iterator: () -> root.elementsNamed("item")});
		if (itemCount > MAX_ITEMS)
			return ParseResult.failure('目录中有 $itemCount 项产品，超过了程序能读取的 $MAX_ITEMS 项');
		final items:Array<CatalogItem> = [];
		final seen:Map<String, CatalogItem> = [];
		final seenOrders:Map<String, Bool> = [];
		final required:Map<String, Array<{code:String, count:Int}>> = [];
		var skipped = 0;
		for (element in root.elementsNamed("item")) {
			final item = readItem(element, format2, currency != null, format3);
			final accessories = format2 ? readAccessories(element.get("accessories")) : [];
			if (item == null || accessories == null || (item.kind == Accessory && accessories.length > 0) || seen.exists(item.code)
				|| seenOrders.exists(item.orderNumber)) {
				skipped++;
				continue;
			}
			seen[item.code] = item;
			if (item.orderNumber != "")
				seenOrders[item.orderNumber] = true;
			required[item.code] = accessories;
			items.push(item);
		}
		final usable = items.filter(item -> attachAccessories(item, required[item.code], seen));
		final catalog = new Catalog(usable, skipped + items.length - usable.length, currency, edition, date);
		for (kind in [ModuleKind.Cpu, ModuleKind.Power, ModuleKind.Base])
			if (catalog.ofKind(kind).length == 0)
				return ParseResult.failure('目录中没有可用的${kind.label}');
		return ParseResult.success(catalog);
	}

	/** Over MAX_TEXT_LENGTH bytes in UTF-8; counted only when the text could be, since no character takes more bytes than 4, nor more than 3 per UTF-16 unit. */
	static function isOverMaxBytes(text:String):Bool {
		return text.length > MAX_TEXT_LENGTH || (text.length * 4 > MAX_TEXT_LENGTH && haxe.io.Bytes.ofString(text).length > MAX_TEXT_LENGTH);
	}

	/**
		Whether `pattern` (anchored with ^ and $) matches the whole text: some regular expression
		engines let $ match before a final line end, which a catalogue's value must not end with.
	**/
	static function matchesWhole(pattern:EReg, text:String):Bool {
		return pattern.match(text) && pattern.matchedPos().len == text.length;
	}

	static function rootElement(document:Xml):Null<Xml> {
		for (child in document.elements())
			return child;
		return null;
	}

	static function readItem(element:Xml, format2:Bool, priced:Bool, format3:Bool):Null<CatalogItem> {
		final kind = ModuleKind.fromString(element.get("kind"));
		final code = element.get("code");
		if (kind == null || code == null || !matchesWhole(codePattern, code) || (!format2 && ModuleKind.format2Only.contains(kind)))
			return null;
		final order = format2 ? element.get("order") : null;
		final price = format2 && priced ? element.get("price") : null;
		final bases = format2 && kind == Cpu ? readNumber(element.get("maxbases")) : 1;
		final replacement = format2 ? element.get("replacement") : null;
		if ((order != null && !matchesWhole(orderNumberPattern, order)) || (price != null && !matchesWhole(pricePattern, StringTools.trim(price)))
			|| bases == null || bases > MAX_BASES || (replacement != null && !matchesWhole(codePattern, replacement)))
			return null;
		final numbers = ["di", "do", "ai", "ao", "slots", "i5v", "i24v", "out5v", "out24v", "maxio"];
		final value:Map<String, Int> = [];
		for (name in numbers) {
			final number = readNumber(element.get(name));
			if (number == null)
				return null;
			value[name] = number;
		}
		final points = new IoPoints(value["di"], value["do"], value["ai"], value["ao"]);
		final isModule = ModuleKind.slotModules.contains(kind);
		final slots = isModule && element.get("slots") == null ? 1 : value["slots"];
		if (!fitsKind(kind, points, slots, value["out5v"]))
			return null;
		final figures = format3 ? readFigures(element) : ItemFigures.UNKNOWN;
		if (figures == null)
			return null;
		return new CatalogItem(code, kind, cleanDescription(element.get("desc")), points, slots, value["i5v"], value["i24v"],
			kind == Power ? value["out5v"] : 0, kind == Power ? value["out24v"] : 0, kind == Cpu ? value["maxio"] : 0,
			element.get("plan") == "1", order == null ? "" : order, price == null ? null : fen(StringTools.trim(price)), bases < 1 ? 1 : bases,
			replacement, false, figures);
	}

	/** Width and loss of a format 3 item; null when one is malformed or too large. */
	static function readFigures(element:Xml):Null<ItemFigures> {
		final width = readScaled(element.get("width"), widthPattern, 10, MAX_WIDTH);
		final loss = readScaled(element.get("loss"), lossPattern, 1000, MAX_LOSS);
		final perPoint = readScaled(element.get("lossperpoint"), lossPattern, 1000, MAX_LOSS_PER_POINT);
		if (width == DAMAGED || loss == DAMAGED || perPoint == DAMAGED)
			return null;
		final knownLoss = loss != null || perPoint != null;
		return new ItemFigures(width, knownLoss ? (loss == null ? 0 : loss) : null, perPoint == null ? 0 : perPoint);
	}

	static inline final DAMAGED = -1;

	/** A decimal figure times `scale` (its decimals as the pattern allows them): null when missing, DAMAGED when malformed or over `max`. */
	static function readScaled(text:Null<String>, pattern:EReg, scale:Int, max:Int):Null<Int> {
		if (text == null)
			return null;
		final trimmed = StringTools.trim(text);
		if (!matchesWhole(pattern, trimmed))
			return DAMAGED;
		final parts = trimmed.split(".");
		final fraction = parts.length > 1 ? parts[1] : "";
		var value = Std.parseInt(parts[0]) * scale;
		var unit = Std.int(scale / 10);
		for (i in 0...fraction.length) {
			value += (fraction.charCodeAt(i) - "0".code) * unit;
			unit = Std.int(unit / 10);
		}
		return value > max ? DAMAGED : value;
	}

	static function fitsKind(kind:ModuleKind, points:IoPoints, slots:Int, supply5V:Int):Bool {
		return switch (kind) {
			case Cpu: true;
			case Power: supply5V > 0;
			case Base | ExpansionBase: slots >= 1 && slots <= 64;
			case ExpansionInterface | ExpansionCable | Accessory: true;
			case Comm: slots >= 1 && slots <= 4;
			case DigitalIn | DigitalOut | AnalogIn | AnalogOut:
				slots >= 1 && slots <= 4 && points.of(kind) > 0 && points.total() == points.of(kind);
		}
	}

	/** `CODE:n,CODE:n` (n 1 to 99, each code once); none when missing, null when malformed. */
	static function readAccessories(text:Null<String>):Null<Array<{code:String, count:Int}>> {
		if (text == null)
			return [];
		final entries = StringTools.trim(text).split(",");
		if (entries.length > MAX_ACCESSORIES)
			return null;
		final found:Array<{code:String, count:Int}> = [];
		for (entry in entries) {
			final pair = entry.split(":");
			if (pair.length != 2 || !matchesWhole(codePattern, pair[0]) || !matchesWhole(accessoryCountPattern, pair[1])
				|| found.filter(f -> f.code == pair[0]).length > 0)
				return null;
			found.push({code: pair[0], count: Std.parseInt(pair[1])});
		}
		return found;
	}

	/** Gives the item the accessories it requires; false when one is not an accessory of the catalogue. */
	static function attachAccessories(item:CatalogItem, required:Array<{code:String, count:Int}>, byCode:Map<String, CatalogItem>):Bool {
		for (need in required) {
			final accessory = byCode[need.code];
			if (accessory == null || accessory.kind != Accessory)
				return false;
			item.accessories.push(new ModuleLine(accessory, need.count));
		}
		return true;
	}

	/** A price as the pattern matched it, in fen: "680.5" is 68050. */
	static function fen(text:String):Int {
		final parts = text.split(".");
		final fraction = parts.length > 1 ? (parts[1] + "0").substr(0, 2) : "0";
		return Std.parseInt(parts[0]) * 100 + Std.parseInt(fraction);
	}

	static function readNumber(text:Null<String>):Null<Int> {
		if (text == null)
			return 0;
		final trimmed = StringTools.trim(text);
		if (!matchesWhole(numberPattern, trimmed))
			return null;
		final number = Std.parseInt(trimmed);
		return number != null && number <= MAX_NUMBER ? number : null;
	}

	static function cleanDescription(text:Null<String>):String {
		if (text == null)
			return "";
		final buffer = new StringBuf();
		var length = 0;
		for (code in new haxe.iterators.StringIteratorUnicode(StringTools.trim(text))) {
			if (length == MAX_DESCRIPTION)
				break;
			buffer.addChar(code < 32 || code == 127 ? 32 : code);
			length++;
		}
		return buffer.toString();
	}
}
