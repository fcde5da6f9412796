#include "MessageXml.h"

#include "Wtf8Sequence.h"
#include "XmlText.h"

#include "orvane/HexDigits.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

// Reading: pugixml never loads external entities. A document type declaration
// never occurs in a message, so one is refused instead of being half-honoured.
// pugixml passes over a few faults that make a text not well-formed (an
// unknown entity or a stray '&' is kept as text, "&#0;" silently cuts the
// text, forbidden characters are kept); those are refused before parsing.

namespace orvane::detail {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Code points a document may hold literally (XML 1.0 "Char").
constexpr bool IsXmlChar(char32_t codePoint)
{
    return codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD ||
           (codePoint >= 0x20 && codePoint <= 0xD7FF) || (codePoint >= 0xE000 && codePoint <= 0xFFFD) ||
           (codePoint >= 0x10000 && codePoint <= 0x10FFFF);
}

void AppendHexReference(std::string& out, char32_t codePoint)
{
    char digits[8];
    int count = 0;
    do {
        digits[count++] = kHexDigits[codePoint & 0xF];
        codePoint >>= 4;
    } while (codePoint != 0);
    out += "&#x";
    while (count > 0)
        out += digits[--count];
    out += ';';
}

// What each ASCII character is written as; empty when it is written as is.
using AsciiEscapes = std::array<std::string, 0x80>;

AsciiEscapes MakeAsciiEscapes(XmlContext context)
{
    AsciiEscapes escapes;
    for (char32_t c = 1; c < 0x20; ++c)
        if (!IsXmlChar(c))
            AppendHexReference(escapes[c], c);
    escapes[0] = kReplacementCharacter;
    // A reader folds a literal CR into the line end; in attribute values it
    // turns TAB and LF into spaces.
    escapes['\r'] = "&#xD;";
    escapes['&'] = "&amp;";
    escapes['<'] = "&lt;";
    escapes['>'] = "&gt;";
    if (context == XmlContext::Attribute) {
        escapes['\t'] = "&#x9;";
        escapes['\n'] = "&#xA;";
        escapes['"'] = "&quot;";
    }
    return escapes;
}

const AsciiEscapes& EscapesFor(XmlContext context)
{
    static const AsciiEscapes text = MakeAsciiEscapes(XmlContext::Text);
    static const AsciiEscapes attribute = MakeAsciiEscapes(XmlContext::Attribute);
    return context == XmlContext::Text ? text : attribute;
}

constexpr bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
constexpr unsigned HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// Length of the reference at text[pos] (which is '&') when the reader takes
// it: one of the five predefined entities, a decimal reference to a character
// a document may hold, or a hexadecimal one to any code point but U+0000.
// 0 otherwise.
std::size_t ReferenceLength(std::string_view text, std::size_t pos)
{
    std::size_t end = pos + 1;
    if (end < text.size() && text[end] == '#') {
        const bool hex = end + 1 < text.size() && text[end + 1] == 'x';
        end += hex ? 2 : 1;
        const std::size_t digitsStart = end;
        char32_t codePoint = 0;
        for (; end < text.size() && (hex ? IsHexDigit(text[end]) : text[end] >= '0' && text[end] <= '9'); ++end) {
            codePoint = codePoint * (hex ? 16 : 10) + (hex ? HexValue(text[end]) : unsigned(text[end] - '0'));
            if (codePoint > 0x10FFFF)
                return 0;
        }
        if (end == digitsStart || end == text.size() || text[end] != ';' || codePoint == 0)
            return 0;
        return hex || IsXmlChar(codePoint) ? end - pos + 1 : 0;
    }
    while (end < text.size() && ((text[end] | 0x20) >= 'a' && (text[end] | 0x20) <= 'z'))
        ++end;
    if (end == text.size() || text[end] != ';')
        return 0;
    const std::string_view name = text.substr(pos + 1, end - pos - 1);
    const bool known = name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
    return known ? end - pos + 1 : 0;
}

// Length of the sequence at text[pos] when it is one of the 2- or 3-byte
// sequences that always stand for a character XML allows: U+0080..U+07FF and
// U+1000..U+CFFF, U+E000..U+EFFF. 0 for anything else, which takes the full
// check. CJK texts are mostly such sequences.
std::size_t PlainSequenceLength(std::string_view text, std::size_t pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const auto isContinuation = [&](std::size_t i) { return i < text.size() && (byteAt(i) & 0xC0) == 0x80; };
    const std::uint8_t lead = byteAt(pos);
    if (lead >= 0xC2 && lead <= 0xDF)
        return isContinuation(pos + 1) ? 2 : 0;
    if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE)
        return isContinuation(pos + 1) && isContinuation(pos + 2) ? 3 : 0;
    return 0;
}

// Length of the character at text[pos] when a document may hold it literally; 0 otherwise.
std::size_t XmlCharLength(std::string_view text, std::size_t pos)
{
    if (const std::size_t length = PlainSequenceLength(text, pos))
        return length;
    const Wtf8Sequence sequence = ReadWtf8Sequence(text, pos);
    return IsXmlChar(sequence.codePoint) ? sequence.length : 0;
}

// True when text[begin, end) holds only characters a document may hold literally.
bool HasOnlyXmlChars(std::string_view text, std::size_t begin, std::size_t end)
{
    for (std::size_t pos = begin; pos < end;) {
        const std::size_t length = XmlCharLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

// True when the eight bytes at bytes are all printable ASCII other than '&'
// and '<', tested eight at a time.
bool AreEightPlainBytes(const char* bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
    const auto hasZeroByte = [&](std::uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; };
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return (word & kHighBits) == 0 && ((word + kOnes * 0x60) & kHighBits) == kHighBits &&
           !hasZeroByte(word ^ (kOnes * '&')) && !hasZeroByte(word ^ (kOnes * '<'));
}

// True when the message holds only characters a document may hold literally,
// and every '&' outside comments, CDATA sections and processing instructions
// starts a reference the reader takes.
bool HasValidCharactersAndReferences(std::string_view text)
{
    constexpr std::pair<std::string_view, std::string_view> kOpaqueSections[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    // Messages are long and mostly plain text: one table look-up a byte.
    static constexpr std::array<bool, 0x100> kPlainBytes = [] {
        std::array<bool, 0x100> plain{};
        for (int byte = 0x20; byte < 0x80; ++byte)
            plain[byte] = byte != '&' && byte != '<';
        return plain;
    }();
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.size() - pos >= 8 && AreEightPlainBytes(text.data() + pos)) {
            pos += 8;
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(text[pos]);
        if (kPlainBytes[byte]) {
            ++pos;
            continue;
        }
        if (byte == '&') {
            const std::size_t length = ReferenceLength(text, pos);
            if (length == 0)
                return false;
            pos += length;
            continue;
        }
        if (byte == '<' && pos + 1 < text.size() && (text[pos + 1] == '!' || text[pos + 1] == '?')) {
            const std::string_view rest = text.substr(pos);
            const auto section = std::find_if(std::begin(kOpaqueSections), std::end(kOpaqueSections),
                                              [&](const auto& s) { return rest.starts_with(s.first); });
            if (section != std::end(kOpaqueSections)) {
                const std::size_t close = text.find(section->second, pos + section->first.size());
                if (close == std::string_view::npos)
                    return false;
                const std::size_t end = close + section->second.size();
                if (!HasOnlyXmlChars(text, pos, end))
                    return false;
                pos = end;
                continue;
            }
        }
        const std::size_t length = XmlCharLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

}  // namespace

void AppendXmlEscaped(std::string& out, std::string_view text, XmlContext context)
{
    // Texts are long and mostly plain: copy the runs between the characters
    // that need another form.
    const AsciiEscapes& escapes = EscapesFor(context);
    std::size_t run = 0;
    std::size_t pos = 0;
    const auto flushRun = [&] { out.append(text.data() + run, pos - run); };
    while (pos < text.size()) {
        const auto byte = static_cast<std::uint8_t>(text[pos]);
        if (byte < 0x80) {
            if (escapes[byte].empty()) {
                ++pos;
                continue;
            }
            flushRun();
            out += escapes[byte];
            run = ++pos;
            continue;
        }
        if (const std::size_t length = PlainSequenceLength(text, pos)) {
            pos += length;
            continue;
        }
        const Wtf8Sequence sequence = ReadWtf8Sequence(text, pos);
        if (sequence.length != 0 && IsXmlChar(sequence.codePoint)) {
            pos += sequence.length;
            continue;
        }
        flushRun();
        if (sequence.length == 0) {
            out += kReplacementCharacter;
            ++pos;
        } else {
            AppendHexReference(out, sequence.codePoint);  // a surrogate, U+FFFE or U+FFFF
            pos += sequence.length;
        }
        run = pos;
    }
    flushRun();
}

pugi::xml_node ParseMessage(std::string_view message, pugi::xml_document& doc)
{
    constexpr unsigned kOptions = pugi::parse_default | pugi::parse_ws_pcdata |
                                  pugi::parse_doctype | pugi::parse_fragment;
    if (!HasValidCharactersAndReferences(message))
        return {};
    const pugi::xml_parse_result result =
        doc.load_buffer(message.data(), message.size(), kOptions, pugi::encoding_utf8);
    if (!result)
        return {};
    pugi::xml_node root;
    for (const pugi::xml_node child : doc.children()) {
        switch (child.type()) {
        case pugi::node_element:
            if (root)
                return {};
            root = child;
            break;
        case pugi::node_pcdata:
            if (std::string_view(child.value()).find_first_not_of(" \t\n\r") != std::string_view::npos)
                return {};
            break;
        case pugi::node_comment:
        case pugi::node_pi:
        case pugi::node_declaration:
            break;
        default:  // document type declaration, top-level CDATA
            return {};
        }
    }
    return root;
}

std::string MessageText(const pugi::xml_node& element)
{
    std::string text = XmlNodeText(element);
    JoinSurrogatePairs(text);
    return text;
}

void JoinSurrogatePairs(std::string& text)
{
    // pugixml writes a reference to a surrogate as its 3-byte form. 0xED is
    // always a lead byte, the one of U+D000..U+DFFF.
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    std::size_t read = text.find('\xED');
    if (read == std::string::npos)
        return;
    std::size_t write = read;
    while (read < text.size()) {
        const bool pair = byteAt(read) == 0xED && text.size() - read >= 6 && (byteAt(read + 1) & 0xF0) == 0xA0 &&
                          byteAt(read + 3) == 0xED && (byteAt(read + 4) & 0xF0) == 0xB0;
        if (!pair) {
            text[write++] = text[read++];
            continue;
        }
        const char32_t high = 0xD000 | ((byteAt(read + 1) & 0x3F) << 6) | (byteAt(read + 2) & 0x3F);
        const char32_t low = 0xD000 | ((byteAt(read + 4) & 0x3F) << 6) | (byteAt(read + 5) & 0x3F);
        const char32_t codePoint = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
        text[write++] = static_cast<char>(0xF0 | (codePoint >> 18));
        text[write++] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text[write++] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text[write++] = static_cast<char>(0x80 | (codePoint & 0x3F));
        read += 6;
    }
    text.resize(write);
}

}  // namespace orvane::detail
