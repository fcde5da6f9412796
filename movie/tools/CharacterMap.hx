import FontBytes.u16;
import FontBytes.u32;
import haxe.io.Bytes;

/**
	The glyph a TrueType face maps each character to, read from its Unicode `cmap` subtable
	(format 12 when the face has one, else format 4).
**/
class CharacterMap {
	final glyphs:Map<Int, Int> = [];

	public function new(face:FontFace) {
		final cmap = face.table("cmap");
		final subtable = unicodeSubtable(cmap);
		if (subtable < 0)
			throw "the font has no Unicode cmap subtable";
		switch (u16(cmap, subtable)) {
			case 4:
				readFormat4(cmap, subtable);
			case 12:
				readFormat12(cmap, subtable);
			case format:
				throw 'cmap subtable format $format is not supported';
		}
	}

	/** The character's glyph, 0 when the face maps it to none. */
	public function glyph(code:Int):Int {
		final found = glyphs[code];
		return found == null ? 0 : found;
	}

	/** The Windows full-repertoire subtable, else the Windows BMP one. */
	static function unicodeSubtable(cmap:Bytes):Int {
		var bmp = -1;
		for (i in 0...u16(cmap, 2)) {
			final record = 4 + 8 * i;
			if (u16(cmap, record) != 3)
				continue;
			switch (u16(cmap, record + 2)) {
				case 10:
					return u32(cmap, record + 4);
				case 1:
					bmp = u32(cmap, record + 4);
			}
		}
		return bmp;
	}

	function readFormat4(cmap:Bytes, at:Int):Void {
		final segments = u16(cmap, at + 6) >> 1;
		final ends = at + 14;
		final starts = ends + 2 * segments + 2;
		final deltas = starts + 2 * segments;
		final rangeOffsets = deltas + 2 * segments;
		for (s in 0...segments) {
			final start = u16(cmap, starts + 2 * s);
			final delta = u16(cmap, deltas + 2 * s);
			final rangeOffset = u16(cmap, rangeOffsets + 2 * s);
			for (code in start...u16(cmap, ends + 2 * s) + 1) {
				if (code == 0xFFFF)
					continue;
				final raw = rangeOffset == 0 ? code : u16(cmap, rangeOffsets + 2 * s + rangeOffset + 2 * (code - start));
				if (rangeOffset == 0 || raw != 0)
					glyphs[code] = (raw + delta) & 0xFFFF;
			}
		}
	}

	function readFormat12(cmap:Bytes, at:Int):Void {
		for (i in 0...u32(cmap, at + 12)) {
			final group = at + 16 + 12 * i;
			final start = u32(cmap, group);
			final firstGlyph = u32(cmap, group + 8);
			for (code in start...u32(cmap, group + 4) + 1)
				glyphs[code] = firstGlyph + code - start;
		}
	}
}
