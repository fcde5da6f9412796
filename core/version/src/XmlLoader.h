#pragma once
// Loads an XML document from an address: a plain path, a file:// URL, or an
// http(s):// URL fetched with bounded time and size. A local address must name
// a regular file. External entities are never resolved. UTF-8, UTF-16, UTF-32
// and ISO-8859-1 are decoded directly; any other encoding named in the XML
// declaration is converted with iconv, and one that iconv does not know makes
// the load fail. Texts come out as UTF-8.

#include "orvane/XmlSource.h"

#include <pugixml.hpp>
#include <stop_token>
#include <string>
#include <string_view>

// Parses a document held in memory, with the same flags and encoding rules as
// LoadXmlAddress. True when doc holds the parsed document; otherwise error says why.
[[nodiscard]] bool ParseXmlBytes(std::string_view bytes, pugi::xml_document& doc, std::string& error);

// What LoadXmlAddress did: whether doc holds the parsed document, and the
// system's reason when a local file could not be read (0 otherwise).
struct XmlLoad {
    bool loaded = false;
    int systemError = 0;
    explicit operator bool() const { return loaded; }
};

// Loads doc. When it is not loaded, error describes why (unreachable,
// time-out, too large, not a regular file, aborted, not well-formed, ...).
[[nodiscard]] XmlLoad LoadXmlAddress(const std::string& address, pugi::xml_document& doc, std::string& error,
                                     const orvane::FetchLimits& limits = {}, std::stop_token abort = {});
