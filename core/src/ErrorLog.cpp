#include "orvane/ErrorLog.h"

#include "Resources.h"

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
thread_local orvane::CErrorLogCapture* t_activeCapture = nullptr;

std::atomic<std::uint64_t> g_recordsWritten{0};

std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return WithTrailingSlash(tmp && *tmp ? tmp : "/tmp");
}

// The part of a message the log keeps: at most CErrorLog::kMaxMessageBytes
// bytes, cut before a UTF-8 continuation byte so no character is split.
std::string_view LoggedPart(std::string_view message)
{
    if (message.size() <= CErrorLog::kMaxMessageBytes)
        return message;
    std::size_t cut = CErrorLog::kMaxMessageBytes;
    const std::size_t longestBackUp = cut - 3;  // a UTF-8 sequence has at most 3 continuation bytes
    while (cut > longestBackUp && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80)
        --cut;
    return message.substr(0, cut);
}

// Appends a field so that it stays on its line: control characters (C0 and
// DEL) become "\n", "\r", "\t" or "\xHH" and a backslash becomes "\\", so
// the original text can always be recovered. Other bytes, UTF-8 included, pass.
void AppendEscaped(std::string& line, std::string_view field)
{
    constexpr char kHexDigits[] = "0123456789abcdef";
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            line += "\\\\";
        else if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7F) {
            line += "\\x";
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 0xF];
        } else
            line += c;
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

CErrorLog::CErrorLog() : m_strFolder(TempFolder()) {}

CErrorLog::CErrorLog(std::string folder) : m_strFolder(WithTrailingSlash(std::move(folder))) {}

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

    // Exclusive access: a writer that cannot take the lock at once drops its record.
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
    AppendEscaped(line, LoggedPart(record.message));
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

orvane::CErrorLogCapture::CErrorLogCapture() : m_outer(t_activeCapture) { t_activeCapture = this; }

orvane::CErrorLogCapture::~CErrorLogCapture() { t_activeCapture = m_outer; }

std::vector<orvane::CapturedLogRecord> orvane::CErrorLogCapture::TakeRecords() { return std::exchange(m_records, {}); }

void orvane::CErrorLogCapture::Replay(const std::vector<orvane::CapturedLogRecord>& records)
{
    for (const orvane::CapturedLogRecord& captured : records)
        CErrorLog(captured.folder).WriteLog(captured.record, captured.time);
}
