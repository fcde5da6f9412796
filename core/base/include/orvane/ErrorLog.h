#pragma once
// Error log: one line per detected failure, appended to "_ERRORdd.log" in the
// user's temporary folder (dd = day of the month).
//
// Line: "YYYY/MM/DD-hh:mm:ss,<errorCode as 8 hex digits>,<systemError>,
// <sourceFile>,<sourceLine>,<operation>,<step>,<message>". Inside the text
// fields a backslash is written "\\" and a control character (C0 or DEL)
// "\n", "\r", "\t" or "\xHH", so a record is always exactly one line and
// its text can be recovered. Texts are written whole; an exception's text is
// cut by whoever reports it (orvane::ExceptionText).
//
// The user's temporary folder is $TMPDIR when set; otherwise /tmp/orvane-UID/,
// a folder this user alone owns and may write, or, when that name is taken by
// anything else, $XDG_CACHE_HOME/orvane/ (~/.cache/orvane/). The log is opened
// without following a symbolic link, and a name that leads to anything but a
// regular file with a single link (a hard link, FIFO, device, ...) drops the
// record. A new log file is readable and writable by its owner only.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

// The seven fields of one failure report, in the order WriteLog takes them.
struct ErrorRecord {
    std::string operation;      // reporting method, e.g. "CCryptUtil::InitCrypt()"
    std::string step;           // failed call or check, e.g. "file.Open()"
    std::uint32_t errorCode = 0;
    std::int32_t systemError = 0;  // the system's reason the reporter gives (ENOENT, ...), 0 when none
    std::string sourceFile;     // source path of the reporting module
    std::int32_t sourceLine = 0;
    std::string message;
};

class CErrorLog {
public:
    // Log folder: the user's temporary folder (above); always ends in '/'.
    CErrorLog();
    // Log folder given explicitly (a trailing '/' is added when missing).
    explicit CErrorLog(std::string folder);
    virtual ~CErrorLog();

    CErrorLog(const CErrorLog&) = default;
    CErrorLog& operator=(const CErrorLog&) = default;

    // Appends one line. Returns 0 when written, -1 when the file could not be
    // opened, is not a plain regular file, or another writer holds its lock
    // (the record is then dropped: no retry, no message, no other place).
    int WriteLog(std::string operation, std::string step, std::uint32_t errorCode,
                 std::int32_t systemError, std::string sourceFile, int sourceLine,
                 std::string message);
    int WriteLog(const ErrorRecord& record);
    // Same, with the clock reading given (file name and timestamp use it).
    int WriteLog(const ErrorRecord& record, std::time_t now);

    const std::string& Folder() const { return m_strFolder; }

    // Records this process has written to log files so far.
    static std::uint64_t RecordsWritten();

    // Creates the folder holding the path's last component (for a path ending
    // in '/', the folder itself), parents first. Non-zero only when the final
    // creation succeeded; 0 when refused, failed or already present.
    static int CreateFolderPath(const std::string& path);

private:
    std::string m_strFolder;
};

namespace orvane {

// A record held back by an ErrorLogCapture: the writer's log folder, the
// record and the clock reading it was written with.
struct CapturedLogRecord {
    std::string folder;
    ErrorRecord record;
    std::time_t time = 0;
};

// While an object of this class is alive, every CErrorLog::WriteLog on the
// thread that made it appends {folder, record, time} to the capture instead
// of writing a file (and returns 0); other threads write as usual. Captures
// nest: the innermost one on a thread takes the records. Make it on the
// stack of the thread it serves: it must end on that thread.
// For work whose records reach the log only if its result is taken later,
// e.g. a worker thread that may be abandoned.
class ErrorLogCapture {
public:
    ErrorLogCapture();
    ~ErrorLogCapture();
    ErrorLogCapture(const ErrorLogCapture&) = delete;
    ErrorLogCapture& operator=(const ErrorLogCapture&) = delete;

    // The records captured so far, in the order written; the capture goes on empty.
    [[nodiscard]] std::vector<CapturedLogRecord> TakeRecords();

    // Writes records to their folders' logs in the order given, each with its
    // own clock reading (WriteLog(record, time)).
    static void Replay(const std::vector<CapturedLogRecord>& records);

private:
    friend class ::CErrorLog;
    std::vector<CapturedLogRecord> m_records;
    ErrorLogCapture* m_outer;  // the capture this one hides, if any
};

// Longest text of an exception that a record keeps, in bytes.
inline constexpr std::size_t kMaxExceptionTextBytes = 1023;

// An exception's own text as a record's message: at most
// kMaxExceptionTextBytes, cut at a UTF-8 character boundary.
[[nodiscard]] std::string ExceptionText(const std::exception& error);

// The user's temporary folder as described above, with a trailing '/'.
[[nodiscard]] std::string UserTemporaryFolder();

// Writes a record with errorCode 0 and the given system error.
// WriteLog's result: 0 when the record was written.
inline int ReportError(CErrorLog& log, int systemError, const std::string& operation, const std::string& step,
                       const std::string& message, const char* sourceFile, int sourceLine)
{
    return log.WriteLog(operation, step, 0, systemError, sourceFile, sourceLine, message);
}

}  // namespace orvane

// The program-wide log writer.
extern CErrorLog g_ErrorLog;

// The source file a record names: the program's reporting module, which the
// build sets for each of its files; code outside the program names its own file.
#ifndef ORVANE_REPORTING_MODULE
#define ORVANE_REPORTING_MODULE __FILE__
#endif

// Writes a record with errorCode 0, the system's reason the caller has (a
// result's, 0 when the failure has none), the reporting module and the
// reporting statement's line; 0 when it was written.
#define REPORT_ERROR(log, systemError, operation, step, message) \
    orvane::ReportError((log), (systemError), (operation), (step), (message), ORVANE_REPORTING_MODULE, __LINE__)
