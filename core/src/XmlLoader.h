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

// True when doc holds the parsed document. On false, error describes why
// (unreachable, time-out, too large, not a regular file, aborted, not
// well-formed, ...) and errno holds the system's error code of a failed local
// read.
[[nodiscard]] bool LoadXmlAddress(const std::string& address, pugi::xml_document& doc, std::string& error,
                                  const orvane::FetchLimits& limits = {}, std::stop_token abort = {});
