// The ".zsr" container: H (u32 LE), H digest bytes, N (u32 LE), N ciphertext
// bytes; the digest is the MD5 of the ciphertext.

#include "orvane/CryptUtil.h"

#include "AtomicFile.h"
#include "PosixFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using orvane::detail::FileDescriptor;
using orvane::detail::ReadExactly;

namespace {

constexpr char kCreateDataFile[] = "CCryptUtil::CreateDataFile()";
constexpr char kReadDataFile[] = "CCryptUtil::ReadDataFile()";
constexpr char kOpenFailed[] = "ファイルオープンの処理に失敗しました。";
constexpr char kHashFailed[] = "ハッシュ取得処理に失敗しました。";
constexpr char kCipherReadFailed[] = "暗号文サイズ読込み";

constexpr std::uint32_t kSizeFieldBytes = 4;
// The smallest container: the two size fields.
constexpr std::uint64_t kMinimumFileBytes = 2 * kSizeFieldBytes;
// The only digest a file can verify with: MD5.
constexpr std::uint32_t kDigestBytes = 16;
constexpr std::uint64_t kCipherOffset = kMinimumFileBytes + kDigestBytes;
// The container of the largest text; anything larger has either a text over
// the limit or a digest that cannot be MD5's.
constexpr std::uint64_t kLargestFileBytes = kCipherOffset + orvane::kMaxDataFileTextBytes;
// The cipher text passes through the first digest in pieces of this size.
constexpr std::size_t kStreamChunkBytes = 64 * 1024;

using StoredDigest = std::array<std::uint8_t, kDigestBytes>;

std::string FileParameterMessage(const std::string& path)
{
    return "暗号化情報が不正です。 暗号化ファイル名【" + path + "】";
}

std::string_view AsText(const std::uint8_t* bytes, std::size_t size)
{
    return {reinterpret_cast<const char*>(bytes), size};
}

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// Reads exactly size bytes at offset. false with errno set (0 when the file ends first).
bool ReadAt(int fd, std::uint64_t offset, void* data, std::size_t size)
{
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0 && ReadExactly(fd, data, size);
}

bool ReadU32At(int fd, std::uint64_t offset, std::uint32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    if (!ReadAt(fd, offset, bytes.data(), bytes.size()))
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

bool IsStoredDigest(const orvane::ByteBuffer& digest, std::uint32_t digestSize, const StoredDigest& stored)
{
    return digestSize == stored.size() && std::equal(stored.begin(), stored.end(), digest.get());
}

}  // namespace

int CCryptUtil::CreateDataFile(std::string path, std::uint32_t plainSize, const std::uint8_t* plainData)
{
    m_bTargetDamaged = false;
    if (path.empty() || !plainData) {
        errno = 0;
        REPORT_ERROR(m_log, kCreateDataFile, "暗号ファイル作成処理パラメータチェック処理", FileParameterMessage(path));
        return 0;
    }
    if (plainSize > orvane::kMaxDataFileTextBytes) {
        errno = EFBIG;
        REPORT_ERROR(m_log, kCreateDataFile, "平文サイズチェック()",
                     "平文サイズが上限の" + std::to_string(orvane::kMaxDataFileTextBytes >> 20) +
                         "MiBを超えています。 平文サイズ【" + std::to_string(plainSize) + "】");
        return 0;
    }

    CCryptUtil crypt;
    std::uint32_t cipherSize = 0;
    orvane::ByteBuffer cipher;
    if (crypt.Encrypt(plainSize, plainData, &cipherSize, &cipher) != 1) {
        errno = 0;
        REPORT_ERROR(m_log, kCreateDataFile, "CCryptUtil.Encrypt()", "暗号化処理に失敗しました。");
        return 0;
    }
    std::uint32_t hashSize = 0;
    orvane::ByteBuffer hash;
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &hashSize, &hash) != 1) {
        errno = 0;
        REPORT_ERROR(m_log, kCreateDataFile, "CCryptUtil.GetHash()", kHashFailed);
        return 0;
    }

    const auto hashSizeField = LittleEndian(hashSize);
    const auto cipherSizeField = LittleEndian(cipherSize);
    const std::string_view pieces[] = {AsText(hashSizeField.data(), hashSizeField.size()), AsText(hash.get(), hashSize),
                                       AsText(cipherSizeField.data(), cipherSizeField.size()),
                                       AsText(cipher.get(), cipherSize)};
    const orvane::detail::SaveResult saved = orvane::detail::SaveWhole(path, pieces);
    if (saved)
        return 1;
    if (saved.failure == orvane::detail::SaveFailure::Open)
        REPORT_ERROR(m_log, kCreateDataFile, "file.Open()", kOpenFailed);
    else if (saved.failure == orvane::detail::SaveFailure::Reserve)
        REPORT_ERROR(m_log, kCreateDataFile, "file.Reserve()", std::system_category().message(errno));
    else
        REPORT_ERROR(m_log, kCreateDataFile, kCreateDataFile, std::system_category().message(errno));
    m_bTargetDamaged = saved.targetDamaged;
    return 0;
}

int CCryptUtil::ReadDataFile(std::string path, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    if (path.empty() || !plainSize || !plainData) {
        errno = 0;
        REPORT_ERROR(m_log, kReadDataFile, "暗号ファイル読込処理パラメータチェック処理", FileParameterMessage(path));
        return orvane::READ_DATA_FAILED;
    }
    // Non-blocking so that a FIFO at the path cannot stall the open.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Open()", kOpenFailed);
        return orvane::READ_DATA_FAILED;
    }
    return ReadContainer(file.get(), plainSize, plainData);
}

int CCryptUtil::ReadDataFromDescriptor(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    if (fd < 0 || !plainSize || !plainData) {
        errno = fd < 0 ? EBADF : 0;
        REPORT_ERROR(m_log, kReadDataFile, "暗号ファイル読込処理パラメータチェック処理",
                     FileParameterMessage("fd " + std::to_string(fd)));
        return orvane::READ_DATA_FAILED;
    }
    return ReadContainer(fd, plainSize, plainData);
}

int CCryptUtil::ReadContainer(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        REPORT_ERROR(m_log, kReadDataFile, "file.GetStatus()", "ファイル情報取得処理に失敗しました。");
        return orvane::READ_DATA_FAILED;
    }
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        REPORT_ERROR(m_log, kReadDataFile, "file.Open()", kOpenFailed);
        return orvane::READ_DATA_FAILED;
    }
    // Every size below is checked against the real file size, compared as
    // 64-bit values: H + 8 and N + H + 8 cannot wrap.
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (fileSize < kMinimumFileBytes) {
        errno = 0;
        REPORT_ERROR(m_log, kReadDataFile, "最小ファイルサイズチェック()",
                     "ファイルデータが最小データサイズ2バイト以下です。");
        return orvane::READ_DATA_FAILED;
    }
    if (fileSize > kLargestFileBytes)
        return orvane::READ_DATA_CONTENT_BAD;

    std::uint32_t hashSize = 0;
    if (!ReadU32At(fd, 0, hashSize)) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", "ファイル読込処理に失敗しました。");
        return orvane::READ_DATA_FAILED;
    }
    if (fileSize < hashSize + kMinimumFileBytes) {
        errno = 0;
        REPORT_ERROR(m_log, kReadDataFile, "ハッシュサイズを考慮したファイルサイズチェック()",
                     "ファイルデータからハッシュデータを抜かしたサイズが最小データサイズ2バイト以下です。");
        return orvane::READ_DATA_FAILED;
    }
    // A stored digest of another length can match no MD5 and is not read.
    StoredDigest storedHash{};
    if (hashSize == kDigestBytes && !ReadAt(fd, kSizeFieldBytes, storedHash.data(), storedHash.size())) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", "ハッシュデータ読込処理エラー");
        return orvane::READ_DATA_FAILED;
    }
    std::uint32_t cipherSize = 0;
    if (!ReadU32At(fd, kSizeFieldBytes + hashSize, cipherSize)) {
        REPORT_ERROR(m_log, kReadDataFile, "暗号文サイズ読込()", "暗号文サイズチェック処理エラー");
        return orvane::READ_DATA_FAILED;
    }
    if (fileSize != std::uint64_t{cipherSize} + hashSize + kMinimumFileBytes || hashSize != kDigestBytes)
        return orvane::READ_DATA_CONTENT_BAD;

    CCryptUtil crypt;
    const auto hashFailed = [this] {
        errno = 0;
        REPORT_ERROR(m_log, kReadDataFile, "file.GetHash()", kHashFailed);
        return orvane::READ_DATA_FAILED;
    };
    // First pass: the digest of the cipher text streamed through a small
    // buffer, so that a file that does not verify costs no memory of its size.
    if (crypt.BeginHash(CALG_MD5) != 1)
        return hashFailed();
    std::array<std::uint8_t, kStreamChunkBytes> chunk;
    for (std::uint32_t done = 0; done < cipherSize;) {
        const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(cipherSize - done, chunk.size()));
        if (!ReadAt(fd, kCipherOffset + done, chunk.data(), piece)) {
            REPORT_ERROR(m_log, kReadDataFile, "file.Read()", kCipherReadFailed);
            return orvane::READ_DATA_FAILED;
        }
        if (crypt.ContinueHash(piece, chunk.data()) != 1)
            return hashFailed();
        done += piece;
    }
    std::uint32_t digestSize = 0;
    orvane::ByteBuffer digest;
    if (crypt.FinishHash(&digestSize, &digest) != 1)
        return hashFailed();
    if (!IsStoredDigest(digest, digestSize, storedHash))
        return orvane::READ_DATA_CONTENT_BAD;

    // Second pass: the text itself. It is digested again before it is
    // decrypted, so that a program rewriting the file in place between the
    // passes cannot slip a mixed text through.
    orvane::ByteBuffer cipher = NewBuffer(cipherSize);
    if (!cipher || !ReadAt(fd, kCipherOffset, cipher.get(), cipherSize)) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", kCipherReadFailed);
        return orvane::READ_DATA_FAILED;
    }
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &digestSize, &digest) != 1)
        return hashFailed();
    if (!IsStoredDigest(digest, digestSize, storedHash))
        return orvane::READ_DATA_CONTENT_BAD;

    if (cipherSize == 0) {
        *plainSize = 0;
        *plainData = std::make_unique<std::uint8_t[]>(0);
        return orvane::READ_DATA_OK;
    }
    std::uint32_t decryptedSize = 0;
    orvane::ByteBuffer decrypted;
    if (crypt.Decrypt(cipherSize, cipher.get(), &decryptedSize, &decrypted) != 1) {
        errno = 0;
        REPORT_ERROR(m_log, kReadDataFile, "Decrypt()", "復号化取得処理に失敗しました。");
        return orvane::READ_DATA_FAILED;
    }
    *plainSize = decryptedSize;
    *plainData = std::move(decrypted);
    return orvane::READ_DATA_OK;
}
