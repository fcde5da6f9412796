#pragma once
// Error log: one line per detected failure, appended to "_ERRORdd.log" in the
// temporary folder (dd = day of the month).

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <string>

// The seven fields of one failure report, in the order WriteLog takes them.
struct ErrorRecord {
    std::string operation;      // reporting method, e.g. "CCryptUtil::InitCrypt()"
    std::string step;           // failed call or check, e.g. "file.Open()"
    std::uint32_t errorCode = 0;
    std::int32_t systemError = 0;  // errno at the moment of reporting
    std::string sourceFile;     // source path of the reporting module
    std::int32_t sourceLine = 0;
    std::string message;
};

class CErrorLog {
public:
    // Log folder: $TMPDIR, or /tmp when unset or empty; always ends in '/'.
    CErrorLog();
    // Log folder given explicitly (a trailing '/' is added when missing).
    explicit CErrorLog(std::string folder);
    virtual ~CErrorLog();

    CErrorLog(const CErrorLog&) = default;
    CErrorLog& operator=(const CErrorLog&) = default;

    // Appends one line. Returns 0 when written, -1 when the file could not be
    // opened or another writer holds its lock (the record is then dropped).
    int WriteLog(std::string operation, std::string step, std::uint32_t errorCode,
                 std::int32_t systemError, std::string sourceFile, int sourceLine,
                 std::string message);
    int WriteLog(const ErrorRecord& record);
    // Same, with the clock reading given (file name and timestamp use it).
    int WriteLog(const ErrorRecord& record, std::time_t now);

    const std::string& Folder() const { return m_strFolder; }

    // Creates the folder holding the path's last component (for a path ending
    // in '/', the folder itself), parents first. Non-zero only when the final
    // creation succeeded; 0 when refused, failed or already present.
    static int CreateFolderPath(const std::string& path);

private:
    std::string m_strFolder;
};

// The program-wide log writer.
extern CErrorLog g_ErrorLog;

// Writes a record with errorCode 0, the current errno as systemError and the
// reporting statement's file and line.
#define REPORT_ERROR(log, operation, step, message)                                   \
    do {                                                                              \
        const int reportErrno_ = errno;                                               \
        (log).WriteLog((operation), (step), 0, reportErrno_, __FILE__, __LINE__, (message)); \
        errno = reportErrno_;                                                         \
    } while (0)
