#pragma once
// The XML layer of ExternalInterface messages, shared by the host's message
// functions (InvokeMessage.cpp) and the value codec (ExternalValue.cpp). The
// rules for texts are in orvane/ExternalValue.h.

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace orvane::detail {

enum class XmlContext { Text, Attribute };

// Appends WTF-8 text as character data or as a double-quoted attribute value.
void AppendXmlEscaped(std::string& out, std::string_view text, XmlContext context);

// Parses a whole message. The document element is returned only when the
// text is well-formed: exactly one element at the top, nothing but white
// space beside it, no document type declaration, and only the characters and
// references the rules allow.
pugi::xml_node ParseMessage(std::string_view message, pugi::xml_document& doc);

// The text of a value element: the character data of the element and of
// everything in it, in order (what a DOM calls its text), made WTF-8.
std::string MessageText(const pugi::xml_node& element);

// Makes text read from a message WTF-8: a high and a low surrogate written as
// two references side by side are one character, stored as its 4-byte form.
void JoinSurrogatePairs(std::string& text);

}  // namespace orvane::detail
