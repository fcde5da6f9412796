package orvane.model;

using StringTools;

/**
	The lines of a selection text after its header, read one by one into values by key. Each is
	KEY=VALUE with a key its version knows: `order` from version 2, `rack` and the project fields
	from version 3, `reserve` and `edition` from version 4, `cabinet` from version 5. `qty` and `rack` may stand more than once, every other key once.
**/
class SelectionLines {
	final values:Map<String, Array<String>> = [];
	final version:Int;

	function new(version:Int) {
		this.version = version;
	}

	/** The lines of `text` after its header (CR LF taken as LF, a last line end ignored), or the first one at fault. */
	public static function read(text:String, version:Int):ParseResult<SelectionLines> {
		final lines = text.split("\n").map(line -> line.endsWith("\r") ? line.substr(0, line.length - 1) : line);
		if (lines[lines.length - 1] == "")
			lines.pop();
		final read = new SelectionLines(version);
		for (i in 1...lines.length) {
			final problem = read.add(lines[i], i + 1);
			if (problem != null)
				return ParseResult.failure(problem);
		}
		return ParseResult.success(read);
	}

	/** The value of a key that stands once; null when the text does not have it. */
	public function get(key:String):Null<String> {
		final found = values[key];
		return found == null ? null : found[0];
	}

	/** Every value of a key, in the text's order. */
	public function all(key:String):Array<String> {
		final found = values[key];
		return found == null ? [] : found;
	}

	function add(line:String, number:Int):Null<String> {
		final separator = line.indexOf("=");
		if (separator <= 0)
			return '第 $number 行格式错误';
		final key = line.substr(0, separator);
		if (!knows(key))
			return '未知的项目“$key”';
		if (values.exists(key) && key != "qty" && key != "rack")
			return '“$key”重复出现';
		if (!values.exists(key))
			values[key] = [];
		values[key].push(line.substr(separator + 1));
		return null;
	}

	function knows(key:String):Bool {
		return switch (key) {
			case "mode" | "cpu" | "power" | "base" | "need" | "pick" | "qty": true;
			case "order": version >= 2;
			case "rack": version >= 3;
			case "reserve" | "edition": version >= 4;
			case "cabinet": version >= 5;
			default: version >= 3 && ProjectData.fields.filter(field -> field.key == key).length > 0;
		}
	}
}
