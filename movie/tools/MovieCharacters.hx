import haxe.iterators.StringIteratorUnicode;
import sys.io.File;

/**
	The characters the movie's font must draw: any a catalogue description may hold (printable
	ASCII, GB2312, full-width forms, CJK punctuation, unit symbols) plus those of the given text files.
**/
class MovieCharacters {
	/** Unit symbols outside GB2312 that a description may use (GB2312 has °, ±, ×, ÷, ‰, ℃, Ω, μ). */
	static inline final UNIT_SYMBOLS = "µ²³Ω";

	/** Code points in ascending order, each once. */
	public static function of(textFiles:Array<String>):Array<Int> {
		final seen:Map<Int, Bool> = [];
		for (code in Gb2312.characters())
			seen[code] = true;
		for (code in 0xFF01...0xFF5F)
			seen[code] = true;
		for (code in 0x3000...0x3040)
			seen[code] = true;
		for (code in new StringIteratorUnicode(UNIT_SYMBOLS))
			seen[code] = true;
		for (code in ofFiles(textFiles))
			seen[code] = true;
		return sorted(seen);
	}

	/** Printable ASCII and the other characters of the text files, in ascending order. */
	public static function ofFiles(textFiles:Array<String>):Array<Int> {
		final seen:Map<Int, Bool> = [];
		for (code in 0x20...0x7F)
			seen[code] = true;
		for (file in textFiles)
			for (code in new StringIteratorUnicode(File.getContent(file)))
				if (code > 0x7E)
					seen[code] = true;
		return sorted(seen);
	}

	static function sorted(seen:Map<Int, Bool>):Array<Int> {
		final codes = [for (code in seen.keys()) code];
		codes.sort((a, b) -> a - b);
		return codes;
	}
}
