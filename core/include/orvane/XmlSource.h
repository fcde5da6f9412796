#pragma once
// Loads an XML document from an address: a plain path, a file:// URL, or an
// http(s):// URL fetched with bounded time and size. External entities are
// never resolved. UTF-8, UTF-16, UTF-32 and ISO-8859-1 are decoded directly;
// any other encoding named in the XML declaration is converted with iconv, and
// one that iconv does not know makes the load fail. Texts come out as UTF-8.

#include <pugixml.hpp>
#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>
#include <string_view>

// The time limits bound http(s) fetches; the size cap bounds every address.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{25000};
    std::size_t maxBytes = 1024 * 1024;
};

// Parses a document held in memory, with the same flags and encoding rules as
// LoadXmlAddress. True when doc holds the parsed document; otherwise error says why.
bool ParseXmlBytes(std::string_view bytes, pugi::xml_document& doc, std::string& error);

// True when doc holds the parsed document. On false, error describes why
// (unreachable, time-out, too large, aborted, not well-formed, ...).
bool LoadXmlAddress(const std::string& address, pugi::xml_document& doc, std::string& error,
                    const FetchLimits& limits = {}, std::stop_token abort = {});

// Concatenated text of a node and all its descendants.
std::string XmlNodeText(const pugi::xml_node& node);
