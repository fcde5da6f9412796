// ".zsr" data files: exact layout, every refusal of the reader with its
// result and record, the size limit, the system's reason of a failure, and
// the atomic save.

#include "CryptUtil.h"
#include "orvane/SystemErrorReason.h"

#include "AtomicFile.h"
#include "orvane/TextFile.h"
#include "ErrorLogReader.h"
#include "PosixFile.h"
#include "ScopedEnvironment.h"
#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// "abc" as the program stores it, assembled by hand:
//   printf abc | openssl enc -rc4 -K 7992f1aef5513607d600a78085c5d10c -nosalt -provider legacy
//     -provider default | xxd -p                          -> 2258bf
//   printf '\x22\x58\xbf' | md5sum                        -> 14efc85a58c18058e2c715e34f0a4496
const Bytes kAbcFile = {0x10, 0x00, 0x00, 0x00,                                     // H = 16
                        0x14, 0xef, 0xc8, 0x5a, 0x58, 0xc1, 0x80, 0x58,             // MD5 of the
                        0xe2, 0xc7, 0x15, 0xe3, 0x4f, 0x0a, 0x44, 0x96,             // ciphertext
                        0x03, 0x00, 0x00, 0x00,                                     // N = 3
                        0x22, 0x58, 0xbf};                                          // ciphertext
// An empty selection: H = 16, MD5 of no bytes, N = 0.
const Bytes kEmptyFile = {0x10, 0x00, 0x00, 0x00, 0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                          0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e, 0x00, 0x00, 0x00, 0x00};

constexpr char kReadOperation[] = "CCryptUtil::ReadDataFile()";
constexpr char kCreateOperation[] = "CCryptUtil::CreateDataFile()";

std::string LogFolder() { return g_ErrorLog.Folder(); }

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes LittleEndian(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::string> EntriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A container of size zero cipher bytes with their true digest. The text is
// a hole in the file, and the zeros hashed are untouched calloc pages, so
// neither costs memory or disk of its size.
void WriteZeroTextContainer(const fs::path& path, std::uint32_t size)
{
    const std::unique_ptr<void, decltype(&std::free)> zeros(std::calloc(size, 1), &std::free);
    ASSERT_NE(zeros, nullptr);
    std::uint32_t digestSize = 0;
    orvane::ByteBuffer digest;
    ASSERT_EQ(CCryptUtil().GetHash(CALG_MD5, size, static_cast<const std::uint8_t*>(zeros.get()), &digestSize,
                                   &digest),
              1);
    Bytes header = LittleEndian(digestSize);
    header.insert(header.end(), digest.get(), digest.get() + digestSize);
    const Bytes sizeField = LittleEndian(size);
    header.insert(header.end(), sizeField.begin(), sizeField.end());
    WriteBytes(path, header);
    fs::resize_file(path, header.size() + size);
}

long PeakResidentKilobytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

mode_t PermissionsOf(const fs::path& path)
{
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Runs work on a thread whose effective capabilities lack the permission
// overrides, so that permission bits apply even when the tests run as root.
template <class Work>
void RunWithoutPermissionOverrides(Work work)
{
    std::thread([&work] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct capabilities[2]{};
        ASSERT_EQ(::syscall(SYS_capget, &header, capabilities), 0);
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            capabilities[capability / 32].effective &= ~(1u << (capability % 32));
        ASSERT_EQ(::syscall(SYS_capset, &header, capabilities), 0);
        work();
    }).join();
}

// Runs work(limit) with the process's file-size limit at limit bytes, above
// the largest log file so that records can still be appended; a write past it
// fails with EFBIG instead of raising SIGXFSZ.
template <typename Work>
void WithFileSizeLimit(Work work)
{
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    std::uintmax_t logSize = 0;
    for (const auto& entry : fs::directory_iterator(LogFolder()))
        if (entry.is_regular_file())
            logSize = std::max(logSize, entry.file_size());
    const rlimit limited{logSize + 65536, previous.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &limited) == 0) {
        work(limited.rlim_cur);
        ::setrlimit(RLIMIT_FSIZE, &previous);
    } else {
        ADD_FAILURE() << "setrlimit: " << std::strerror(errno);
    }
    std::signal(SIGXFSZ, previousHandler);
}

struct ReadOutcome {
    int result;
    std::uint32_t size;
    Bytes plain;
    int systemError;  // the result's
};

class DataFileTest : public ::testing::Test {
protected:
    fs::path PathOf(const std::string& name) const { return m_folder.path() / name; }

    orvane::DataFileResult Create(const fs::path& path, const Bytes& plain)
    {
        const std::uint8_t nothing = 0;
        return CCryptUtil().CreateDataFile(path.string(), static_cast<std::uint32_t>(plain.size()),
                                           plain.empty() ? &nothing : plain.data());
    }

    // Out parameters start out as markers so that an untouched one shows.
    ReadOutcome Read(const fs::path& path)
    {
        std::uint32_t size = 0xDEAD;
        orvane::ByteBuffer plain;
        const orvane::DataFileResult result = CCryptUtil().ReadDataFile(path.string(), &size, &plain);
        if (!plain)
            return {result.status, size, {}, result.systemError};
        return {result.status, size, Bytes(plain.get(), plain.get() + size), result.systemError};
    }

    ReadOutcome ReadBytesAsFile(const Bytes& bytes)
    {
        const fs::path path = PathOf("probe.zsr");
        WriteBytes(path, bytes);
        return Read(path);
    }

    ScopedTempFolder m_folder;
    ErrorLogTail m_log{LogFolder()};
};

// ---------------------------------------------------------------- layout

using DataFileLayoutTest = DataFileTest;

TEST_F(DataFileLayoutTest, WritesTheExactContainer)
{
    ASSERT_TRUE(Create(PathOf("abc.zsr"), {'a', 'b', 'c'}));
    EXPECT_EQ(ReadBytes(PathOf("abc.zsr")), kAbcFile);
    ASSERT_TRUE(Create(PathOf("empty.zsr"), {}));
    EXPECT_EQ(ReadBytes(PathOf("empty.zsr")), kEmptyFile);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(DataFileLayoutTest, ReadsFilesOfTheKnownLayout)
{
    const ReadOutcome abc = ReadBytesAsFile(kAbcFile);
    EXPECT_EQ(abc.result, orvane::READ_DATA_OK);
    EXPECT_EQ(abc.size, 3u);
    EXPECT_EQ(abc.plain, (Bytes{'a', 'b', 'c'}));

    std::uint32_t size = 0xDEAD;
    orvane::ByteBuffer plain;
    WriteBytes(PathOf("empty.zsr"), kEmptyFile);
    EXPECT_EQ(CCryptUtil().ReadDataFile(PathOf("empty.zsr").string(), &size, &plain).status, orvane::READ_DATA_OK);
    EXPECT_EQ(size, 0u);
    EXPECT_NE(plain, nullptr);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(DataFileLayoutTest, RoundTripsEveryByteValue)
{
    Bytes plain(300000);
    for (std::size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 9));
    ASSERT_TRUE(Create(PathOf("all.zsr"), plain));
    EXPECT_EQ(fs::file_size(PathOf("all.zsr")), plain.size() + 24);
    const ReadOutcome outcome = Read(PathOf("all.zsr"));
    EXPECT_EQ(outcome.result, orvane::READ_DATA_OK);
    EXPECT_EQ(outcome.plain, plain);
}

TEST_F(DataFileLayoutTest, ReadsFromADescriptorWhateverItsOffset)
{
    const orvane::detail::FileDescriptor memory(::memfd_create("abc.zsr", MFD_CLOEXEC));
    ASSERT_TRUE(memory);
    // The write leaves the offset at the end.
    ASSERT_TRUE(orvane::detail::WriteAll(memory.get(), kAbcFile.data(), kAbcFile.size()));
    std::uint32_t size = 0;
    orvane::ByteBuffer plain;
    ASSERT_EQ(CCryptUtil().ReadDataFromDescriptor(memory.get(), &size, &plain).status, orvane::READ_DATA_OK);
    EXPECT_EQ(Bytes(plain.get(), plain.get() + size), (Bytes{'a', 'b', 'c'}));
}

TEST_F(DataFileLayoutTest, SavingOverALongerFileLeavesExactlyTheNewContainer)
{
    const fs::path path = PathOf("long.zsr");
    ASSERT_TRUE(Create(path, Bytes(5000, 'x')));
    ASSERT_TRUE(Create(path, {'a', 'b', 'c'}));
    EXPECT_EQ(ReadBytes(path), kAbcFile);
    EXPECT_EQ(EntriesOf(m_folder.path()), std::vector<std::string>{"long.zsr"});
}

// ---------------------------------------------------------------- refusals

using DataFileReadTest = DataFileTest;

TEST_F(DataFileReadTest, ContentMismatchesGiveFourWithoutRecord)
{
    Bytes headerOnly = LittleEndian(0);
    const Bytes zeroCipherSize = LittleEndian(0);
    headerOnly.insert(headerOnly.end(), zeroCipherSize.begin(), zeroCipherSize.end());

    Bytes trailingByte = kAbcFile;
    trailingByte.push_back(0);
    Bytes truncatedBody = kAbcFile;
    truncatedBody.pop_back();
    Bytes flippedCipher = kAbcFile;
    flippedCipher[25] ^= 0x01;
    Bytes flippedDigest = kAbcFile;
    flippedDigest[10] ^= 0x80;
    Bytes hugeCipherSize = kEmptyFile;  // N far beyond the file
    std::copy_n(LittleEndian(0xFFFFFFF0u).begin(), 4, hugeCipherSize.begin() + 20);
    Bytes shortDigest = kAbcFile;  // H = 15: sizes add up, but no 15-byte digest matches
    shortDigest[0] = 15;
    shortDigest.erase(shortDigest.begin() + 4);

    const std::pair<const char*, Bytes> cases[] = {
        {"8 bytes, H = 0, N = 0", headerOnly},   {"trailing byte", trailingByte},
        {"truncated body", truncatedBody},       {"flipped ciphertext bit", flippedCipher},
        {"flipped digest bit", flippedDigest},   {"huge N", hugeCipherSize},
        {"15-byte digest", shortDigest},
    };
    for (const auto& [name, bytes] : cases) {
        const ReadOutcome outcome = ReadBytesAsFile(bytes);
        EXPECT_EQ(outcome.result, orvane::READ_DATA_CONTENT_BAD) << name;
        EXPECT_EQ(outcome.size, 0xDEADu) << name;
        EXPECT_TRUE(outcome.plain.empty()) << name;
    }
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(DataFileReadTest, StructuralFailuresGiveOneWithTheirRecord)
{
    Bytes hugeDigestSize = LittleEndian(0xFFFFFFFCu);  // H + 8 wraps to 4 in 32 bits
    hugeDigestSize.resize(8, 0);
    const Bytes cutInDigest(kAbcFile.begin(), kAbcFile.begin() + 20);

    const struct {
        const char* name;
        Bytes bytes;
        const char* step;
        const char* message;
    } cases[] = {
        {"7 bytes", Bytes(7, 0), "最小ファイルサイズチェック()", "ファイルデータが最小データサイズ2バイト以下です。"},
        {"huge H", hugeDigestSize, "ハッシュサイズを考慮したファイルサイズチェック()",
         "ファイルデータからハッシュデータを抜かしたサイズが最小データサイズ2バイト以下です。"},
        {"cut inside the digest", cutInDigest, "ハッシュサイズを考慮したファイルサイズチェック()",
         "ファイルデータからハッシュデータを抜かしたサイズが最小データサイズ2バイト以下です。"},
    };
    for (const auto& refusal : cases) {
        ErrorLogTail log(LogFolder());
        const ReadOutcome outcome = ReadBytesAsFile(refusal.bytes);
        EXPECT_EQ(outcome.result, orvane::READ_DATA_FAILED) << refusal.name;
        EXPECT_EQ(outcome.size, 0xDEADu) << refusal.name;
        const std::vector<LogRecord> lines = log.NewLines();
        ASSERT_EQ(lines.size(), 1u) << refusal.name;
        EXPECT_EQ(lines[0].operation, kReadOperation);
        EXPECT_EQ(lines[0].step, refusal.step);
        EXPECT_EQ(lines[0].message, refusal.message);
        EXPECT_EQ(lines[0].sourceFile, "core/selection/src/CryptUtil.cpp");  // the module, whichever of its files reports
    }
}

TEST_F(DataFileReadTest, UnopenableFilesAreRecorded)
{
    for (const fs::path& path : {PathOf("missing.zsr"), m_folder.path()}) {
        ErrorLogTail log(LogFolder());
        EXPECT_EQ(Read(path).result, orvane::READ_DATA_FAILED) << path;
        const std::vector<LogRecord> lines = log.NewLines();
        ASSERT_EQ(lines.size(), 1u) << path;
        EXPECT_EQ(lines[0].step, "file.Open()");
        EXPECT_EQ(lines[0].message, "ファイルオープンの処理に失敗しました。");
    }
}

TEST_F(DataFileReadTest, FailuresCarryTheSystemReasonAndTheStep)
{
    WriteBytes(PathOf("plain-file"), {'x'});
    WriteBytes(PathOf("seven.zsr"), Bytes(7, 0));
    const std::pair<fs::path, int> reads[] = {
        {PathOf("missing.zsr"), ENOENT},
        {PathOf("plain-file") / "x.zsr", ENOTDIR},
        {m_folder.path(), EISDIR},
        {PathOf("seven.zsr"), 0},  // a size check has no system cause
    };
    for (const auto& [path, error] : reads) {
        const ReadOutcome outcome = Read(path);
        EXPECT_EQ(outcome.result, orvane::READ_DATA_FAILED) << path;
        EXPECT_EQ(outcome.systemError, error) << path;
    }
    const orvane::DataFileResult created = Create(PathOf("missing") / "x.zsr", {'x'});
    EXPECT_EQ(created.status, orvane::READ_DATA_FAILED);
    EXPECT_EQ(created.systemError, ENOENT);
    EXPECT_EQ(created.failedStep, "file.Open()");
}

TEST(SystemErrorReasonTest, CommonCausesInWordsOthersWithTheirNumber)
{
    EXPECT_EQ(orvane::SystemErrorReason(ENOENT), "文件或文件夹不存在。");
    EXPECT_EQ(orvane::SystemErrorReason(ENOTDIR), orvane::SystemErrorReason(ENOENT));
    EXPECT_EQ(orvane::SystemErrorReason(EDQUOT), orvane::SystemErrorReason(ENOSPC));
    EXPECT_EQ(orvane::SystemErrorReason(0), "");
    EXPECT_EQ(orvane::SystemErrorReason(EPROTO),
              "系统错误 " + std::to_string(EPROTO) + "：" + std::strerror(EPROTO));
}

TEST_F(DataFileReadTest, BadParametersAreRecordedWithThePath)
{
    std::uint32_t size = 0;
    orvane::ByteBuffer plain;
    const std::uint8_t data[] = {'x'};
    EXPECT_EQ(CCryptUtil().ReadDataFile("", &size, &plain).status, orvane::READ_DATA_FAILED);
    EXPECT_EQ(CCryptUtil().ReadDataFile("/some/file.zsr", &size, nullptr).status, orvane::READ_DATA_FAILED);
    EXPECT_FALSE(CCryptUtil().CreateDataFile("", 1, data));
    EXPECT_FALSE(CCryptUtil().CreateDataFile(PathOf("x.zsr").string(), 1, nullptr));
    EXPECT_FALSE(fs::exists(PathOf("x.zsr")));

    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].operation, kReadOperation);
    EXPECT_EQ(lines[0].step, "暗号ファイル読込処理パラメータチェック処理");
    EXPECT_EQ(lines[0].message, "暗号化情報が不正です。 暗号化ファイル名【】");
    EXPECT_EQ(lines[1].message, "暗号化情報が不正です。 暗号化ファイル名【/some/file.zsr】");
    EXPECT_EQ(lines[2].operation, kCreateOperation);
    EXPECT_EQ(lines[2].step, "暗号ファイル作成処理パラメータチェック処理");
    EXPECT_EQ(lines[2].message, "暗号化情報が不正です。 暗号化ファイル名【】");
    EXPECT_EQ(lines[3].message, "暗号化情報が不正です。 暗号化ファイル名【" + PathOf("x.zsr").string() + "】");
}

TEST_F(DataFileReadTest, ReadsAFileItMayNotWrite)
{
    const fs::path path = PathOf("readonly.zsr");
    WriteBytes(path, kAbcFile);
    ::chmod(path.c_str(), 0444);
    RunWithoutPermissionOverrides([&] { EXPECT_EQ(Read(path).plain, (Bytes{'a', 'b', 'c'})); });
}

TEST_F(DataFileReadTest, MissingCipherModuleIsRecordedAfterTheSessionRecords)
{
    const fs::path path = PathOf("abc.zsr");
    WriteBytes(path, kAbcFile);
    ScopedTempFolder emptyModules;
    ScopedEnvironment modules("OPENSSL_MODULES", emptyModules.path().string());

    EXPECT_EQ(Read(path).result, orvane::READ_DATA_FAILED);
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].step, "CryptAcquireContext()");
    EXPECT_EQ(lines[1].operation, "CCryptUtil::Decrypt()");
    EXPECT_EQ(lines[2].operation, kReadOperation);
    EXPECT_EQ(lines[2].step, "Decrypt()");
    EXPECT_EQ(lines[2].message, "復号化取得処理に失敗しました。");
}

// ---------------------------------------------------------------- size limit

using DataFileLimitTest = DataFileTest;

TEST_F(DataFileLimitTest, HugeSizeInASparseFileIsRefusedUnread)
{
    // 4 GiB of cipher text by its header and by its size, a few bytes on disk.
    const fs::path path = PathOf("hostile.zsr");
    Bytes header = LittleEndian(16);
    header.resize(20, 0);
    const Bytes cipherSize = LittleEndian(0xFFFFFFFFu);
    header.insert(header.end(), cipherSize.begin(), cipherSize.end());
    WriteBytes(path, header);
    fs::resize_file(path, header.size() + 0xFFFFFFFFull);

    const long peakBefore = PeakResidentKilobytes();
    EXPECT_EQ(Read(path).result, orvane::READ_DATA_CONTENT_BAD);
    EXPECT_LT(PeakResidentKilobytes() - peakBefore, 256L * 1024) << "kilobytes";
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(DataFileLimitTest, ReadOpensATextAtTheLimitAndRefusesOneByteMore)
{
    WriteZeroTextContainer(PathOf("at-limit.zsr"), orvane::kMaxDataFileTextBytes);
    WriteZeroTextContainer(PathOf("over-limit.zsr"), orvane::kMaxDataFileTextBytes + 1);

    const ReadOutcome atLimit = Read(PathOf("at-limit.zsr"));
    EXPECT_EQ(atLimit.result, orvane::READ_DATA_OK);
    EXPECT_EQ(atLimit.size, orvane::kMaxDataFileTextBytes);
    EXPECT_EQ(Read(PathOf("over-limit.zsr")).result, orvane::READ_DATA_CONTENT_BAD);
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(DataFileLimitTest, CreateRefusesATextOverTheLimit)
{
    const std::uint32_t size = orvane::kMaxDataFileTextBytes + 1;
    const std::unique_ptr<void, decltype(&std::free)> text(std::calloc(size, 1), &std::free);
    ASSERT_NE(text, nullptr);
    const orvane::DataFileResult created =
        CCryptUtil().CreateDataFile(PathOf("big.zsr").string(), size, static_cast<const std::uint8_t*>(text.get()));
    EXPECT_FALSE(created);
    EXPECT_EQ(created.systemError, EFBIG);
    EXPECT_FALSE(fs::exists(PathOf("big.zsr")));
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].systemError, EFBIG);
}

// ---------------------------------------------------------------- atomic save

class DataFileSaveTest : public DataFileTest {
protected:
    void SetUp() override
    {
        m_target = PathOf("selection.zsr");
        ASSERT_TRUE(Create(m_target, {'a', 'b', 'c'}));
    }

    void ExpectOldFileAloneInFolder()
    {
        EXPECT_EQ(ReadBytes(m_target), kAbcFile);
        EXPECT_EQ(EntriesOf(m_folder.path()), std::vector<std::string>{"selection.zsr"});
    }

    fs::path m_target;
};

TEST_F(DataFileSaveTest, ReadOnlyFolderKeepsTheOldFile)
{
    // Neither the folder nor the file itself may be written.
    ::chmod(m_target.c_str(), 0444);
    ::chmod(m_folder.path().c_str(), 0555);
    RunWithoutPermissionOverrides([&] { EXPECT_FALSE(Create(m_target, Bytes(100, 'n'))); });
    ::chmod(m_folder.path().c_str(), 0755);

    ExpectOldFileAloneInFolder();
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, kCreateOperation);
    EXPECT_EQ(lines[0].step, "file.Open()");
    EXPECT_EQ(lines[0].message, "ファイルオープンの処理に失敗しました。");
    EXPECT_EQ(lines[0].systemError, EACCES);
}

TEST_F(DataFileSaveTest, ReadOnlyFolderRewritesAWritableFileInPlace)
{
    ::chmod(m_folder.path().c_str(), 0555);
    RunWithoutPermissionOverrides([&] { EXPECT_TRUE(Create(m_target, {})); });
    ::chmod(m_folder.path().c_str(), 0755);

    EXPECT_EQ(ReadBytes(m_target), kEmptyFile);  // shorter than the old content: cut to its length
    EXPECT_EQ(EntriesOf(m_folder.path()), std::vector<std::string>{"selection.zsr"});
    EXPECT_TRUE(m_log.NewLines().empty());  // a success is no failure to record
}

TEST_F(DataFileSaveTest, SaveInPlaceThatCannotGetItsSpaceKeepsTheOldFile)
{
    // Rewritten in place (read-only folder), with a file-size limit below the
    // new content: the space must be refused before the old bytes are touched.
    ::chmod(m_folder.path().c_str(), 0555);
    orvane::DataFileResult result;
    WithFileSizeLimit([&](std::uintmax_t limit) {
        const Bytes text(limit + 4096, 'n');
        RunWithoutPermissionOverrides(
            [&] { result = CCryptUtil().CreateDataFile(m_target.string(), std::uint32_t(text.size()), text.data()); });
    });
    ::chmod(m_folder.path().c_str(), 0755);

    EXPECT_EQ(result.status, orvane::READ_DATA_FAILED);
    EXPECT_EQ(result.systemError, EFBIG);
    EXPECT_FALSE(result.targetDamaged);
    ExpectOldFileAloneInFolder();
}

TEST_F(DataFileSaveTest, ExportedFilesTakeTheSameRoadAsSelectionFiles)
{
    // The bill of materials over an existing file, in place, on a "full disk".
    ::chmod(m_folder.path().c_str(), 0555);
    orvane::FileWriteResult written;
    WithFileSizeLimit([&](std::uintmax_t limit) {
        RunWithoutPermissionOverrides(
            [&] { written = orvane::WriteWholeFile(m_target.string(), std::string(limit + 4096, 'n')); });
    });
    ::chmod(m_folder.path().c_str(), 0755);

    EXPECT_FALSE(written.written);
    EXPECT_FALSE(written.targetDamaged);
    ExpectOldFileAloneInFolder();
}

TEST_F(DataFileSaveTest, FileThatCouldNotBeOverwrittenIsKept)
{
    ::chmod(m_target.c_str(), 0444);
    RunWithoutPermissionOverrides([&] { EXPECT_FALSE(Create(m_target, Bytes(100, 'n'))); });

    ExpectOldFileAloneInFolder();
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].step, "file.Open()");
}

TEST_F(DataFileSaveTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    // A file-size limit makes the write fail part-way.
    orvane::DataFileResult result;
    WithFileSizeLimit([&](std::uintmax_t limit) { result = Create(m_target, Bytes(limit + 4096, 'n')); });

    EXPECT_FALSE(result);
    ExpectOldFileAloneInFolder();
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].operation, kCreateOperation);
    EXPECT_EQ(lines[0].step, kCreateOperation);
    EXPECT_EQ(lines[0].message, "File too large");
}

TEST_F(DataFileSaveTest, MissingCipherModuleKeepsTheOldFile)
{
    ScopedTempFolder emptyModules;
    ScopedEnvironment modules("OPENSSL_MODULES", emptyModules.path().string());
    EXPECT_FALSE(Create(m_target, Bytes(10, 'n')));

    ExpectOldFileAloneInFolder();
    const std::vector<LogRecord> lines = m_log.NewLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].operation, "CCryptUtil::InitCrypt()");
    EXPECT_EQ(lines[1].operation, "CCryptUtil::Encrypt()");
    EXPECT_EQ(lines[2].operation, kCreateOperation);
    EXPECT_EQ(lines[2].step, "CCryptUtil.Encrypt()");
    EXPECT_EQ(lines[2].message, "暗号化処理に失敗しました。");
}

TEST_F(DataFileSaveTest, KeepsPermissionBitsOfAnExistingFile)
{
    ::chmod(m_target.c_str(), 0640);
    ASSERT_TRUE(Create(m_target, Bytes(10, 'n')));
    EXPECT_EQ(PermissionsOf(m_target), 0640u);
    EXPECT_EQ(fs::file_size(m_target), 34u);
}

TEST_F(DataFileSaveTest, KeepsOwnerAndGroupOfAnExistingFile)
{
    if (::chown(m_target.c_str(), 65534, 65534) != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    ASSERT_TRUE(Create(m_target, {'x'}));
    struct stat status {};
    ASSERT_EQ(::stat(m_target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
}

TEST_F(DataFileSaveTest, SaveKilledWhileWritingLeavesNothingBeyondTheNextSave)
{
    for (const auto naming : {orvane::detail::AtomicFile::TemporaryName::AtCommit, orvane::detail::AtomicFile::TemporaryName::FromStart}) {
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Says once a megabyte is written, then waits to be killed.
            orvane::detail::AtomicFile file(m_target.string(), naming);
            const std::vector<char> text(1 << 20, 'k');
            const char wrote = 'w';
            if (file.Open() && file.Write(text.data(), text.size()) && ::write(started[1], &wrote, 1) == 1)
                ::pause();
            ::_exit(1);
        }
        ::close(started[1]);
        char wrote = 0;
        const bool killedWhileWriting = ::read(started[0], &wrote, 1) == 1;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(started[0]);
        ASSERT_TRUE(killedWhileWriting);

        ASSERT_TRUE(Create(m_target, {'a', 'b', 'c'}));
        ExpectOldFileAloneInFolder();
    }
}

TEST_F(DataFileSaveTest, CleanUpLeavesTheTemporaryFileOfASaveUnderWay)
{
    orvane::detail::AtomicFile underWay(m_target.string(), orvane::detail::AtomicFile::TemporaryName::FromStart);
    ASSERT_TRUE(underWay.Open());
    ASSERT_TRUE(Create(m_target, Bytes(10, 'n')));
    ASSERT_TRUE(underWay.Write(kAbcFile.data(), kAbcFile.size()));
    EXPECT_TRUE(underWay.Commit());
    ExpectOldFileAloneInFolder();
}

TEST_F(DataFileSaveTest, NewFilesFollowTheUmask)
{
    for (const mode_t mask : {mode_t{022}, mode_t{027}, mode_t{0}}) {
        const mode_t previous = ::umask(mask);
        const fs::path path = PathOf("new-" + std::to_string(mask) + ".zsr");
        const orvane::DataFileResult result = Create(path, {'z'});
        ::umask(previous);
        ASSERT_TRUE(result);
        EXPECT_EQ(PermissionsOf(path), 0666u & ~mask) << std::oct << mask;
    }
}

TEST_F(DataFileSaveTest, SavingThroughASymlinkReplacesTheFileItNames)
{
    const fs::path link = PathOf("link.zsr");
    fs::create_symlink("selection.zsr", link);
    ASSERT_TRUE(Create(link, {}));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(m_target), kEmptyFile);
    EXPECT_EQ(EntriesOf(m_folder.path()), (std::vector<std::string>{"link.zsr", "selection.zsr"}));
}

TEST_F(DataFileSaveTest, AnotherUsersLinkInASharedStickyFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to plant another user's link";
    // A folder like /tmp, where a link another user planted must not lead a
    // save to the file it names, whatever the machine's protected_symlinks says.
    const fs::path shared = PathOf("shared");
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    const fs::path planted = shared / "result.zsr";
    fs::create_symlink(m_target, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 61003, 61003), 0);

    EXPECT_EQ(Create(planted, {}).systemError, EACCES);
    EXPECT_EQ(ReadBytes(m_target), kAbcFile);
    // The user's own link there is followed as before.
    ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);
    EXPECT_TRUE(Create(planted, {}));
    EXPECT_EQ(ReadBytes(m_target), kEmptyFile);
}

}  // namespace
