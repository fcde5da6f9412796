#include "XmlStreamWriter.h"

#include <array>

namespace orvane::detail {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the UTF-8 character at text[pos] whose code point XML 1.0
// allows, 0 when there is none (an ASCII character is the caller's).
std::size_t XmlCharacterLength(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = byte(pos);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4)
        return 0;
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool allowed = codePoint >= least[length] && codePoint <= 0x10FFFF &&
                         !(codePoint >= 0xD800 && codePoint <= 0xDFFF) && codePoint != 0xFFFE && codePoint != 0xFFFF;
    return allowed ? length : 0;
}

}  // namespace

XmlStreamWriter::XmlStreamWriter(std::string& out) : m_out(out)
{
    m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
}

void XmlStreamWriter::Indent()
{
    if (!m_out.empty() && m_out.back() != '\n')
        m_out += '\n';
    m_out.append(2 * m_open.size(), ' ');
}

void XmlStreamWriter::CloseStartTag()
{
    if (m_inStartTag)
        m_out += '>';
    m_inStartTag = false;
}

XmlStreamWriter& XmlStreamWriter::Start(std::string_view name, Layout layout)
{
    CloseStartTag();
    if (m_oneLineDepth == 0)
        Indent();
    m_out += '<';
    m_out += name;
    m_open.push_back(name);
    if (layout == Layout::OneLine && m_oneLineDepth == 0)
        m_oneLineDepth = m_open.size();
    m_inStartTag = true;
    m_hasText = false;
    return *this;
}

XmlStreamWriter& XmlStreamWriter::Attribute(std::string_view name, std::string_view value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    AppendEscaped(value, true);
    m_out += '"';
    return *this;
}

XmlStreamWriter& XmlStreamWriter::Text(std::string_view text)
{
    CloseStartTag();
    AppendEscaped(text, false);
    m_hasText = true;
    return *this;
}

XmlStreamWriter& XmlStreamWriter::End()
{
    const std::string_view name = m_open.back();
    m_open.pop_back();
    if (m_inStartTag) {
        m_out += "/>";
    } else {
        if (!m_hasText && m_oneLineDepth == 0)
            Indent();
        m_out += "</";
        m_out += name;
        m_out += '>';
    }
    m_inStartTag = false;
    m_hasText = false;
    if (m_oneLineDepth > m_open.size())
        m_oneLineDepth = 0;
    if (m_open.empty())
        m_out += '\n';
    return *this;
}

XmlStreamWriter& XmlStreamWriter::TextElement(std::string_view name, std::string_view text)
{
    return Start(name).Text(text).End();
}

void XmlStreamWriter::AppendEscaped(std::string_view text, bool attribute)
{
    // Runs of characters written as they are go in one append.
    static constexpr std::array<bool, 256> kPlain = [] {
        std::array<bool, 256> plain{};
        for (int c = 0x20; c < 0x7F; ++c)
            plain[std::size_t(c)] = c != '&' && c != '<' && c != '>' && c != '"';
        return plain;
    }();
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = pos;
        while (end < text.size() && kPlain[static_cast<unsigned char>(text[end])])
            ++end;
        m_out.append(text, pos, end - pos);
        if (end == text.size())
            return;
        pos = end;
        const char c = text[pos];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t length = XmlCharacterLength(text, pos);
            m_out += length == 0 ? kReplacement : text.substr(pos, length);
            pos += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '&': m_out += "&amp;"; break;
        case '<': m_out += "&lt;"; break;
        case '>': m_out += "&gt;"; break;
        case '"': m_out += "&quot;"; break;
        // A reader folds a CR into the line end, and in an attribute a tab or LF into a space.
        case '\r': m_out += "&#xD;"; break;
        case '\t': m_out += attribute ? "&#x9;" : "\t"; break;
        case '\n': m_out += attribute ? "&#xA;" : "\n"; break;
        default: m_out += kReplacement;  // other control characters, and DEL
        }
        ++pos;
    }
}

}  // namespace orvane::detail
