import FontBytes.setU16;
import FontBytes.setU32;
import FontBytes.signed16;
import FontBytes.u16;
import FontBytes.u32;
import haxe.io.Bytes;

/** A standalone TrueType face as its tables, which can be replaced and written out again. */
class FontFace {
	final version:Int;
	final tables:Map<String, Bytes> = [];

	/** The face whose table directory starts at directory (0 in a single-face file). */
	function new(font:Bytes, directory:Int) {
		version = u32(font, directory);
		for (i in 0...u16(font, directory + 4)) {
			final record = directory + 12 + 16 * i;
			tables[font.getString(record, 4)] = font.sub(u32(font, record + 8), u32(font, record + 12));
		}
		for (tag in ["cmap", "head", "hhea", "hmtx", "maxp", "loca", "glyf"])
			if (!tables.exists(tag))
				throw 'the font has no $tag table';
	}

	/** One face of a TrueType collection, or the font itself when it is a single face. */
	public static function read(font:Bytes, face:Int):FontFace {
		if (font.length < 12 || font.getString(0, 4) != "ttcf")
			return new FontFace(font, 0);
		final faceCount = u32(font, 8);
		if (face < 0 || face >= faceCount)
			throw 'the collection has $faceCount faces';
		return new FontFace(font, u32(font, 12 + 4 * face));
	}

	public function table(tag:String):Bytes {
		return tables[tag];
	}

	public var unitsPerEm(get, never):Int;

	function get_unitsPerEm():Int {
		return u16(tables["head"], 18);
	}

	public var glyphCount(get, never):Int;

	function get_glyphCount():Int {
		return u16(tables["maxp"], 4);
	}

	/** Where glyph's outline data lies in glyf, and its length (0: no outline). */
	function glyphData(glyph:Int):{offset:Int, length:Int} {
		final loca = tables["loca"];
		final long = u16(tables["head"], 50) == 1;
		final start = long ? u32(loca, 4 * glyph) : 2 * u16(loca, 2 * glyph);
		final end = long ? u32(loca, 4 * glyph + 4) : 2 * u16(loca, 2 * glyph + 2);
		return {offset: start, length: end - start};
	}

	public function hasOutline(glyph:Int):Bool {
		return glyph > 0 && glyph < glyphCount && glyphData(glyph).length > 0;
	}

	public function advance(glyph:Int):Int {
		final metrics = u16(tables["hhea"], 34);
		return u16(tables["hmtx"], 4 * (glyph < metrics ? glyph : metrics - 1));
	}

	/** xMin, yMin, xMax, yMax of a glyph with an outline. */
	public function bounds(glyph:Int):Array<Int> {
		final at = glyphData(glyph).offset;
		return [for (i in 0...4) signed16(u16(tables["glyf"], at + 2 + 2 * i))];
	}

	/** Replaces the outline data of some glyphs, rewriting glyf and a long-format loca. */
	public function replaceOutlines(outlines:Map<Int, Bytes>):Void {
		final glyf = new haxe.io.BytesBuffer();
		final loca = Bytes.alloc(4 * (glyphCount + 1));
		for (glyph in 0...glyphCount) {
			setU32(loca, 4 * glyph, glyf.length);
			final data = outlines.exists(glyph) ? outlines[glyph] : {
				final place = glyphData(glyph);
				tables["glyf"].sub(place.offset, place.length);
			}
			glyf.add(data);
			if (data.length % 2 == 1)
				glyf.addByte(0);
		}
		setU32(loca, 4 * glyphCount, glyf.length);
		tables["glyf"] = glyf.getBytes();
		tables["loca"] = loca;
		final head = Bytes.alloc(tables["head"].length);
		head.blit(0, tables["head"], 0, head.length);
		head.set(50, 0);
		head.set(51, 1);
		tables["head"] = head;
	}

	public function toBytes():Bytes {
		final tags = [for (tag in tables.keys()) tag];
		tags.sort((a, b) -> a < b ? -1 : a > b ? 1 : 0);
		final headerLength = 12 + 16 * tags.length;
		var total = headerLength;
		for (tag in tags)
			total += padded(tables[tag].length);
		final out = Bytes.alloc(total);
		out.fill(0, total, 0);
		setU32(out, 0, version);
		var power = 1;
		var log2 = 0;
		while (power * 2 <= tags.length) {
			power *= 2;
			log2++;
		}
		setU16(out, 4, tags.length);
		setU16(out, 6, 16 * power);
		setU16(out, 8, log2);
		setU16(out, 10, 16 * tags.length - 16 * power);
		var position = headerLength;
		for (i in 0...tags.length) {
			final data = tables[tags[i]];
			final record = 12 + 16 * i;
			out.blit(record, Bytes.ofString(tags[i]), 0, 4);
			out.blit(position, data, 0, data.length);
			setU32(out, record + 4, checksum(out, position, padded(data.length)));
			setU32(out, record + 8, position);
			setU32(out, record + 12, data.length);
			position += padded(data.length);
		}
		return out;
	}

	static function checksum(bytes:Bytes, at:Int, length:Int):Int {
		var sum = 0;
		var i = 0;
		while (i < length) {
			sum += u32(bytes, at + i);
			i += 4;
		}
		return sum;
	}

	static function padded(length:Int):Int {
		return (length + 3) & ~3;
	}
}
