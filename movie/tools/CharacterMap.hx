import FontBytes.u16;
import FontBytes.u32;
import haxe.io.Bytes;

/**
	The characters a TrueType font has glyphs for, read from its Unicode `cmap` subtable
	(format 12 when the font has one, else format 4).
**/
class CharacterMap {
	final glyphOf:Map<Int, Bool> = [];

	public function new(font:Bytes) {
		final cmap = tableOffset(font, "cmap");
		if (cmap < 0)
			throw "the font has no cmap table";
		final subtable = unicodeSubtable(font, cmap);
		if (subtable < 0)
			throw "the font has no Unicode cmap subtable";
		switch (u16(font, subtable)) {
			case 4:
				readFormat4(font, subtable);
			case 12:
				readFormat12(font, subtable);
			case format:
				throw 'cmap subtable format $format is not supported';
		}
	}

	public function has(code:Int):Bool {
		return glyphOf.exists(code);
	}

	static function tableOffset(font:Bytes, tag:String):Int {
		for (i in 0...u16(font, 4)) {
			final record = 12 + 16 * i;
			if (font.getString(record, 4) == tag)
				return u32(font, record + 8);
		}
		return -1;
	}

	/** The Windows full-repertoire subtable, else the Windows BMP one. */
	static function unicodeSubtable(font:Bytes, cmap:Int):Int {
		var bmp = -1;
		for (i in 0...u16(font, cmap + 2)) {
			final record = cmap + 4 + 8 * i;
			if (u16(font, record) != 3)
				continue;
			switch (u16(font, record + 2)) {
				case 10:
					return cmap + u32(font, record + 4);
				case 1:
					bmp = cmap + u32(font, record + 4);
			}
		}
		return bmp;
	}

	function readFormat4(font:Bytes, at:Int):Void {
		final segments = u16(font, at + 6) >> 1;
		final ends = at + 14;
		final starts = ends + 2 * segments + 2;
		final deltas = starts + 2 * segments;
		final rangeOffsets = deltas + 2 * segments;
		for (s in 0...segments) {
			final start = u16(font, starts + 2 * s);
			final end = u16(font, ends + 2 * s);
			final delta = u16(font, deltas + 2 * s);
			final rangeOffset = u16(font, rangeOffsets + 2 * s);
			for (code in start...end + 1) {
				if (code == 0xFFFF)
					continue;
				var glyph = 0;
				if (rangeOffset == 0)
					glyph = (code + delta) & 0xFFFF;
				else {
					final raw = u16(font, rangeOffsets + 2 * s + rangeOffset + 2 * (code - start));
					glyph = raw == 0 ? 0 : (raw + delta) & 0xFFFF;
				}
				if (glyph != 0)
					glyphOf[code] = true;
			}
		}
	}

	function readFormat12(font:Bytes, at:Int):Void {
		for (i in 0...u32(font, at + 12)) {
			final group = at + 16 + 12 * i;
			final start = u32(font, group);
			for (code in start...u32(font, group + 4) + 1)
				glyphOf[code] = true;
		}
	}
}
