#pragma once
// Bounded http(s) fetch for the XML loader (libcurl).

#include "orvane/XmlSource.h"

#include <stop_token>
#include <string>

// Fetches an http:// or https:// address into body, following at most a few
// redirects to http(s) addresses only. Gives up on the connect or total
// time-out of limits, as soon as the body would exceed limits.maxBytes, and
// promptly once abort is requested. True on success; otherwise error says why.
[[nodiscard]] bool FetchHttp(const std::string& url, std::string& body, std::string& error,
                             const orvane::FetchLimits& limits, std::stop_token abort);
