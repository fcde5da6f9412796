// CCryptUtil session: digests, the fixed RC4 key, parameter checks and the
// records of a missing cipher provider.

#include "CryptUtil.h"

#include "ErrorLogReader.h"
#include "ScopedEnvironment.h"
#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kPassword = "KappaRiverGlyph";
// `printf KappaRiverGlyph | sha1sum`
const std::string kPasswordSha1 = "7992f1aef5513607d600a78085c5d10c167daba9";

std::string LogFolder() { return g_ErrorLog.Folder(); }

Bytes ToBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string Hex(const std::uint8_t* data, std::size_t size)
{
    std::string hex;
    char digits[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", data[i]);
        hex += digits;
    }
    return hex;
}

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// A plain RC4 written from its definition, independent of the library.
Bytes ReferenceRc4(const Bytes& key, const Bytes& data)
{
    std::array<std::uint8_t, 256> state;
    std::iota(state.begin(), state.end(), 0);
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
        std::swap(state[i], state[j]);
    }
    Bytes out;
    std::uint8_t i = 0;
    j = 0;
    for (const std::uint8_t byte : data) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + state[i]);
        std::swap(state[i], state[j]);
        out.push_back(byte ^ state[static_cast<std::uint8_t>(state[i] + state[j])]);
    }
    return out;
}

std::optional<std::string> HexDigest(CCryptUtil& crypt, unsigned algorithm, const std::string& text)
{
    std::uint32_t size = 0;
    orvane::ByteBuffer digest;
    if (crypt.GetHash(algorithm, static_cast<std::uint32_t>(text.size()),
                      reinterpret_cast<const std::uint8_t*>(text.data()), &size, &digest) != 1)
        return std::nullopt;
    return Hex(digest.get(), size);
}

std::optional<Bytes> EncryptInNewSession(const Bytes& plain)
{
    CCryptUtil crypt;
    std::uint32_t size = 0;
    orvane::ByteBuffer cipher;
    if (crypt.Encrypt(static_cast<std::uint32_t>(plain.size()), plain.data(), &size, &cipher) != 1)
        return std::nullopt;
    return Bytes(cipher.get(), cipher.get() + size);
}

class CryptUtilTest : public ::testing::Test {
protected:
    ErrorLogTail m_log{LogFolder()};
};

// ---------------------------------------------------------------- digests

using GetHashTest = CryptUtilTest;

TEST_F(GetHashTest, Md5MatchesRfc1321Vectors)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    CCryptUtil crypt;
    for (const auto& [input, expected] : vectors)
        EXPECT_EQ(HexDigest(crypt, CALG_MD5, input), expected) << '"' << input << '"';
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetHashTest, Sha1MatchesFips180Vectors)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    CCryptUtil crypt;
    for (const auto& [input, expected] : vectors)
        EXPECT_EQ(HexDigest(crypt, CALG_SHA1, input), expected) << input.size() << " bytes";
}

TEST_F(GetHashTest, Md4MatchesRfc1320AndMd2IsComputedOrRecorded)
{
    CCryptUtil crypt;
    EXPECT_EQ(HexDigest(crypt, CALG_MD4, "abc"), "a448017aaf21d8525fc10ae87aa6729d");

    // OpenSSL 3 builds usually leave MD2 out; then the hash object cannot be created.
    const std::optional<std::string> md2 = HexDigest(crypt, CALG_MD2, "abc");
    const std::vector<LogRecord> lines = m_log.NewLines();
    if (md2) {
        EXPECT_EQ(*md2, "da853b0d3f88d99b30283a69e6ded6bb");  // RFC 1319
        EXPECT_TRUE(lines.empty());
    } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].operation, "CCryptUtil::GetHash()");
        EXPECT_EQ(lines[0].step, "CryptCreateHash()");
        EXPECT_EQ(lines[0].message, "ハッシュ計算インスタンスの作成に失敗しました。");
        EXPECT_EQ(lines[0].errorCode, "00000000");
        EXPECT_EQ(lines[0].sourceFile, "core/selection/src/CryptUtil.cpp");
    }
}

TEST_F(GetHashTest, IdentifiersOutsideTheRangeFailWithoutRecord)
{
    CCryptUtil crypt;
    const std::uint8_t data[] = {'x'};
    for (const unsigned algorithm : {0x8000u, 0x8005u, 0x6801u, 0u}) {
        std::uint32_t size = 99;
        orvane::ByteBuffer digest;
        EXPECT_EQ(crypt.GetHash(algorithm, 1, data, &size, &digest), 0) << algorithm;
        EXPECT_EQ(size, 99u);
        EXPECT_EQ(digest, nullptr);
    }
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetHashTest, AbsentParametersAreRecordedWithIdAndDataSize)
{
    CCryptUtil crypt;
    std::uint32_t size = 0;
    orvane::ByteBuffer digest;
    EXPECT_EQ(crypt.GetHash(CALG_MD5, 5, nullptr, &size, &digest), 0);
    const std::uint8_t data[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(crypt.GetHash(CALG_SHA1, 5, data, &size, nullptr), 0);

    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 2u);
    for (const LogRecord& line : lines) {
        EXPECT_EQ(line.operation, "CCryptUtil::GetHash()");
        EXPECT_EQ(line.step, "ハッシュ取得パラメータチェック処理");
    }
    EXPECT_EQ(lines[0].message, "暗号化情報が不正です。 ハッシュアルゴリズムID【32771】 データ【5】");
    EXPECT_EQ(lines[1].message, "暗号化情報が不正です。 ハッシュアルゴリズムID【32772】 データ【5】");
}

// ---------------------------------------------------------------- cipher

using CryptSessionTest = CryptUtilTest;

TEST_F(CryptSessionTest, EncryptionIsRc4UnderTheFirst16BytesOfThePasswordSha1)
{
    // The reference itself first: RFC 6229, 128-bit key 0x0102...10, key stream at offset 0.
    Bytes rfcKey(16);
    std::iota(rfcKey.begin(), rfcKey.end(), 1);
    ASSERT_EQ(ReferenceRc4(rfcKey, Bytes(16, 0)), FromHex("9ac7cc9a609d1ef7b2932899cde41b97"));

    CCryptUtil crypt;
    ASSERT_EQ(HexDigest(crypt, CALG_SHA1, kPassword), kPasswordSha1);
    const Bytes key = FromHex(kPasswordSha1.substr(0, 32));

    Bytes plain(70000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    EXPECT_EQ(EncryptInNewSession(plain), ReferenceRc4(key, plain));
}

TEST_F(CryptSessionTest, CiphertextMatchesTheOpensslCommandLine)
{
    // printf 'The quick brown fox jumps over the lazy dog' |
    //   openssl enc -rc4 -K 7992f1aef5513607d600a78085c5d10c -nosalt -provider legacy -provider default | xxd -p
    // (the key is the first 16 bytes of `printf KappaRiverGlyph | sha1sum`)
    const Bytes expected = FromHex("1752b9103a5bedb666c6989360eeb88c2a6f68fe7efbf7ebfad72da966160887d634c0cde365a3347a1dc6");
    EXPECT_EQ(EncryptInNewSession(ToBytes("The quick brown fox jumps over the lazy dog")), expected);
}

TEST_F(CryptSessionTest, SessionsAgreeAndDecryptionRestoresThePlaintext)
{
    const Bytes plain = ToBytes(std::string("selection <text> with \0 bytes and 中文", 40));
    const std::optional<Bytes> first = EncryptInNewSession(plain);
    const std::optional<Bytes> second = EncryptInNewSession(plain);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
    EXPECT_NE(*first, plain);

    CCryptUtil third;
    std::uint32_t size = 0;
    orvane::ByteBuffer decrypted;
    ASSERT_EQ(third.Decrypt(static_cast<std::uint32_t>(first->size()), first->data(), &size, &decrypted), 1);
    EXPECT_EQ(Bytes(decrypted.get(), decrypted.get() + size), plain);

    // Every call starts at the first key-stream byte, also within one session.
    std::uint32_t againSize = 0;
    orvane::ByteBuffer again;
    ASSERT_EQ(third.Encrypt(static_cast<std::uint32_t>(plain.size()), plain.data(), &againSize, &again), 1);
    EXPECT_EQ(Bytes(again.get(), again.get() + againSize), *first);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(CryptSessionTest, EncryptingNothingGivesAnEmptyBuffer)
{
    CCryptUtil crypt;
    const std::uint8_t plain[1] = {0};
    std::uint32_t size = 123;
    orvane::ByteBuffer cipher;
    ASSERT_EQ(crypt.Encrypt(0, plain, &size, &cipher), 1);
    EXPECT_EQ(size, 0u);
    EXPECT_NE(cipher, nullptr);
}

TEST_F(CryptSessionTest, AbsentParametersAreRecordedWithSizeAndFirstByte)
{
    CCryptUtil crypt;
    const std::uint8_t plain[] = {'h', 'e', 'l', 'l', 'o'};
    const std::uint8_t cipher[] = {0x01, 0x02};
    std::uint32_t size = 7;
    orvane::ByteBuffer buffer;
    EXPECT_EQ(crypt.Encrypt(5, plain, &size, nullptr), 0);
    EXPECT_EQ(crypt.Encrypt(3, nullptr, &size, &buffer), 0);
    EXPECT_EQ(crypt.Decrypt(2, cipher, nullptr, &buffer), 0);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(buffer, nullptr);

    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 3u);  // no session was started, so nothing else was recorded
    EXPECT_EQ(lines[0].operation, "CCryptUtil::Encrypt()");
    EXPECT_EQ(lines[0].step, "暗号化パラメータチェック処理");
    EXPECT_EQ(lines[0].message, "暗号化情報が不正です。 平文サイズ【5】 平文【h】");
    EXPECT_EQ(lines[1].message, "暗号化情報が不正です。 平文サイズ【3】 平文【】");
    EXPECT_EQ(lines[2].operation, "CCryptUtil::Decrypt()");
    EXPECT_EQ(lines[2].step, "復号化パラメータチェック処理");
    // A byte that is not printable text is escaped once, by the log writer.
    EXPECT_EQ(lines[2].message, "暗号化情報が不正です。 暗号文サイズ【2】 暗号文【\x01】");
}

// ---------------------------------------------------------------- provider

// RC4 and MD4 come from OpenSSL's "legacy" module; pointing the module folder
// at an empty folder makes it unavailable.
class MissingLegacyModuleTest : public CryptUtilTest {
protected:
    ScopedTempFolder m_emptyFolder;
};

TEST_F(MissingLegacyModuleTest, InitCryptRecordsTheAcquireStepAndRetriesLater)
{
    CCryptUtil crypt;
    {
        ScopedEnvironment modules("OPENSSL_MODULES", m_emptyFolder.path().string());
        EXPECT_EQ(crypt.InitCrypt(), 0);
    }
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, "CCryptUtil::InitCrypt()");
    EXPECT_EQ(lines[0].step, "CryptAcquireContext()");
    EXPECT_EQ(lines[0].message, "キーコンテナ取得処理に失敗しました。");

    // A failed start holds nothing, so the next call starts over.
    EXPECT_EQ(crypt.InitCrypt(), 1);
}

TEST_F(MissingLegacyModuleTest, EncryptAndDecryptWriteTheSessionRecordThenTheirOwn)
{
    ScopedEnvironment modules("OPENSSL_MODULES", m_emptyFolder.path().string());
    CCryptUtil crypt;
    const std::uint8_t data[] = {'a', 'b'};
    std::uint32_t size = 5;
    orvane::ByteBuffer out;
    EXPECT_EQ(crypt.Encrypt(2, data, &size, &out), 0);
    EXPECT_EQ(crypt.Decrypt(2, data, &size, &out), 0);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(out, nullptr);

    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].operation, "CCryptUtil::InitCrypt()");
    EXPECT_EQ(lines[0].step, "CryptAcquireContext()");
    EXPECT_EQ(lines[1].operation, "CCryptUtil::Encrypt()");
    EXPECT_EQ(lines[1].step, "InitCrypt()");
    EXPECT_EQ(lines[1].message, "暗号処理初期化処理に失敗しました。");
    EXPECT_EQ(lines[2].operation, "CCryptUtil::InitCrypt()");
    EXPECT_EQ(lines[3].operation, "CCryptUtil::Decrypt()");
    EXPECT_EQ(lines[3].step, "InitCrypt()");
}

TEST_F(MissingLegacyModuleTest, AReadySessionIsNotAcquiredAgain)
{
    CCryptUtil crypt;
    ASSERT_EQ(crypt.InitCrypt(), 1);
    ScopedEnvironment modules("OPENSSL_MODULES", m_emptyFolder.path().string());
    EXPECT_EQ(crypt.InitCrypt(), 1);
    const Bytes plain = ToBytes("still keyed");
    std::uint32_t size = 0;
    orvane::ByteBuffer cipher;
    EXPECT_EQ(crypt.Encrypt(static_cast<std::uint32_t>(plain.size()), plain.data(), &size, &cipher), 1);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(MissingLegacyModuleTest, GetHashKeepsMd5ButCannotCreateMd4)
{
    ScopedEnvironment modules("OPENSSL_MODULES", m_emptyFolder.path().string());
    CCryptUtil crypt;
    EXPECT_EQ(HexDigest(crypt, CALG_MD5, "abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(HexDigest(crypt, CALG_MD4, "abc"), std::nullopt);
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, "CCryptUtil::GetHash()");
    EXPECT_EQ(lines[0].step, "CryptCreateHash()");
}

}  // namespace
