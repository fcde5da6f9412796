#include "orvane/Wtf8.h"

#include "Wtf8Sequence.h"

namespace orvane {

using detail::IsHighSurrogate;
using detail::IsLowSurrogate;

std::string Wtf16ToWtf8(std::u16string_view text)
{
    // Texts run to ten million units: size the result first, then fill it.
    std::size_t size = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            size += 1;
        } else if (unit < 0x800) {
            size += 2;
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            size += 4;
            ++i;
        } else {
            size += 3;
        }
    }
    std::string out(size, '\0');
    char* write = out.data();
    const auto put = [&](char32_t byte) { *write++ = static_cast<char>(byte); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            put(unit);
        } else if (unit < 0x800) {
            put(0xC0 | (unit >> 6));
            put(0x80 | (unit & 0x3F));
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t codePoint = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[++i] - 0xDC00);
            put(0xF0 | (codePoint >> 18));
            put(0x80 | ((codePoint >> 12) & 0x3F));
            put(0x80 | ((codePoint >> 6) & 0x3F));
            put(0x80 | (codePoint & 0x3F));
        } else {
            put(0xE0 | (unit >> 12));
            put(0x80 | ((unit >> 6) & 0x3F));
            put(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

std::u16string Wtf8ToWtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const detail::Wtf8Sequence sequence = detail::ReadWtf8Sequence(text, pos);
        if (sequence.length == 0) {
            out += u'\uFFFD';
            ++pos;
            continue;
        }
        pos += sequence.length;
        if (sequence.codePoint < 0x10000) {
            out += static_cast<char16_t>(sequence.codePoint);
        } else {
            out += static_cast<char16_t>(0xD800 + ((sequence.codePoint - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((sequence.codePoint - 0x10000) & 0x3FF));
        }
    }
    return out;
}

bool IsWtf8(std::string_view text)
{
    bool afterHighSurrogate = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const detail::Wtf8Sequence sequence = detail::ReadWtf8Sequence(text, pos);
        if (sequence.length == 0 || (afterHighSurrogate && IsLowSurrogate(sequence.codePoint)))
            return false;
        afterHighSurrogate = IsHighSurrogate(sequence.codePoint);
        pos += sequence.length;
    }
    return true;
}

}  // namespace orvane
