#include "ErrorLogReader.h"

#include "orvane/ErrorLog.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <stdexcept>

namespace {

[[noreturn]] void NotARecord(std::string_view line, const char* why)
{
    throw std::invalid_argument("not an error-log record (" + std::string(why) + "): " + std::string(line));
}

// Undoes the writer's escapes: "\\", "\n", "\r", "\t" and "\xHH".
std::string Unescaped(std::string_view field, std::string_view line)
{
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] != '\\') {
            text += field[at];
            continue;
        }
        const char kind = at + 1 < field.size() ? field[++at] : '\0';
        if (kind == '\\' || kind == 'n' || kind == 'r' || kind == 't') {
            text += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : '\\';
            continue;
        }
        unsigned byte = 0;
        const char* digits = field.data() + at + 1;
        if (kind != 'x' || at + 3 > field.size()
            || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2)
            NotARecord(line, "bad escape");
        text += static_cast<char>(byte);
        at += 2;
    }
    return text;
}

template <class Number>
Number ParsedNumber(std::string_view field, std::string_view line)
{
    Number number{};
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        NotARecord(line, "bad number");
    return number;
}

// Appends the records of a log file from a byte offset on.
void AppendRecords(const std::filesystem::path& path, std::uintmax_t from, std::vector<LogRecord>& records)
{
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    for (std::string line; std::getline(file, line);)
        records.push_back(ParseLogLine(line));
}

std::filesystem::path TodaysLogPath()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "_ERROR%d.log", &local);
    return std::filesystem::path(g_ErrorLog.Folder()) / name;
}

}  // namespace

LogRecord ParseLogLine(std::string_view line)
{
    // timestamp, errorCode, systemError, sourceFile, sourceLine, operation, step, message
    std::string_view fields[7];
    std::size_t at = 0;
    for (std::string_view& field : fields) {
        const std::size_t comma = line.find(',', at);
        if (comma == std::string_view::npos)
            NotARecord(line, "fewer than eight fields");
        field = line.substr(at, comma - at);
        at = comma + 1;
    }
    return LogRecord{std::string(fields[0]),
                     std::string(fields[1]),
                     ParsedNumber<long>(fields[2], line),
                     Unescaped(fields[3], line),
                     ParsedNumber<int>(fields[4], line),
                     Unescaped(fields[5], line),
                     Unescaped(fields[6], line),
                     Unescaped(line.substr(at), line)};
}

std::vector<LogRecord> ReadLogFile(const std::filesystem::path& path)
{
    std::vector<LogRecord> records;
    AppendRecords(path, 0, records);
    return records;
}

std::vector<LogRecord> ReadErrorLog() { return ReadLogFile(TodaysLogPath()); }

void ClearErrorLog() { std::remove(TodaysLogPath().c_str()); }

ErrorLogTail::ErrorLogTail(std::filesystem::path folder) : m_folder(std::move(folder)), m_marks(Sizes()) {}

std::vector<LogRecord> ErrorLogTail::NewLines() const
{
    std::vector<LogRecord> records;
    for (const auto& [path, size] : Sizes()) {
        const auto mark = m_marks.find(path);
        AppendRecords(path, mark == m_marks.end() ? 0 : mark->second, records);
    }
    return records;
}

std::map<std::filesystem::path, std::uintmax_t> ErrorLogTail::Sizes() const
{
    std::map<std::filesystem::path, std::uintmax_t> sizes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 12 && name.starts_with("_ERROR") && name.ends_with(".log"))
            sizes[entry.path()] = entry.file_size();
    }
    return sizes;
}
