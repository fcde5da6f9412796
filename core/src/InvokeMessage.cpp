#include "orvane/InvokeMessage.h"

#include "orvane/XmlSource.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

// Writing: the texts are UTF-8. Characters an XML 1.0 document cannot carry,
// neither literally nor as a character reference (NUL and the other C0
// controls except TAB, LF and CR; U+FFFE, U+FFFF; UTF-16 surrogates), and bytes
// that are not well-formed UTF-8 are each written as U+FFFD, so the message
// always stays well-formed for every parser. Everything else arrives unchanged:
// '&', '<' and '>' are escaped everywhere, '"' in attribute values, CR always
// as "&#13;" (a parser folds a literal CR LF into LF), and TAB and LF in
// attribute values as "&#9;" and "&#10;" (a parser turns them into spaces
// there).
//
// Reading: pugixml never loads external entities. A document type declaration
// never occurs in a message, so one is refused instead of being half-honoured.
// pugixml passes over a few faults that make a text not well-formed (an
// unknown entity or a stray '&' is kept as text, "&#0;" silently cuts the text,
// forbidden control characters are kept); those are refused before parsing.

namespace {

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

enum class EscapeContext { Text, Attribute };

// Code points a document may hold (XML 1.0 "Char").
bool IsXmlChar(std::uint32_t codePoint)
{
    return codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD ||
           (codePoint >= 0x20 && codePoint <= 0xD7FF) || (codePoint >= 0xE000 && codePoint <= 0xFFFD) ||
           (codePoint >= 0x10000 && codePoint <= 0x10FFFF);
}

// Length of the well-formed UTF-8 sequence at text[pos] whose code point XML
// can carry; 0 when there is none.
std::size_t XmlCharLength(const std::string& text, std::size_t pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byteAt(pos);
    if (lead < 0x80)
        return IsXmlChar(lead) ? 1 : 0;
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const std::uint8_t next = byteAt(pos + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    return overlong || !IsXmlChar(codePoint) ? 0 : length;
}

void AppendEscaped(std::string& out, const std::string& text, EscapeContext context)
{
    const bool attribute = context == EscapeContext::Attribute;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = XmlCharLength(text, pos);
        if (length == 0) {
            out += kReplacementCharacter;
            ++pos;
            continue;
        }
        if (length > 1) {
            out.append(text, pos, length);
            pos += length;
            continue;
        }
        const char c = text[pos++];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#13;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        default: out += c; break;
        }
    }
}

std::string Escaped(const std::string& text, EscapeContext context)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    AppendEscaped(out, text, context);
    return out;
}

// Length of the entity or character reference at text[pos] (which is '&'),
// 0 when it is none of the five predefined entities or a reference to a
// character XML allows.
std::size_t ReferenceLength(std::string_view text, std::size_t pos)
{
    const std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos)
        return 0;
    const std::string_view body = text.substr(pos + 1, end - pos - 1);
    if (body == "amp" || body == "lt" || body == "gt" || body == "quot" || body == "apos")
        return end - pos + 1;
    if (!body.starts_with('#'))
        return 0;
    const bool hex = body.starts_with("#x");
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return 0;
    std::uint32_t codePoint = 0;
    for (const char digit : digits) {
        unsigned value = 0;
        if (digit >= '0' && digit <= '9')
            value = digit - '0';
        else if (hex && digit >= 'a' && digit <= 'f')
            value = digit - 'a' + 10;
        else if (hex && digit >= 'A' && digit <= 'F')
            value = digit - 'A' + 10;
        else
            return 0;
        codePoint = codePoint * (hex ? 16 : 10) + value;
        if (codePoint > 0x10FFFF)
            return 0;
    }
    return IsXmlChar(codePoint) ? end - pos + 1 : 0;
}

// True when the message has no forbidden control character and every '&'
// outside comments, CDATA sections and processing instructions starts a valid
// reference.
bool HasValidCharactersAndReferences(std::string_view text)
{
    constexpr std::pair<std::string_view, std::string_view> kOpaqueSections[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (const char c : text)
        if (static_cast<std::uint8_t>(c) < 0x20 && !IsXmlChar(static_cast<std::uint8_t>(c)))
            return false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '&') {
            const std::size_t length = ReferenceLength(text, pos);
            if (length == 0)
                return false;
            pos += length;
            continue;
        }
        bool skipped = false;
        for (const auto& [open, close] : kOpaqueSections) {
            if (text.substr(pos).starts_with(open)) {
                const std::size_t end = text.find(close, pos + open.size());
                if (end == std::string_view::npos)
                    return false;
                pos = end + close.size();
                skipped = true;
                break;
            }
        }
        if (!skipped)
            ++pos;
    }
    return true;
}

// Parses a whole message. The document element is returned only when the
// text is well-formed: exactly one element at the top, nothing but white
// space beside it, and no document type declaration.
pugi::xml_node ParseMessage(const std::string& message, pugi::xml_document& doc)
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

}  // namespace

std::string _MakeInvokeXml(const std::string& name, const std::string& argument)
{
    std::string xml = "<invoke name=\"";
    AppendEscaped(xml, name, EscapeContext::Attribute);
    xml += "\" returntype=\"xml\"";
    if (argument.empty())
        return xml + "/>";
    xml += "><arguments>";
    xml += MakeStringReply(argument);
    xml += "</arguments></invoke>";
    return xml;
}

ReplyStatus ParseReturnString(const std::string& reply, std::string& text)
{
    text.clear();
    pugi::xml_document doc;
    const pugi::xml_node root = ParseMessage(reply, doc);
    if (!root)
        return ReplyStatus::NotWellFormed;
    if (std::string_view(root.name()) != "string")
        return ReplyStatus::NotString;
    text = XmlNodeText(root);
    return ReplyStatus::Ok;
}

RequestStatus ParseInvokeRequest(const std::string& request, std::string& name)
{
    name.clear();
    pugi::xml_document doc;
    const pugi::xml_node root = ParseMessage(request, doc);
    if (!root)
        return RequestStatus::NotWellFormed;
    if (std::string_view(root.name()) != "invoke")
        return RequestStatus::NotInvoke;
    const pugi::xml_attribute nameAttribute = root.attribute("name");
    if (!nameAttribute)
        return RequestStatus::NoName;
    name = nameAttribute.value();
    return RequestStatus::Ok;
}

std::string MakeStringReply(const std::string& value)
{
    return "<string>" + Escaped(value, EscapeContext::Text) + "</string>";
}
