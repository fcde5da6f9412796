#pragma once
// Loads an XML document from an address: a plain path, a file:// URL, or an
// http(s):// URL fetched with bounded time and size. External entities are
// never resolved.

#include <pugixml.hpp>
#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>

struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{25000};
    std::size_t maxBytes = 1024 * 1024;
};

// True when doc holds the parsed document. On false, error describes why
// (unreachable, time-out, too large, aborted, not well-formed, ...).
bool LoadXmlAddress(const std::string& address, pugi::xml_document& doc, std::string& error,
                    const FetchLimits& limits = {}, std::stop_token abort = {});

// Concatenated text of a node and all its descendants.
std::string XmlNodeText(const pugi::xml_node& node);
