package orvane.model;

import haxe.io.Bytes;

/**
	Any text in the ASCII-only selection text: its UTF-8 bytes, each one that is not a letter, a
	digit or one of - . _ ~ written as % and two upper-case hexadecimal digits (as in URLs).
**/
class PercentText {
	static inline final DIGITS = "0123456789ABCDEF";

	public static function encode(text:String):String {
		final bytes = Bytes.ofString(text);
		final out = new StringBuf();
		for (i in 0...bytes.length) {
			final b = bytes.get(i);
			if (isPlain(b))
				out.addChar(b);
			else
				out.add("%" + DIGITS.charAt(b >> 4) + DIGITS.charAt(b & 15));
		}
		return out.toString();
	}

	/**
		The text `encode` gave; null when `text` is not such a text, its bytes are not UTF-8, or it
		holds a NUL (the player's strings end at one, so what follows would be lost in silence).
	**/
	public static function decode(text:String):Null<String> {
		final bytes = Bytes.alloc(text.length);
		var length = 0;
		var i = 0;
		while (i < text.length) {
			final c = text.charCodeAt(i);
			if (c == "%".code) {
				final high = i + 2 < text.length ? hexValue(text.charCodeAt(i + 1)) : -1;
				final low = high >= 0 ? hexValue(text.charCodeAt(i + 2)) : -1;
				final byte = low < 0 ? -1 : high * 16 + low;
				if (byte <= 0)
					return null;
				bytes.set(length++, byte);
				i += 3;
			} else if (isPlain(c)) {
				bytes.set(length++, c);
				i++;
			} else {
				return null;
			}
		}
		return isUtf8(bytes, length) ? bytes.getString(0, length) : null;
	}

	static function isPlain(b:Int):Bool {
		return (b >= "A".code && b <= "Z".code) || (b >= "a".code && b <= "z".code) || (b >= "0".code && b <= "9".code) || b == "-".code
			|| b == ".".code || b == "_".code || b == "~".code;
	}

	static function hexValue(c:Int):Int {
		return c >= "0".code && c <= "9".code ? c - "0".code : c >= "A".code && c <= "F".code ? c - "A".code + 10 : -1;
	}

	/** Well-formed UTF-8 without surrogates or overlong forms, so every target reads the same characters. */
	static function isUtf8(bytes:Bytes, length:Int):Bool {
		var i = 0;
		while (i < length) {
			final b = bytes.get(i);
			final extra = b < 0x80 ? 0 : b >= 0xC2 && b < 0xE0 ? 1 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xF0 && b < 0xF5 ? 3 : -1;
			if (extra < 0 || i + extra >= length)
				return false;
			var code = extra == 0 ? b : b & (0x3F >> extra);
			for (k in 1...extra + 1) {
				final next = bytes.get(i + k);
				if (next & 0xC0 != 0x80)
					return false;
				code = (code << 6) | (next & 0x3F);
			}
			final smallest = extra == 1 ? 0x80 : extra == 2 ? 0x800 : extra == 3 ? 0x10000 : 0;
			if (code < smallest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
				return false;
			i += extra + 1;
		}
		return true;
	}
}
