#pragma once
// Texts of parsed XML nodes, for the core's readers of XML documents.

#include <pugixml.hpp>
#include <string>

// Concatenated text of a node and all its descendants.
std::string XmlNodeText(const pugi::xml_node& node);

// The index-th (from 1) descendant element named name, in document order,
// or an empty node.
pugi::xml_node NthDescendant(pugi::xml_node element, const char* name, int index);

// Text of the index-th (from 1) descendant element named tagName, without the
// XML white space around it, or "" (the version-file reader's lookup).
std::string _GetText(const pugi::xml_node& element, const char* tagName, int index);
