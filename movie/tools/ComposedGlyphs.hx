import FontBytes.setU16;
import haxe.io.Bytes;
import haxe.iterators.StringIteratorUnicode;

using Lambda;

enum Composition {
	/** The characters side by side, centred in the glyph's advance. */
	Row(parts:String);

	/** A letter with an accent centred over it, raised clear of the letter when they would touch. */
	Accented(letter:String, accent:String);
}

/**
	Outlines for characters a face maps to an empty glyph, composed of glyphs it has
	(WenQuanYi Micro Hei leaves ℃, Ⅴ, Ⅹ and the pinyin letters with caron empty).
**/
class ComposedGlyphs {
	static final COMPOSITIONS:Map<Int, Composition> = [
		0x2103 => Row("°C"),
		0x2164 => Row("V"),
		0x2169 => Row("X"),
		0x01CE => Accented("a", "ˇ"),
		0x01D0 => Accented("ı", "ˇ"),
		0x01D2 => Accented("o", "ˇ"),
		0x01D4 => Accented("u", "ˇ"),
		0x01D8 => Accented("ü", "´"),
		0x01DA => Accented("ü", "ˇ"),
		0x01DC => Accented("ü", "`")
	];

	static inline final ARGS_ARE_WORDS = 0x0001;
	static inline final ARGS_ARE_OFFSETS = 0x0002;
	static inline final MORE_COMPONENTS = 0x0020;

	/** Gives each empty glyph of the table an outline when the face has its parts; returns the characters given one. */
	public static function fill(face:FontFace, map:CharacterMap):Array<Int> {
		final outlines:Map<Int, Bytes> = [];
		final filled = [];
		for (code => composition in COMPOSITIONS) {
			final target = map.glyph(code);
			if (target == 0 || face.hasOutline(target))
				continue;
			final parts = placedParts(face, map, face.advance(target), composition);
			if (parts != null) {
				outlines[target] = composite(face, parts);
				filled.push(code);
			}
		}
		if (filled.length > 0)
			face.replaceOutlines(outlines);
		filled.sort((a, b) -> a - b);
		return filled;
	}

	/** The component glyphs with their offsets, or null when the face lacks one of them. */
	static function placedParts(face:FontFace, map:CharacterMap, advance:Int, composition:Composition):Null<Array<{glyph:Int, dx:Int, dy:Int}>> {
		switch (composition) {
			case Row(text):
				final glyphs = [for (code in new StringIteratorUnicode(text)) map.glyph(code)];
				if (!glyphs.foreach(face.hasOutline))
					return null;
				var width = 0;
				for (glyph in glyphs)
					width += face.advance(glyph);
				var x = Std.int((advance - width) / 2);
				final parts = [];
				for (glyph in glyphs) {
					parts.push({glyph: glyph, dx: x, dy: 0});
					x += face.advance(glyph);
				}
				return parts;
			case Accented(letterText, accentText):
				final letter = map.glyph(letterText.charCodeAt(0));
				final accent = map.glyph(accentText.charCodeAt(0));
				if (!face.hasOutline(letter) || !face.hasOutline(accent))
					return null;
				final letterBox = face.bounds(letter);
				final accentBox = face.bounds(accent);
				final letterX = Std.int((advance - face.advance(letter)) / 2);
				final gap = Std.int(face.unitsPerEm / 20);
				return [
					{glyph: letter, dx: letterX, dy: 0},
					{
						glyph: accent,
						dx: letterX + Std.int((letterBox[0] + letterBox[2] - accentBox[0] - accentBox[2]) / 2),
						dy: Std.int(Math.max(0, letterBox[3] + gap - accentBox[1]))
					}
				];
		}
	}

	/** A composite glyph: header with the parts' joint bounds, then one record per part. */
	static function composite(face:FontFace, parts:Array<{glyph:Int, dx:Int, dy:Int}>):Bytes {
		final data = Bytes.alloc(10 + 8 * parts.length);
		final box = [0x7FFF, 0x7FFF, -0x8000, -0x8000];
		for (i in 0...parts.length) {
			final part = parts[i];
			final bounds = face.bounds(part.glyph);
			box[0] = Std.int(Math.min(box[0], bounds[0] + part.dx));
			box[1] = Std.int(Math.min(box[1], bounds[1] + part.dy));
			box[2] = Std.int(Math.max(box[2], bounds[2] + part.dx));
			box[3] = Std.int(Math.max(box[3], bounds[3] + part.dy));
			final record = 10 + 8 * i;
			setU16(data, record, ARGS_ARE_WORDS | ARGS_ARE_OFFSETS | (i < parts.length - 1 ? MORE_COMPONENTS : 0));
			setU16(data, record + 2, part.glyph);
			setU16(data, record + 4, part.dx & 0xFFFF);
			setU16(data, record + 6, part.dy & 0xFFFF);
		}
		setU16(data, 0, 0xFFFF);
		for (i in 0...4)
			setU16(data, 2 + 2 * i, box[i] & 0xFFFF);
		return data;
	}
}
