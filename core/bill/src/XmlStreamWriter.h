#pragma once
// Writes an XML 1.0 document element by element into a string, without a tree:
// the writer keeps only the names of the open elements. Texts are taken as
// they are (WTF-8 from the movie included) and always give a well-formed
// document: markup characters are escaped, and whatever XML 1.0 cannot hold
// (control characters other than tab and line ends, lone surrogates,
// U+FFFE, U+FFFF, bytes that start no UTF-8 character) becomes U+FFFD.

#include <string>
#include <string_view>
#include <vector>

namespace orvane::detail {

class XmlStreamWriter {
public:
    // Starts the document with its declaration (UTF-8).
    explicit XmlStreamWriter(std::string& out);

    enum class Layout {
        Indented,  // each child element on a line of its own, indented by its depth
        OneLine,   // the element's children and end tag on its own line
    };

    // Opens an element; its attributes follow until the next content or end.
    // The name must outlive the element (the writer's callers give literals).
    XmlStreamWriter& Start(std::string_view name, Layout layout = Layout::Indented);
    XmlStreamWriter& Attribute(std::string_view name, std::string_view value);
    // Character data of the element last opened.
    XmlStreamWriter& Text(std::string_view text);
    // Closes the element last opened ("<a/>" when it has no content).
    XmlStreamWriter& End();
    // An element holding only the text.
    XmlStreamWriter& TextElement(std::string_view name, std::string_view text);

    [[nodiscard]] bool Complete() const { return m_open.empty(); }

private:
    void CloseStartTag();
    void Indent();
    void AppendEscaped(std::string_view text, bool attribute);

    std::string& m_out;
    std::vector<std::string_view> m_open;
    bool m_inStartTag = false;
    bool m_hasText = false;  // the element last opened holds text: its end tag stays on its line
    std::size_t m_oneLineDepth = 0;  // the depth of the open element laid out on one line; 0 when none is
};

}  // namespace orvane::detail
