// The ".zsr" container: H (u32 LE), H digest bytes, N (u32 LE), N ciphertext
// bytes; the digest is the MD5 of the ciphertext.

#include "orvane/CryptUtil.h"

#include "AtomicFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kCreateDataFile[] = "CCryptUtil::CreateDataFile()";
constexpr char kReadDataFile[] = "CCryptUtil::ReadDataFile()";
constexpr char kOpenFailed[] = "ファイルオープンの処理に失敗しました。";
constexpr char kHashFailed[] = "ハッシュ取得処理に失敗しました。";

constexpr std::uint64_t kSizeFieldBytes = 4;
// The smallest container: the two size fields.
constexpr std::uint64_t kMinimumFileBytes = 2 * kSizeFieldBytes;
// Stored digest bytes kept for the comparison; a longer stored digest cannot
// match any computed one and is only read past.
constexpr std::size_t kMaxKeptDigestBytes = 64;

std::string FileParameterMessage(const std::string& path)
{
    return "暗号化情報が不正です。 暗号化ファイル名【" + path + "】";
}

std::string ErrorText(int error)
{
    return std::system_category().message(error).substr(0, 1023);
}

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path)
        // Non-blocking so that a FIFO at the path cannot stall the open.
        : m_nFile(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC))
    {
    }
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return m_nFile >= 0; }
    int Descriptor() const { return m_nFile; }

    // Reads up to size bytes; returns how many were read before end of file or an error.
    std::size_t Read(void* data, std::size_t size)
    {
        auto* bytes = static_cast<char*>(data);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(m_nFile, bytes + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

    bool ReadU32(std::uint32_t& value)
    {
        std::array<std::uint8_t, 4> bytes{};
        if (Read(bytes.data(), bytes.size()) != bytes.size())
            return false;
        value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        return true;
    }

    // Reads size bytes, keeping the first ones that fit into kept.
    bool ReadKeepingPrefix(std::uint32_t size, std::array<std::uint8_t, kMaxKeptDigestBytes>& kept)
    {
        const std::size_t keptSize = std::min<std::size_t>(size, kept.size());
        if (Read(kept.data(), keptSize) != keptSize)
            return false;
        std::array<std::uint8_t, 4096> skipped;
        for (std::size_t rest = size - keptSize; rest > 0;) {
            const std::size_t piece = std::min(rest, skipped.size());
            if (Read(skipped.data(), piece) != piece)
                return false;
            rest -= piece;
        }
        return true;
    }

    void Close()
    {
        if (m_nFile >= 0)
            ::close(m_nFile);
        m_nFile = -1;
    }

private:
    int m_nFile;
};

}  // namespace

int CCryptUtil::CreateDataFile(std::string path, std::uint32_t plainSize, const std::uint8_t* plainData)
{
    if (path.empty() || !plainData) {
        REPORT_ERROR(m_log, kCreateDataFile, "暗号ファイル作成処理パラメータチェック処理", FileParameterMessage(path));
        return 0;
    }

    CCryptUtil crypt;
    std::uint32_t cipherSize = 0;
    ByteBuffer cipher;
    if (crypt.Encrypt(plainSize, plainData, &cipherSize, &cipher) != 1) {
        REPORT_ERROR(m_log, kCreateDataFile, "CCryptUtil.Encrypt()", "暗号化処理に失敗しました。");
        return 0;
    }
    std::uint32_t hashSize = 0;
    ByteBuffer hash;
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &hashSize, &hash) != 1) {
        REPORT_ERROR(m_log, kCreateDataFile, "CCryptUtil.GetHash()", kHashFailed);
        return 0;
    }

    CAtomicFile file(std::move(path));
    if (!file.Open()) {
        REPORT_ERROR(m_log, kCreateDataFile, "file.Open()", kOpenFailed);
        return 0;
    }
    const auto hashSizeField = LittleEndian(hashSize);
    const auto cipherSizeField = LittleEndian(cipherSize);
    if (!file.Write(hashSizeField.data(), hashSizeField.size()) || !file.Write(hash.get(), hashSize) ||
        !file.Write(cipherSizeField.data(), cipherSizeField.size()) || !file.Write(cipher.get(), cipherSize) ||
        !file.Commit()) {
        REPORT_ERROR(m_log, kCreateDataFile, kCreateDataFile, ErrorText(errno));
        return 0;
    }
    return 1;
}

int CCryptUtil::ReadDataFile(std::string path, std::uint32_t* plainSize, ByteBuffer* plainData)
{
    if (path.empty() || !plainSize || !plainData) {
        REPORT_ERROR(m_log, kReadDataFile, "暗号ファイル読込処理パラメータチェック処理", FileParameterMessage(path));
        return READ_DATA_FAILED;
    }

    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Open()", kOpenFailed);
        return READ_DATA_FAILED;
    }
    struct stat status {};
    if (::fstat(file.Descriptor(), &status) != 0) {
        REPORT_ERROR(m_log, kReadDataFile, "file.GetStatus()", "ファイル情報取得処理に失敗しました。");
        return READ_DATA_FAILED;
    }
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        REPORT_ERROR(m_log, kReadDataFile, "file.Open()", kOpenFailed);
        return READ_DATA_FAILED;
    }
    // All sizes below are compared as 64-bit values: H + 8 and N + H + 8 cannot wrap.
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (fileSize < kMinimumFileBytes) {
        REPORT_ERROR(m_log, kReadDataFile, "最小ファイルサイズチェック()",
                     "ファイルデータが最小データサイズ2バイト以下です。");
        return READ_DATA_FAILED;
    }
    std::uint32_t hashSize = 0;
    if (!file.ReadU32(hashSize)) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", "ファイル読込処理に失敗しました。");
        return READ_DATA_FAILED;
    }
    if (fileSize < hashSize + kMinimumFileBytes) {
        REPORT_ERROR(m_log, kReadDataFile, "ハッシュサイズを考慮したファイルサイズチェック()",
                     "ファイルデータからハッシュデータを抜かしたサイズが最小データサイズ2バイト以下です。");
        return READ_DATA_FAILED;
    }
    std::array<std::uint8_t, kMaxKeptDigestBytes> storedHash{};
    if (!file.ReadKeepingPrefix(hashSize, storedHash)) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", "ハッシュデータ読込処理エラー");
        return READ_DATA_FAILED;
    }
    std::uint32_t cipherSize = 0;
    if (!file.ReadU32(cipherSize)) {
        REPORT_ERROR(m_log, kReadDataFile, "暗号文サイズ読込()", "暗号文サイズチェック処理エラー");
        return READ_DATA_FAILED;
    }
    if (fileSize != std::uint64_t{cipherSize} + hashSize + kMinimumFileBytes)
        return READ_DATA_CONTENT_BAD;
    // The size now matches the file, so the buffer is no larger than the file.
    ByteBuffer cipher = NewBuffer(cipherSize);
    if (!cipher || file.Read(cipher.get(), cipherSize) != cipherSize) {
        REPORT_ERROR(m_log, kReadDataFile, "file.Read()", "暗号文サイズ読込み");
        return READ_DATA_FAILED;
    }
    file.Close();

    CCryptUtil crypt;
    std::uint32_t digestSize = 0;
    ByteBuffer digest;
    if (crypt.GetHash(CALG_MD5, cipherSize, cipher.get(), &digestSize, &digest) != 1) {
        REPORT_ERROR(m_log, kReadDataFile, "file.GetHash()", kHashFailed);
        return READ_DATA_FAILED;
    }
    if (digestSize != hashSize || !std::equal(digest.get(), digest.get() + digestSize, storedHash.begin()))
        return READ_DATA_CONTENT_BAD;

    if (cipherSize == 0) {
        *plainSize = 0;
        *plainData = std::make_unique<std::uint8_t[]>(0);
        return READ_DATA_OK;
    }
    std::uint32_t decryptedSize = 0;
    ByteBuffer decrypted;
    if (crypt.Decrypt(cipherSize, cipher.get(), &decryptedSize, &decrypted) != 1) {
        REPORT_ERROR(m_log, kReadDataFile, "Decrypt()", "復号化取得処理に失敗しました。");
        return READ_DATA_FAILED;
    }
    *plainSize = decryptedSize;
    *plainData = std::move(decrypted);
    return READ_DATA_OK;
}
