#include "orvane/ErrorLog.h"

#include "orvane/HexDigits.h"
#include "orvane/PathText.h"

#include "PosixFile.h"
#include "Wtf8Sequence.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CErrorLog g_ErrorLog;

using orvane::detail::FileDescriptor;

namespace {

// The capture that takes this thread's records, if any.
thread_local orvane::ErrorLogCapture* t_activeCapture = nullptr;

std::atomic<std::uint64_t> g_recordsWritten{0};

// A folder of this user's own: created for the user alone when missing, and
// taken when it is a real folder (no link) that the user owns and nobody else
// may write to.
bool IsOwnPrivateFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string CacheFolder()
{
    return orvane::XdgProgramFolder("XDG_CACHE_HOME", ".cache", "/");
}

// Appends a field so that it stays on its line and readable: control
// characters (C0 and DEL) become "\n", "\r", "\t" or "\xHH", a byte that
// starts no UTF-8 character "\xHH", and a backslash "\\", so the original
// bytes can always be recovered. UTF-8 text passes as it is.
void AppendEscaped(std::string& line, std::string_view field)
{
    const auto appendHex = [&](unsigned char byte) {
        line += "\\x";
        line += orvane::kHexDigits[byte >> 4];
        line += orvane::kHexDigits[byte & 0xF];
    };
    for (std::size_t pos = 0; pos < field.size();) {
        const char c = field[pos];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = orvane::detail::ReadWtf8Sequence(field, pos).length;
            if (length == 0)
                appendHex(byte);
            else
                line.append(field.substr(pos, length));
            pos += length == 0 ? 1 : length;
            continue;
        }
        if (c == '\\')
            line += "\\\\";
        else if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            appendHex(byte);
        else
            line += c;
        ++pos;
    }
}

// Opens the day's log for appending, or gives an empty descriptor. The log
// lives in a folder every user may write to, so what is found at its name is
// trusted only when it is a regular file with no other name: a symbolic link
// is not followed, and a hard link, FIFO or device is refused (a FIFO without
// a reader would otherwise hold the open, one with a reader take the record).
// A new log is readable by its owner only.
FileDescriptor OpenLogFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(),
                               O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK,
                               0600));
    struct stat status {};
    if (file && (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink != 1))
        file.reset();
    return file;
}

}  // namespace

std::string orvane::ExceptionText(const std::exception& error)
{
    const std::string_view text = error.what();
    if (text.size() <= kMaxExceptionTextBytes)
        return std::string(text);
    // Cut before a UTF-8 continuation byte, so that no character is split.
    std::size_t cut = kMaxExceptionTextBytes;
    const std::size_t longestBackUp = cut - 3;  // a UTF-8 sequence has at most 3 continuation bytes
    while (cut > longestBackUp && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(text.substr(0, cut));
}

std::string orvane::UserTemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && *tmp)
        return WithTrailingSlash(tmp);
    const std::string shared = "/tmp/orvane-" + std::to_string(::geteuid());
    if (IsOwnPrivateFolder(shared))
        return shared + "/";
    // The name is taken (by another user, a link, a file): the user's cache
    // folder, made for the user alone.
    const std::string cache = CacheFolder();
    CErrorLog::CreateFolderPath(cache);
    struct stat status {};
    if (::lstat(cache.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid())
        ::chmod(cache.c_str(), 0700);
    return cache;
}

CErrorLog::CErrorLog() : m_strFolder(orvane::UserTemporaryFolder()) {}

CErrorLog::CErrorLog(std::string folder) : m_strFolder(orvane::WithTrailingSlash(std::move(folder))) {}

CErrorLog::~CErrorLog() = default;

int CErrorLog::WriteLog(std::string operation, std::string step, std::uint32_t errorCode,
                        std::int32_t systemError, std::string sourceFile, int sourceLine,
                        std::string message)
{
    return WriteLog(ErrorRecord{std::move(operation), std::move(step), errorCode, systemError,
                                std::move(sourceFile), sourceLine, std::move(message)});
}

int CErrorLog::WriteLog(const ErrorRecord& record)
{
    return WriteLog(record, std::time(nullptr));
}

int CErrorLog::WriteLog(const ErrorRecord& record, std::time_t now)
{
    if (t_activeCapture) {
        t_activeCapture->m_records.push_back({m_strFolder, record, now});
        return 0;
    }

    std::tm local{};
    localtime_r(&now, &local);
    char day[8];
    char timestamp[32];
    std::strftime(day, sizeof day, "%d", &local);
    std::strftime(timestamp, sizeof timestamp, "%Y/%m/%d-%H:%M:%S", &local);

    const std::string path = m_strFolder + "_ERROR" + day + ".log";
    CreateFolderPath(m_strFolder);

    // Exclusive access: a record never waits. While another writer (a second
    // copy of the program, the zsr tool) holds the log, this one is dropped.
    const FileDescriptor file = OpenLogFile(path);
    if (!file || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return -1;

    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ",%08lx,%d,", static_cast<unsigned long>(record.errorCode),
                  static_cast<int>(record.systemError));
    std::string line = timestamp;
    line += numbers;
    AppendEscaped(line, record.sourceFile);
    line += ',';
    line += std::to_string(record.sourceLine);
    line += ',';
    AppendEscaped(line, record.operation);
    line += ',';
    AppendEscaped(line, record.step);
    line += ',';
    AppendEscaped(line, record.message);
    line += '\n';
    if (!orvane::detail::WriteAll(file.get(), line.data(), line.size()))
        return -1;
    ++g_recordsWritten;
    return 0;
}

std::uint64_t CErrorLog::RecordsWritten() { return g_recordsWritten; }

int CErrorLog::CreateFolderPath(const std::string& path)
{
    // Accepted: absolute paths without ",:;*\"<>|", without "//", without a
    // space right before a '/', and with a '/' to cut at.
    if (path.size() < 2 || path.front() != '/')
        return 0;
    if (path.find_first_of(",:;*\"<>|") != std::string::npos)
        return 0;
    if (path.find("//") != std::string::npos || path.find(" /") != std::string::npos)
        return 0;

    const std::string folder = path.substr(0, path.rfind('/'));
    if (folder.empty())
        return 0;  // the root itself is never created

    if (::mkdir(folder.c_str(), 0777) == 0)
        return 1;
    if (errno != ENOENT)
        return 0;
    CreateFolderPath(folder);
    return ::mkdir(folder.c_str(), 0777) == 0 ? 1 : 0;
}

orvane::ErrorLogCapture::ErrorLogCapture() : m_outer(t_activeCapture) { t_activeCapture = this; }

orvane::ErrorLogCapture::~ErrorLogCapture() { t_activeCapture = m_outer; }

std::vector<orvane::CapturedLogRecord> orvane::ErrorLogCapture::TakeRecords() { return std::exchange(m_records, {}); }

void orvane::ErrorLogCapture::Replay(const std::vector<orvane::CapturedLogRecord>& records)
{
    for (const orvane::CapturedLogRecord& captured : records)
        CErrorLog(captured.folder).WriteLog(captured.record, captured.time);
}
