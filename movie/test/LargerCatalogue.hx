using StringTools;

/**
	The shipped catalogue ten times over, as the planner benchmark makes it: each item again under
	nine other codes and order numbers, bases, supplies and CPUs a little larger and dearer.
**/
class LargerCatalogue {
	public static function tenTimes(text:String):String {
		final first = text.indexOf("<item");
		final end = text.indexOf("</catalog>");
		final item = ~/<item [^>]*\/>/;
		final items = new StringBuf();
		for (copy in 0...10) {
			var rest = text.substring(first, end);
			while (item.match(rest)) {
				rest = item.matchedRight();
				items.add((copy == 0 ? item.matched(0) : copied(item.matched(0), copy)) + "\n");
			}
		}
		return text.substring(0, first) + items.toString() + text.substring(end);
	}

	static function copied(line:String, copy:Int):String {
		final suffix = "-K" + copy;
		line = ~/code="([^"]+)"/.replace(line, 'code="$$1$suffix"');
		line = ~/order="([^"]+)"/.replace(line, 'order="$$1/$copy"');
		line = ~/accessories="([^:]+):([0-9]+),([^:]+):([0-9]+)"/.replace(line, 'accessories="$$1$suffix:$$2,$$3$suffix:$$4"');
		line = line.replace(' plan="1"', "");
		if (line.indexOf('kind="di"') >= 0 || line.indexOf('kind="do"') >= 0)
			return line;
		for (figure in ["slots", "out5v", "price", "maxio"]) {
			final value = new EReg(figure + '="([0-9]+)"', "");
			if (value.match(line))
				line = value.replace(line, figure + '="' + (Std.parseInt(value.matched(1)) + copy * (figure == "slots" ? 1 : 10)) + '"');
		}
		return line;
	}
}
