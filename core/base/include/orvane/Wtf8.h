#pragma once
// Movie text in the host's std::string.
//
// A movie string is a sequence of UTF-16 code units that may hold lone
// surrogates (WTF-16). The host keeps such text as WTF-8: UTF-8 that also
// writes a lone surrogate as its 3-byte form (ED A0 80 .. ED BF BF). A
// surrogate pair is always the 4-byte form of its code point, so each WTF-16
// text has exactly one WTF-8 form and converting back gives the same units.

#include <string>
#include <string_view>

namespace orvane {

[[nodiscard]] std::string Wtf16ToWtf8(std::u16string_view text);

// Bytes that are not part of a WTF-8 sequence each become U+FFFD. The 3-byte
// forms of a high and a low surrogate side by side become that pair.
[[nodiscard]] std::u16string Wtf8ToWtf16(std::string_view text);

// True when text is WTF-8: well-formed UTF-8 apart from lone surrogates in
// their 3-byte form, and no surrogate pair written as two such forms.
[[nodiscard]] bool IsWtf8(std::string_view text);

}  // namespace orvane
