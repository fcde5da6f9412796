#include "orvane/ErrorLog.h"

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

namespace {

// The capture that takes this thread's records, if any.
thread_local CErrorLogCapture* t_activeCapture = nullptr;

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

// Closes a descriptor on every way out of WriteLog (which also releases its lock).
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
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
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (file.get() < 0 || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return -1;

    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ",%08lx,%d,", static_cast<unsigned long>(record.errorCode),
                  static_cast<int>(record.systemError));
    std::string line = timestamp;
    line += numbers;
    line += record.sourceFile;
    line += ',';
    line += std::to_string(record.sourceLine);
    line += ',';
    line += record.operation;
    line += ',';
    line += record.step;
    line += ',';
    line += record.message;
    line += '\n';
    return WriteAll(file.get(), line) ? 0 : -1;
}

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

CErrorLogCapture::CErrorLogCapture() : m_outer(t_activeCapture) { t_activeCapture = this; }

CErrorLogCapture::~CErrorLogCapture() { t_activeCapture = m_outer; }

std::vector<CapturedLogRecord> CErrorLogCapture::TakeRecords() { return std::exchange(m_records, {}); }

void CErrorLogCapture::Replay(const std::vector<CapturedLogRecord>& records)
{
    for (const CapturedLogRecord& captured : records)
        CErrorLog(captured.folder).WriteLog(captured.record, captured.time);
}
