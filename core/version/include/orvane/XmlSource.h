#pragma once
// How far a fetch of a version file may go. Its address is a plain path, a
// file:// URL or an http(s):// URL (see _GetXmlInf in VersionInf.h).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace orvane {

// The time limits bound http(s) fetches; the size cap bounds every address.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{25000};
    std::size_t maxBytes = 1024 * 1024;
};

// Told, on the fetching thread, how many bytes of a body have come and how
// many the server announced (0 while unknown).
using FetchProgress = std::function<void(std::uint64_t received, std::uint64_t expected)>;

}  // namespace orvane
