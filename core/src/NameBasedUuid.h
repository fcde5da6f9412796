#pragma once
// Name-based UUIDs (RFC 4122 version 5, SHA-1): the same name in the same
// namespace always gives the same UUID, so an object keyed by what it is
// keeps its ID from one export to the next.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::detail {

using Uuid = std::array<std::uint8_t, 16>;

[[nodiscard]] Uuid NameBasedUuid(const Uuid& space, std::string_view name);
// Lower-case, hyphenated: "8f14e45f-ceea-567a-9a0f-3c5d6e7f8a9b".
[[nodiscard]] std::string UuidText(const Uuid& uuid);

}  // namespace orvane::detail
