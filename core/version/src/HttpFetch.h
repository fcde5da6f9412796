#pragma once
// Bounded fetches of an address's bytes: local files, and http(s) with libcurl.

#include "orvane/XmlSource.h"

#include <stop_token>
#include <string>

// Why a fetch of an address gave no content.
enum class FetchFailure {
    None,
    Stopped,          // the stop request ended it
    TooLarge,         // over the size cap
    TimedOut,         // the connect or total time limit ran out
    Interrupted,      // the connection broke off before the whole body came
    RedirectRefused,  // redirected to an address that is not http(s)
    TooManyRedirects, // more redirects than the fetch follows (a loop, mostly)
    HttpStatus,       // the server answered with an error status (404, 500, ...)
    Unreachable,      // no connection, unknown name, refused certificate
    Unreadable,       // a local file that cannot be read, an address of another kind
};

// Fetches an http:// or https:// address into body, following at most a few
// redirects to http(s) addresses only. Gives up on the connect or total
// time-out of limits, as soon as the body would exceed limits.maxBytes, and
// promptly once abort is requested. progress, when given, hears of the bytes
// as they come. FetchFailure::None on success; otherwise error says why.
[[nodiscard]] FetchFailure FetchHttp(const std::string& url, std::string& body, std::string& error,
                                     const orvane::FetchLimits& limits, std::stop_token abort,
                                     const orvane::FetchProgress& progress = {});

// What a fetch of an address did: FetchFailure::None, or why it gave no
// content and, when a local file could not be read, the system's reason.
struct FetchResult {
    FetchFailure failure = FetchFailure::None;
    int systemError = 0;  // ENOENT, EACCES, EISDIR, EFBIG ...; 0 when none
    bool operator==(FetchFailure other) const { return failure == other; }
};

// Reads the bytes at an address (a plain path, a file:// or an http(s):// URL)
// whole, within limits; a local address must name a regular file. On a
// failure error says why.
[[nodiscard]] FetchResult FetchAddress(const std::string& address, std::string& bytes, std::string& error,
                                       const orvane::FetchLimits& limits = {}, std::stop_token abort = {},
                                       const orvane::FetchProgress& progress = {});
