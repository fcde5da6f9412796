#pragma once
// How far a fetch of a version file may go. Its address is a plain path, a
// file:// URL or an http(s):// URL (see _GetXmlInf in VersionInf.h).

#include <chrono>
#include <cstddef>

namespace orvane {

// The time limits bound http(s) fetches; the size cap bounds every address.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{25000};
    std::size_t maxBytes = 1024 * 1024;
};

}  // namespace orvane
