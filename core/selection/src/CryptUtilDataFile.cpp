// The ".zsr" container: H (u32 LE), H digest bytes, N (u32 LE), N ciphertext
// bytes; the digest is the MD5 of the ciphertext.

#include "CryptUtil.h"

#include "AtomicFile.h"
#include "PosixFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using orvane::DataFileResult;
using orvane::detail::FileDescriptor;
using orvane::detail::LastSystemFailure;
using orvane::detail::ReadExactly;
using orvane::detail::SystemFailure;
using orvane::detail::SystemResult;

namespace {

constexpr char kCreateDataFile[] = "CCryptUtil::CreateDataFile()";
constexpr char kReadDataFile[] = "CCryptUtil::ReadDataFile()";
constexpr char kOpenFailed[] = "ファイルオープンの処理に失敗しました。";
constexpr char kHashFailed[] = "ハッシュ取得処理に失敗しました。";
constexpr char kCipherReadFailed[] = "暗号文サイズ読込み";
constexpr char kOpenStep[] = "file.Open()";
constexpr char kReadStep[] = "file.Read()";
constexpr char kReadParameterCheck[] = "暗号ファイル読込処理パラメータチェック処理";

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

// Reads exactly size bytes at offset; a file that ends first fails without a system reason.
SystemResult ReadAt(int fd, std::uint64_t offset, void* data, std::size_t size)
{
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        return LastSystemFailure();
    return ReadExactly(fd, data, size);
}

SystemResult ReadU32At(int fd, std::uint64_t offset, std::uint32_t& value)
{
    std::array<std::uint8_t, 4> bytes{};
    const SystemResult read = ReadAt(fd, offset, bytes.data(), bytes.size());
    if (read)
        value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return read;
}

bool IsStoredDigest(const orvane::ByteBuffer& digest, std::uint32_t digestSize, const StoredDigest& stored)
{
    return digestSize == stored.size() && std::equal(stored.begin(), stored.end(), digest.get());
}

// A failure whose record the step named was written.
DataFileResult Failed(std::string_view step, int systemError, bool targetDamaged = false)
{
    return {orvane::READ_DATA_FAILED, systemError, targetDamaged, step};
}

DataFileResult ContentBad()
{
    return {orvane::READ_DATA_CONTENT_BAD, 0, false, {}};
}

}  // namespace

DataFileResult CCryptUtil::CreateDataFile(std::string path, std::uint32_t plainSize, const std::uint8_t* plainData)
{
    if (path.empty() || !plainData) {
        static constexpr char kStep[] = "暗号ファイル作成処理パラメータチェック処理";
        REPORT_ERROR(m_log, 0, kCreateDataFile, kStep, FileParameterMessage(path));
        return Failed(kStep, 0);
    }
    if (plainSize > orvane::kMaxDataFileTextBytes) {
        static constexpr char kStep[] = "平文サイズチェック()";
        REPORT_ERROR(m_log, EFBIG, kCreateDataFile, kStep,
                     "平文サイズが上限の" + std::to_string(orvane::kMaxDataFileTextBytes >> 20) +
                         "MiBを超えています。 平文サイズ【" + std::to_string(plainSize) + "】");
        return Failed(kStep, EFBIG);
    }

    CCryptUtil crypt;
    std::uint32_t cipherSize = 0;
    orvane::ByteBuffer cipher;
    if (crypt.Encrypt(plainSize, plainData, &cipherSize, &cipher) != 1) {
        static constexpr char kStep[] = "CCryptUtil.Encrypt()";
        REPORT_ERROR(m_log, 0, kCreateDataFile, kStep, "暗号化処理に失敗しました。");
        return Failed(kStep, 0);
    }
    std::uint32_t hashSize = 0;
    orvane::ByteBuffer hash;
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &hashSize, &hash) != 1) {
        static constexpr char kStep[] = "CCryptUtil.GetHash()";
        REPORT_ERROR(m_log, 0, kCreateDataFile, kStep, kHashFailed);
        return Failed(kStep, 0);
    }

    const auto hashSizeField = LittleEndian(hashSize);
    const auto cipherSizeField = LittleEndian(cipherSize);
    const std::string_view pieces[] = {AsText(hashSizeField.data(), hashSizeField.size()), AsText(hash.get(), hashSize),
                                       AsText(cipherSizeField.data(), cipherSizeField.size()),
                                       AsText(cipher.get(), cipherSize)};
    const orvane::detail::SaveResult saved = orvane::detail::SaveWhole(path, pieces);
    if (saved)
        return {orvane::READ_DATA_OK, 0, false, {}};
    if (saved.failure == orvane::detail::SaveFailure::Open) {
        REPORT_ERROR(m_log, saved.systemError, kCreateDataFile, kOpenStep, kOpenFailed);
        return Failed(kOpenStep, saved.systemError);
    }
    const std::string reason = std::system_category().message(saved.systemError);
    if (saved.failure == orvane::detail::SaveFailure::Reserve) {
        static constexpr char kStep[] = "file.Reserve()";
        REPORT_ERROR(m_log, saved.systemError, kCreateDataFile, kStep, reason);
        return Failed(kStep, saved.systemError);
    }
    REPORT_ERROR(m_log, saved.systemError, kCreateDataFile, kCreateDataFile, reason);
    return Failed(kCreateDataFile, saved.systemError, saved.targetDamaged);
}

DataFileResult CCryptUtil::ReadDataFile(std::string path, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    if (path.empty() || !plainSize || !plainData) {
        REPORT_ERROR(m_log, 0, kReadDataFile, kReadParameterCheck, FileParameterMessage(path));
        return Failed(kReadParameterCheck, 0);
    }
    // Non-blocking so that a FIFO at the path cannot stall the open.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        const int error = errno;
        REPORT_ERROR(m_log, error, kReadDataFile, kOpenStep, kOpenFailed);
        return Failed(kOpenStep, error);
    }
    return ReadContainer(file.get(), plainSize, plainData);
}

DataFileResult CCryptUtil::ReadDataFromDescriptor(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    if (fd < 0 || !plainSize || !plainData) {
        const int error = fd < 0 ? EBADF : 0;
        REPORT_ERROR(m_log, error, kReadDataFile, kReadParameterCheck,
                     FileParameterMessage("fd " + std::to_string(fd)));
        return Failed(kReadParameterCheck, error);
    }
    return ReadContainer(fd, plainSize, plainData);
}

DataFileResult CCryptUtil::ReadContainer(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        static constexpr char kStep[] = "file.GetStatus()";
        REPORT_ERROR(m_log, error, kReadDataFile, kStep, "ファイル情報取得処理に失敗しました。");
        return Failed(kStep, error);
    }
    if (!S_ISREG(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        REPORT_ERROR(m_log, error, kReadDataFile, kOpenStep, kOpenFailed);
        return Failed(kOpenStep, error);
    }
    // Every size below is checked against the real file size, compared as
    // 64-bit values: H + 8 and N + H + 8 cannot wrap.
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (fileSize < kMinimumFileBytes) {
        static constexpr char kStep[] = "最小ファイルサイズチェック()";
        REPORT_ERROR(m_log, 0, kReadDataFile, kStep, "ファイルデータが最小データサイズ2バイト以下です。");
        return Failed(kStep, 0);
    }
    if (fileSize > kLargestFileBytes)
        return ContentBad();

    std::uint32_t hashSize = 0;
    if (const SystemResult read = ReadU32At(fd, 0, hashSize); !read) {
        REPORT_ERROR(m_log, read.systemError, kReadDataFile, kReadStep, "ファイル読込処理に失敗しました。");
        return Failed(kReadStep, read.systemError);
    }
    if (fileSize < hashSize + kMinimumFileBytes) {
        static constexpr char kStep[] = "ハッシュサイズを考慮したファイルサイズチェック()";
        REPORT_ERROR(m_log, 0, kReadDataFile, kStep,
                     "ファイルデータからハッシュデータを抜かしたサイズが最小データサイズ2バイト以下です。");
        return Failed(kStep, 0);
    }
    // A stored digest of another length can match no MD5 and is not read.
    StoredDigest storedHash{};
    if (hashSize == kDigestBytes) {
        if (const SystemResult read = ReadAt(fd, kSizeFieldBytes, storedHash.data(), storedHash.size()); !read) {
            REPORT_ERROR(m_log, read.systemError, kReadDataFile, kReadStep, "ハッシュデータ読込処理エラー");
            return Failed(kReadStep, read.systemError);
        }
    }
    std::uint32_t cipherSize = 0;
    if (const SystemResult read = ReadU32At(fd, kSizeFieldBytes + hashSize, cipherSize); !read) {
        static constexpr char kStep[] = "暗号文サイズ読込()";
        REPORT_ERROR(m_log, read.systemError, kReadDataFile, kStep, "暗号文サイズチェック処理エラー");
        return Failed(kStep, read.systemError);
    }
    if (fileSize != std::uint64_t{cipherSize} + hashSize + kMinimumFileBytes || hashSize != kDigestBytes)
        return ContentBad();

    CCryptUtil crypt;
    const auto hashFailed = [this] {
        static constexpr char kStep[] = "file.GetHash()";
        REPORT_ERROR(m_log, 0, kReadDataFile, kStep, kHashFailed);
        return Failed(kStep, 0);
    };
    // First pass: the digest of the cipher text streamed through a small
    // buffer, so that a file that does not verify costs no memory of its size.
    if (crypt.BeginHash(CALG_MD5) != 1)
        return hashFailed();
    std::array<std::uint8_t, kStreamChunkBytes> chunk;
    for (std::uint32_t done = 0; done < cipherSize;) {
        const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(cipherSize - done, chunk.size()));
        if (const SystemResult read = ReadAt(fd, kCipherOffset + done, chunk.data(), piece); !read) {
            REPORT_ERROR(m_log, read.systemError, kReadDataFile, kReadStep, kCipherReadFailed);
            return Failed(kReadStep, read.systemError);
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
        return ContentBad();

    // Second pass: the text itself. It is digested again before it is
    // decrypted, so that a program rewriting the file in place between the
    // passes cannot slip a mixed text through.
    orvane::ByteBuffer cipher = NewBuffer(cipherSize);
    const SystemResult read = cipher ? ReadAt(fd, kCipherOffset, cipher.get(), cipherSize) : SystemFailure(ENOMEM);
    if (!read) {
        REPORT_ERROR(m_log, read.systemError, kReadDataFile, kReadStep, kCipherReadFailed);
        return Failed(kReadStep, read.systemError);
    }
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &digestSize, &digest) != 1)
        return hashFailed();
    if (!IsStoredDigest(digest, digestSize, storedHash))
        return ContentBad();

    if (cipherSize == 0) {
        *plainSize = 0;
        *plainData = std::make_unique<std::uint8_t[]>(0);
        return {orvane::READ_DATA_OK, 0, false, {}};
    }
    std::uint32_t decryptedSize = 0;
    orvane::ByteBuffer decrypted;
    if (crypt.Decrypt(cipherSize, cipher.get(), &decryptedSize, &decrypted) != 1) {
        static constexpr char kStep[] = "Decrypt()";
        REPORT_ERROR(m_log, 0, kReadDataFile, kStep, "復号化取得処理に失敗しました。");
        return Failed(kStep, 0);
    }
    *plainSize = decryptedSize;
    *plainData = std::move(decrypted);
    return {orvane::READ_DATA_OK, 0, false, {}};
}
