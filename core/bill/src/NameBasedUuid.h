#pragma once
// Name-based UUIDs (RFC 4122 version 5, SHA-1): the same name in the same
// namespace always gives the same UUID, so an object keyed by what it is
// keeps its ID from one export to the next.

#include "Handle.h"

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::detail {

using Uuid = std::array<std::uint8_t, 16>;

// Makes the UUIDs of names that all start with the same prefix, hashing the
// namespace and the prefix once.
class NameBasedUuids {
public:
    NameBasedUuids(const Uuid& space, std::string_view prefix);

    // The UUID of prefix + name.
    [[nodiscard]] Uuid Of(std::string_view name) const;

private:
    using DigestContext = Handle<EVP_MD_CTX, EVP_MD_CTX_free>;
    Handle<EVP_MD, EVP_MD_free> m_sha1;
    DigestContext m_afterPrefix;
    DigestContext m_work;
};

// Lower-case, hyphenated: "8f14e45f-ceea-567a-9a0f-3c5d6e7f8a9b".
[[nodiscard]] std::string UuidText(const Uuid& uuid);

}  // namespace orvane::detail
