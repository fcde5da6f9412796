#include "orvane/CatalogSignature.h"

#include "orvane/XmlSource.h"

#include "Handle.h"
#include "HttpFetch.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace orvane {

namespace {

using detail::Handle;
using Key = Handle<EVP_PKEY, EVP_PKEY_free>;
using SigningContext = Handle<EVP_MD_CTX, EVP_MD_CTX_free>;
using Memory = Handle<BIO, BIO_free>;

constexpr std::size_t kSignatureBytes = 64;
constexpr std::size_t kSignatureTextLength = 88;  // base64 of 64 bytes, "==" included
constexpr std::size_t kMaxKeyFileBytes = 64 * 1024;

std::string_view TrimSpace(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// The key a PEM text holds; an Ed25519 one only. The error queue of a failed
// read is cleared: it belongs to no later call.
Key ReadEd25519Key(std::string_view pem, bool privateKey)
{
    Key key;
    if (pem.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        const Memory input(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
        if (input)
            key.reset(privateKey ? PEM_read_bio_PrivateKey(input.get(), nullptr, nullptr, nullptr)
                                 : PEM_read_bio_PUBKEY(input.get(), nullptr, nullptr, nullptr));
    }
    if (key && !EVP_PKEY_is_a(key.get(), "ED25519"))
        key.reset();
    ERR_clear_error();
    return key;
}

std::optional<std::array<unsigned char, kSignatureBytes>> DecodeSignature(std::string_view text)
{
    if (text.size() != kSignatureTextLength || !text.ends_with("=="))
        return std::nullopt;
    std::array<unsigned char, kSignatureBytes + 3> decoded{};  // the padding decodes as two more bytes
    const int length = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    if (length != static_cast<int>(kSignatureBytes + 2))
        return std::nullopt;
    std::array<unsigned char, kSignatureBytes> signature{};
    std::copy_n(decoded.begin(), kSignatureBytes, signature.begin());
    return signature;
}

bool Verifies(const CatalogKey& catalogKey, std::string_view bytes,
              const std::array<unsigned char, kSignatureBytes>& signature)
{
    const Key key(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, catalogKey.publicKey.data(),
                                              catalogKey.publicKey.size()));
    const SigningContext context(EVP_MD_CTX_new());
    // Ed25519 hashes the message itself: no digest is named.
    const bool verified = key && context &&
                          EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
                          EVP_DigestVerify(context.get(), signature.data(), signature.size(),
                                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == 1;
    ERR_clear_error();
    return verified;
}

std::optional<std::string> MemoryText(BIO* memory)
{
    char* data = nullptr;
    const long length = BIO_get_mem_data(memory, &data);
    if (length <= 0)
        return std::nullopt;
    return std::string(data, static_cast<std::size_t>(length));
}

}  // namespace

std::vector<CatalogKey> LoadCatalogKeys(const std::string& folder)
{
    std::vector<CatalogKey> keys;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() != ".pem")
            continue;
        std::string pem;
        std::string reason;
        if (FetchAddress(entry->path().string(), pem, reason, FetchLimits{.maxBytes = kMaxKeyFileBytes}) !=
            FetchFailure::None)
            continue;
        const Key key = ReadEd25519Key(pem, false);
        CatalogKey catalogKey{entry->path().filename().string()};
        std::size_t length = catalogKey.publicKey.size();
        if (key && EVP_PKEY_get_raw_public_key(key.get(), catalogKey.publicKey.data(), &length) == 1 &&
            length == catalogKey.publicKey.size())
            keys.push_back(std::move(catalogKey));
    }
    std::sort(keys.begin(), keys.end(), [](const CatalogKey& a, const CatalogKey& b) { return a.name < b.name; });
    return keys;
}

SignatureVerdict VerifyCatalogSignature(std::string_view catalogBytes, std::string_view signatureText,
                                        const std::vector<CatalogKey>& keys)
{
    if (keys.empty())
        return {SignatureCheck::NoKeys, {}};
    const std::string_view text = TrimSpace(signatureText);
    if (text.empty())
        return {SignatureCheck::Missing, {}};
    const auto signature = DecodeSignature(text);
    if (!signature)
        return {SignatureCheck::Malformed, {}};
    for (const CatalogKey& key : keys) {
        if (Verifies(key, catalogBytes, *signature))
            return {SignatureCheck::Valid, key.name};
    }
    return {SignatureCheck::OtherKey, {}};
}

std::optional<CatalogKeyPair> MakeCatalogKeyPair()
{
    const Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
    const Memory privatePem(BIO_new(BIO_s_mem()));
    const Memory publicPem(BIO_new(BIO_s_mem()));
    const bool written =
        key && privatePem && publicPem &&
        PEM_write_bio_PrivateKey(privatePem.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1 &&
        PEM_write_bio_PUBKEY(publicPem.get(), key.get()) == 1;
    ERR_clear_error();
    std::optional<std::string> privateText = written ? MemoryText(privatePem.get()) : std::nullopt;
    std::optional<std::string> publicText = written ? MemoryText(publicPem.get()) : std::nullopt;
    if (!privateText || !publicText)
        return std::nullopt;
    return CatalogKeyPair{std::move(*privateText), std::move(*publicText)};
}

std::optional<std::string> SignCatalog(std::string_view privateKeyPem, std::string_view catalogBytes)
{
    const Key key = ReadEd25519Key(privateKeyPem, true);
    const SigningContext context(EVP_MD_CTX_new());
    std::array<unsigned char, kSignatureBytes> signature{};
    std::size_t length = signature.size();
    const bool signed_ = key && context &&
                         EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
                         EVP_DigestSign(context.get(), signature.data(), &length,
                                        reinterpret_cast<const unsigned char*>(catalogBytes.data()),
                                        catalogBytes.size()) == 1 &&
                         length == signature.size();
    ERR_clear_error();
    if (!signed_)
        return std::nullopt;
    std::array<unsigned char, kSignatureTextLength + 1> text{};  // with the NUL EVP_EncodeBlock adds
    EVP_EncodeBlock(text.data(), signature.data(), static_cast<int>(signature.size()));
    return std::string(reinterpret_cast<const char*>(text.data()), kSignatureTextLength) + "\n";
}

}  // namespace orvane
