#pragma once
// Test helper: reads the error log's records back, one record a line with
// its fields unescaped (core/README.md, "Error log").

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct LogRecord {
    std::string timestamp;  // "YYYY/MM/DD-hh:mm:ss"
    std::string errorCode;  // eight hex digits, as written
    long systemError = 0;
    std::string sourceFile;
    int sourceLine = 0;
    std::string operation;
    std::string step;
    std::string message;  // the rest of the line: may hold commas
};

// One line without its line feed. Throws std::invalid_argument for a line
// that is not a record: a test reading a broken log must fail, not guess.
LogRecord ParseLogLine(std::string_view line);

// Every record of a log file; none when the file is missing.
std::vector<LogRecord> ReadLogFile(const std::filesystem::path& path);

// The records of today's "_ERRORdd.log" in the core's log folder
// (g_ErrorLog), and its removal.
std::vector<LogRecord> ReadErrorLog();
void ClearErrorLog();

// Remembers the size of every "_ERRORdd.log" in a folder; NewLines() gives the
// records written to them afterwards. Never deletes or changes a log.
class ErrorLogTail {
public:
    explicit ErrorLogTail(std::filesystem::path folder);
    std::vector<LogRecord> NewLines() const;

private:
    std::map<std::filesystem::path, std::uintmax_t> Sizes() const;

    std::filesystem::path m_folder;
    std::map<std::filesystem::path, std::uintmax_t> m_marks;
};
