#pragma once
// Test helper: the error-log records appended since a mark, split into fields.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct LogLine {
    std::string timestamp;
    std::string errorCode;
    std::string systemError;
    std::string sourceFile;
    std::string sourceLine;
    std::string operation;
    std::string step;
    std::string message;  // the rest of the line: may hold commas
};

// Splits one line (without its line feed) at the first seven commas.
inline LogLine SplitLogLine(const std::string& line)
{
    LogLine fields;
    std::string* const parts[] = {&fields.timestamp, &fields.errorCode, &fields.systemError,
                                  &fields.sourceFile, &fields.sourceLine, &fields.operation,
                                  &fields.step};
    std::size_t at = 0;
    for (std::string* part : parts) {
        const std::size_t comma = line.find(',', at);
        if (comma == std::string::npos)
            return fields;
        *part = line.substr(at, comma - at);
        at = comma + 1;
    }
    fields.message = line.substr(at);
    return fields;
}

// Remembers the size of every "_ERRORdd.log" in a folder; NewLines() gives the
// lines written to them afterwards. Never deletes or changes a log.
class ErrorLogTail {
public:
    explicit ErrorLogTail(std::filesystem::path folder) : m_folder(std::move(folder))
    {
        for (const auto& [path, size] : Sizes())
            m_marks[path] = size;
    }

    std::vector<LogLine> NewLines() const
    {
        std::vector<LogLine> lines;
        for (const auto& [path, size] : Sizes()) {
            const auto mark = m_marks.find(path);
            std::ifstream file(path, std::ios::binary);
            file.seekg(static_cast<std::streamoff>(mark == m_marks.end() ? 0 : mark->second));
            std::string line;
            while (std::getline(file, line))
                lines.push_back(SplitLogLine(line));
        }
        return lines;
    }

private:
    std::map<std::filesystem::path, std::uintmax_t> Sizes() const
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

    std::filesystem::path m_folder;
    std::map<std::filesystem::path, std::uintmax_t> m_marks;
};
