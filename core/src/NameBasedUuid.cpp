#include "NameBasedUuid.h"

#include "orvane/HexDigits.h"

#include <openssl/evp.h>

#include <algorithm>
#include <stdexcept>

namespace orvane::detail {

Uuid NameBasedUuid(const Uuid& space, std::string_view name)
{
    std::string input(space.begin(), space.end());
    input += name;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha1(), nullptr) != 1 || length < 16)
        throw std::runtime_error("SHA-1 digest failed");
    Uuid uuid;
    std::copy(digest, digest + 16, uuid.begin());
    uuid[6] = std::uint8_t((uuid[6] & 0x0F) | 0x50);  // version 5
    uuid[8] = std::uint8_t((uuid[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return uuid;
}

std::string UuidText(const Uuid& uuid)
{
    std::string text;
    for (std::size_t i = 0; i < uuid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += char(kHexDigits[uuid[i] >> 4] | 0x20);  // lower case: digits keep their bit 0x20
        text += char(kHexDigits[uuid[i] & 0x0F] | 0x20);
    }
    return text;
}

}  // namespace orvane::detail
