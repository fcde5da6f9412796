#pragma once
// Texts of parsed XML nodes, for the core's readers of XML documents.

#include <pugixml.hpp>
#include <string>

// Concatenated text of a node and all its descendants.
std::string XmlNodeText(const pugi::xml_node& node);

// Text of the index-th (from 1) descendant element named tagName, without the
// XML white space around it, or "" (the version-file reader's lookup).
std::string _GetText(const pugi::xml_node& element, const char* tagName, int index);
