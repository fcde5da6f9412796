import haxe.io.Bytes;

/** Big-endian numbers of TrueType font data. */
class FontBytes {
	public static function u16(bytes:Bytes, at:Int):Int {
		return (bytes.get(at) << 8) | bytes.get(at + 1);
	}

	public static function u32(bytes:Bytes, at:Int):Int {
		return (bytes.get(at) << 24) | (bytes.get(at + 1) << 16) | (bytes.get(at + 2) << 8) | bytes.get(at + 3);
	}

	public static function signed16(value:Int):Int {
		return value >= 0x8000 ? value - 0x10000 : value;
	}

	public static function setU16(bytes:Bytes, at:Int, value:Int):Void {
		bytes.set(at, (value >> 8) & 0xFF);
		bytes.set(at + 1, value & 0xFF);
	}

	public static function setU32(bytes:Bytes, at:Int, value:Int):Void {
		for (i in 0...4)
			bytes.set(at + i, (value >>> (24 - 8 * i)) & 0xFF);
	}
}
