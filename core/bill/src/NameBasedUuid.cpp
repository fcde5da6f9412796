#include "NameBasedUuid.h"

#include "orvane/HexDigits.h"

#include <algorithm>
#include <stdexcept>

namespace orvane::detail {

NameBasedUuids::NameBasedUuids(const Uuid& space, std::string_view prefix)
    : m_sha1(EVP_MD_fetch(nullptr, "SHA1", nullptr)), m_afterPrefix(EVP_MD_CTX_new()), m_work(EVP_MD_CTX_new())
{
    if (!m_sha1 || !m_afterPrefix || !m_work || EVP_DigestInit_ex(m_afterPrefix.get(), m_sha1.get(), nullptr) != 1 ||
        EVP_DigestUpdate(m_afterPrefix.get(), space.data(), space.size()) != 1 ||
        EVP_DigestUpdate(m_afterPrefix.get(), prefix.data(), prefix.size()) != 1)
        throw std::runtime_error("SHA-1 digest unavailable");
}

Uuid NameBasedUuids::Of(std::string_view name) const
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_MD_CTX_copy_ex(m_work.get(), m_afterPrefix.get()) != 1 ||
        EVP_DigestUpdate(m_work.get(), name.data(), name.size()) != 1 ||
        EVP_DigestFinal_ex(m_work.get(), digest, &length) != 1 || length < 16)
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
    text.reserve(36);
    for (std::size_t i = 0; i < uuid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += char(kHexDigits[uuid[i] >> 4] | 0x20);  // lower case: digits keep their bit 0x20
        text += char(kHexDigits[uuid[i] & 0x0F] | 0x20);
    }
    return text;
}

}  // namespace orvane::detail
