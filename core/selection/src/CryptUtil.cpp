#include "CryptUtil.h"

#include "Handle.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>
#include <string_view>

namespace {

constexpr char kInitCrypt[] = "CCryptUtil::InitCrypt()";
constexpr char kEncrypt[] = "CCryptUtil::Encrypt()";
constexpr char kDecrypt[] = "CCryptUtil::Decrypt()";
constexpr char kGetHash[] = "CCryptUtil::GetHash()";

constexpr char kAcquireFailed[] = "キーコンテナ取得処理に失敗しました。";
constexpr char kCreateHashFailed[] = "ハッシュ計算インスタンスの作成に失敗しました。";
constexpr char kHashDataFailed[] = "ハッシュ値の作成に失敗しました。";
constexpr char kGetHashParamFailed[] = "ハッシュデータ取得に失敗しました。";
constexpr char kBadParameters[] = "暗号化情報が不正です。";

// The key is the same everywhere: RC4-128 keyed with the first 16 bytes of
// the SHA-1 of these 15 bytes (no terminating zero).
constexpr std::string_view kPassword = "KappaRiverGlyph";
constexpr int kKeyBytes = 16;

// EVP_CipherUpdate takes an int length; larger buffers go through in pieces.
constexpr std::size_t kCipherChunk = std::size_t{1} << 30;

using orvane::detail::Handle;

using LibraryContext = Handle<OSSL_LIB_CTX, OSSL_LIB_CTX_free>;
using Provider = Handle<OSSL_PROVIDER, OSSL_PROVIDER_unload>;
using DigestAlgorithm = Handle<EVP_MD, EVP_MD_free>;
using DigestContext = Handle<EVP_MD_CTX, EVP_MD_CTX_free>;
using CipherAlgorithm = Handle<EVP_CIPHER, EVP_CIPHER_free>;
using CipherContext = Handle<EVP_CIPHER_CTX, EVP_CIPHER_CTX_free>;

// A private library context with its providers: the process-wide
// configuration stays out, and the module folder (OPENSSL_MODULES when set)
// is looked up afresh for every context. Members are released bottom-up.
struct ProviderContext {
    LibraryContext library;
    Provider defaultProvider;
    Provider legacyProvider;  // RC4 and MD4
};

// What a context needs of the "legacy" module, which is a file loaded from
// the module folder (the others are built into the library).
enum class LegacyModule {
    Required,   // the session: RC4
    IfPresent,  // MD2 and MD4: a missing module only leaves them unavailable
    Unused,     // MD5 and SHA-1
};

// Loads "default" and, as asked, "legacy".
std::optional<ProviderContext> AcquireProviders(LegacyModule legacy)
{
    ProviderContext context{LibraryContext(OSSL_LIB_CTX_new()), nullptr, nullptr};
    if (!context.library)
        return std::nullopt;
    // Loading a provider by hand switches off the automatic fallback, so
    // "default" is loaded explicitly as well.
    context.defaultProvider.reset(OSSL_PROVIDER_load(context.library.get(), "default"));
    if (legacy != LegacyModule::Unused)
        context.legacyProvider.reset(OSSL_PROVIDER_load(context.library.get(), "legacy"));
    if (!context.defaultProvider || (legacy == LegacyModule::Required && !context.legacyProvider))
        return std::nullopt;
    return context;
}

const char* DigestName(unsigned algorithm)
{
    switch (algorithm) {
    case CALG_MD2: return "MD2";
    case CALG_MD4: return "MD4";
    case CALG_MD5: return "MD5";
    case CALG_SHA1: return "SHA1";
    default: return nullptr;
    }
}

bool NeedsLegacyModule(unsigned algorithm)
{
    return algorithm == CALG_MD2 || algorithm == CALG_MD4;
}

// The context of the digests that come with the library (MD5, SHA-1). Nothing
// from outside changes it, so one serves the whole process: the first fetch
// of an algorithm in a new context costs as much as hashing about 100 KB,
// and every data file is digested twice. Null when it could not be made.
const ProviderContext* BuiltInDigestProviders()
{
    static const std::optional<ProviderContext> providers = AcquireProviders(LegacyModule::Unused);
    return providers ? &*providers : nullptr;
}

// The first data byte as it is; the log writer makes it printable. No byte, no text.
std::string FirstByteText(std::uint32_t size, const std::uint8_t* data)
{
    if (!data || size == 0)
        return {};
    return std::string(1, static_cast<char>(data[0]));
}

std::string ParameterMessage(const char* sizeLabel, unsigned long long size, const char* valueLabel,
                             const std::string& value)
{
    return std::string(kBadParameters) + sizeLabel + std::to_string(size) + "】" + valueLabel + value +
           "】";
}

// The RC4 key: the password digest's first 16 bytes, set into a cipher
// context that is only ever copied, so every use starts at the first
// key-stream byte.
CipherContext DeriveKey(const EVP_MD_CTX& passwordHash, const EVP_CIPHER& rc4)
{
    DigestContext digestCopy(EVP_MD_CTX_new());
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digestSize = 0;
    if (!digestCopy || EVP_MD_CTX_copy_ex(digestCopy.get(), &passwordHash) != 1 ||
        EVP_DigestFinal_ex(digestCopy.get(), digest.data(), &digestSize) != 1 || digestSize < kKeyBytes)
        return nullptr;

    CipherContext key(EVP_CIPHER_CTX_new());
    const bool keyed = key && EVP_CipherInit_ex2(key.get(), &rc4, nullptr, nullptr, 1, nullptr) == 1 &&
                       EVP_CIPHER_CTX_set_key_length(key.get(), kKeyBytes) == 1 &&
                       EVP_CipherInit_ex2(key.get(), nullptr, digest.data(), nullptr, 1, nullptr) == 1;
    OPENSSL_cleanse(digest.data(), digest.size());
    return keyed ? std::move(key) : nullptr;
}

// Combines size bytes of input with the key stream from its first byte.
bool ApplyKeyStream(const EVP_CIPHER_CTX& key, const std::uint8_t* input, std::uint32_t size,
                    std::uint8_t* output)
{
    CipherContext stream(EVP_CIPHER_CTX_new());
    if (!stream || EVP_CIPHER_CTX_copy(stream.get(), &key) != 1)
        return false;
    for (std::size_t done = 0; done < size;) {
        const int piece = static_cast<int>(std::min<std::size_t>(size - done, kCipherChunk));
        int written = 0;
        if (EVP_CipherUpdate(stream.get(), output + done, &written, input + done, piece) != 1 ||
            written != piece)
            return false;
        done += static_cast<std::size_t>(piece);
    }
    int tail = 0;
    return EVP_CipherFinal_ex(stream.get(), output + size, &tail) == 1 && tail == 0;
}

}  // namespace

// Released in reverse order: key, password hash, providers.
struct CCryptUtil::Session {
    ProviderContext providers;
    DigestContext passwordHash;
    CipherContext key;
};

// Released in reverse order: digest context, algorithm, providers of its own.
struct CCryptUtil::HashState {
    std::optional<ProviderContext> ownProviders;  // MD2 and MD4 only
    DigestAlgorithm algorithm;
    DigestContext context;
};

CCryptUtil::CCryptUtil() = default;

CCryptUtil::~CCryptUtil() = default;

orvane::ByteBuffer CCryptUtil::NewBuffer(std::size_t size)
{
    return orvane::ByteBuffer(new (std::nothrow) std::uint8_t[size]);
}

int CCryptUtil::InitCrypt()
{
    if (m_session)
        return 1;

    std::optional<ProviderContext> providers = AcquireProviders(LegacyModule::Required);
    const DigestAlgorithm sha1(providers ? EVP_MD_fetch(providers->library.get(), "SHA1", nullptr) : nullptr);
    const CipherAlgorithm rc4(providers ? EVP_CIPHER_fetch(providers->library.get(), "RC4", nullptr) : nullptr);
    if (!providers || !sha1 || !rc4) {
        REPORT_ERROR(m_log, 0, kInitCrypt, "CryptAcquireContext()", kAcquireFailed);
        return 0;
    }

    DigestContext passwordHash(EVP_MD_CTX_new());
    if (!passwordHash || EVP_DigestInit_ex2(passwordHash.get(), sha1.get(), nullptr) != 1) {
        REPORT_ERROR(m_log, 0, kInitCrypt, "CryptCreateHash()", kCreateHashFailed);
        return 0;
    }
    if (EVP_DigestUpdate(passwordHash.get(), kPassword.data(), kPassword.size()) != 1) {
        REPORT_ERROR(m_log, 0, kInitCrypt, "CryptHashData()", kHashDataFailed);
        return 0;
    }
    CipherContext key = DeriveKey(*passwordHash, *rc4);
    if (!key) {
        REPORT_ERROR(m_log, 0, kInitCrypt, "CryptDeriveKey()", "暗号化用キー作成に失敗しました。");
        return 0;
    }

    m_session = std::make_unique<Session>(Session{std::move(*providers), std::move(passwordHash), std::move(key)});
    return 1;
}

int CCryptUtil::Encrypt(std::uint32_t plainSize, const std::uint8_t* plainData, std::uint32_t* cipherSize,
                        orvane::ByteBuffer* cipherData)
{
    if (!plainData || !cipherSize || !cipherData) {
        REPORT_ERROR(m_log, 0, kEncrypt, "暗号化パラメータチェック処理",
                     ParameterMessage(" 平文サイズ【", plainSize, " 平文【", FirstByteText(plainSize, plainData)));
        return 0;
    }
    if (InitCrypt() != 1) {
        REPORT_ERROR(m_log, 0, kEncrypt, "InitCrypt()", "暗号処理初期化処理に失敗しました。");
        return 0;
    }
    orvane::ByteBuffer cipher = NewBuffer(plainSize);
    if (!cipher || !ApplyKeyStream(*m_session->key, plainData, plainSize, cipher.get())) {
        REPORT_ERROR(m_log, cipher ? 0 : ENOMEM, kEncrypt, "CryptEncrypt()", "暗号化処理に失敗しました。");
        return 0;
    }
    *cipherSize = plainSize;
    *cipherData = std::move(cipher);
    return 1;
}

int CCryptUtil::Decrypt(std::uint32_t cipherSize, const std::uint8_t* cipherData, std::uint32_t* plainSize,
                        orvane::ByteBuffer* plainData)
{
    if (!cipherData || !plainSize || !plainData) {
        REPORT_ERROR(m_log, 0, kDecrypt, "復号化パラメータチェック処理",
                     ParameterMessage(" 暗号文サイズ【", cipherSize, " 暗号文【",
                                      FirstByteText(cipherSize, cipherData)));
        return 0;
    }
    if (InitCrypt() != 1) {
        REPORT_ERROR(m_log, 0, kDecrypt, "InitCrypt()", "暗号処理初期化処理に失敗しました。");
        return 0;
    }
    // RC4 keeps the length, so the plaintext goes straight into the output buffer.
    orvane::ByteBuffer plain = NewBuffer(cipherSize);
    if (!plain || !ApplyKeyStream(*m_session->key, cipherData, cipherSize, plain.get())) {
        REPORT_ERROR(m_log, plain ? 0 : ENOMEM, kDecrypt, "CryptDecrypt()", "復号化取得処理に失敗しました。");
        return 0;
    }
    *plainSize = cipherSize;
    *plainData = std::move(plain);
    return 1;
}

int CCryptUtil::GetHash(unsigned algorithm, std::uint32_t dataSize, const std::uint8_t* hashInput,
                        std::uint32_t* hashSize, orvane::ByteBuffer* hashData)
{
    if (!hashInput || !hashSize || !hashData) {
        REPORT_ERROR(m_log, 0, kGetHash, "ハッシュ取得パラメータチェック処理",
                     ParameterMessage(" ハッシュアルゴリズムID【", algorithm, " データ【",
                                      std::to_string(dataSize)));
        return 0;
    }
    if (BeginHash(algorithm) != 1 || ContinueHash(dataSize, hashInput) != 1)
        return 0;
    return FinishHash(hashSize, hashData);
}

int CCryptUtil::BeginHash(unsigned algorithm)
{
    m_hash.reset();
    const char* digestName = DigestName(algorithm);
    if (!digestName)
        return 0;

    // The session is neither used nor changed. The legacy module is looked
    // up afresh for each digest that needs it.
    std::optional<ProviderContext> ownProviders;
    const ProviderContext* providers = nullptr;
    if (NeedsLegacyModule(algorithm)) {
        ownProviders = AcquireProviders(LegacyModule::IfPresent);
        providers = ownProviders ? &*ownProviders : nullptr;
    } else {
        providers = BuiltInDigestProviders();
    }
    if (!providers) {
        REPORT_ERROR(m_log, 0, kGetHash, "CryptAcquireContext()", kAcquireFailed);
        return 0;
    }
    DigestAlgorithm digestAlgorithm(EVP_MD_fetch(providers->library.get(), digestName, nullptr));
    DigestContext hash(digestAlgorithm ? EVP_MD_CTX_new() : nullptr);
    if (!hash || EVP_DigestInit_ex2(hash.get(), digestAlgorithm.get(), nullptr) != 1) {
        REPORT_ERROR(m_log, 0, kGetHash, "CryptCreateHash()", kCreateHashFailed);
        return 0;
    }
    m_hash = std::make_unique<HashState>(
        HashState{std::move(ownProviders), std::move(digestAlgorithm), std::move(hash)});
    return 1;
}

int CCryptUtil::ContinueHash(std::uint32_t dataSize, const std::uint8_t* hashInput)
{
    if (!m_hash || EVP_DigestUpdate(m_hash->context.get(), hashInput, dataSize) != 1) {
        REPORT_ERROR(m_log, 0, kGetHash, "CryptHashData()", kHashDataFailed);
        m_hash.reset();
        return 0;
    }
    return 1;
}

int CCryptUtil::FinishHash(std::uint32_t* hashSize, orvane::ByteBuffer* hashData)
{
    const std::unique_ptr<HashState> hash = std::move(m_hash);  // released after any record
    const int digestSize = hash ? EVP_MD_get_size(hash->algorithm.get()) : 0;
    if (digestSize <= 0) {
        REPORT_ERROR(m_log, 0, kGetHash, "CryptGetHashParam()", kGetHashParamFailed);
        return 0;
    }
    orvane::ByteBuffer digest = NewBuffer(static_cast<std::size_t>(digestSize));
    unsigned int written = 0;
    if (!digest || EVP_DigestFinal_ex(hash->context.get(), digest.get(), &written) != 1 ||
        written != static_cast<unsigned int>(digestSize)) {
        REPORT_ERROR(m_log, digest ? 0 : ENOMEM, kGetHash, "CryptGetHashParam()", kGetHashParamFailed);
        return 0;
    }
    *hashSize = written;
    *hashData = std::move(digest);
    return 1;
}
