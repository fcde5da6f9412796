#pragma once
// Reading one WTF-8 sequence: the decoder the WTF-8 conversions and the
// message writer share.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvane::detail {

struct Wtf8Sequence {
    char32_t codePoint = 0;
    std::size_t length = 0;  // 0: no well-formed sequence starts here
};

inline constexpr bool IsSurrogate(char32_t codePoint) { return codePoint >= 0xD800 && codePoint <= 0xDFFF; }
inline constexpr bool IsHighSurrogate(char32_t codePoint) { return codePoint >= 0xD800 && codePoint <= 0xDBFF; }
inline constexpr bool IsLowSurrogate(char32_t codePoint) { return codePoint >= 0xDC00 && codePoint <= 0xDFFF; }

// The sequence at text[pos]: UTF-8, and surrogates in their 3-byte form.
// Overlong forms and code points above U+10FFFF are no sequence.
inline Wtf8Sequence ReadWtf8Sequence(std::string_view text, std::size_t pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byteAt(pos);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t codePoint = 0;
    std::uint8_t secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            secondLow = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            secondLow = 0x90;
        else if (lead == 0xF4)
            secondHigh = 0x8F;
    } else {
        return {};
    }
    if (text.size() - pos < length)
        return {};
    const std::uint8_t second = byteAt(pos + 1);
    if (second < secondLow || second > secondHigh)
        return {};
    codePoint = (codePoint << 6) | (second & 0x3F);
    for (std::size_t i = 2; i < length; ++i) {
        const std::uint8_t next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return {codePoint, length};
}

}  // namespace orvane::detail
