import haxe.io.Bytes;

/** Big-endian numbers of TrueType font data. */
class FontBytes {
	public static function u16(bytes:Bytes, at:Int):Int {
		return (bytes.get(at) << 8) | bytes.get(at + 1);
	}

	public static function u32(bytes:Bytes, at:Int):Int {
		return (bytes.get(at) << 24) | (bytes.get(at + 1) << 16) | (bytes.get(at + 2) << 8) | bytes.get(at + 3);
	}

	public static function setU32(bytes:Bytes, at:Int, value:Int):Void {
		for (i in 0...4)
			bytes.set(at + i, (value >>> (24 - 8 * i)) & 0xFF);
	}
}
