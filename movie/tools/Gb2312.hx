import haxe.io.Bytes;
import haxe.iterators.StringIteratorUnicode;

/**
	The GB2312 character set, decoded by the system's iconv from every code of rows and cells
	0xA1..0xFE; the codes the set leaves unassigned are dropped by `iconv -c`.
**/
class Gb2312 {
	/** 6763 hanzi and 682 other characters. */
	public static inline final SIZE = 7445;

	public static function characters():Array<Int> {
		final codes = Bytes.alloc(94 * 94 * 2);
		var at = 0;
		for (row in 0xA1...0xFF)
			for (cell in 0xA1...0xFF) {
				codes.set(at++, row);
				codes.set(at++, cell);
			}
		final iconv = new sys.io.Process("iconv", ["-c", "-f", "GB2312", "-t", "UTF-8"]);
		iconv.stdin.write(codes);
		iconv.stdin.close();
		final text = iconv.stdout.readAll().toString();
		iconv.close();
		final characters = [for (code in new StringIteratorUnicode(text)) code];
		if (characters.length != SIZE)
			throw 'iconv decoded ${characters.length} GB2312 characters instead of $SIZE';
		return characters;
	}
}
