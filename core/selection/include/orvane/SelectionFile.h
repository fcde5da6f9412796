#pragma once
// A selection file: the selection text in the ".zsr" container. Every reader
// and writer of the program (the window, recovery copies, the zsr tool) goes
// through here, and each read or write hands back its outcome as one value.
//
// The content is the container's bytes (the ".zsr" reader's). The text
// is the content as the program opens it: content that is empty or starts
// with a zero byte is no text; the text ends at its first zero byte; a text
// that is not UTF-8 was written on a Chinese-language system in its code page
// before the program kept its texts as UTF-8, and is read as GB18030 (which
// holds GBK and GB2312); one that is neither is kept as it is.

#include "orvane/DataFileFormat.h"
#include "orvane/TextFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

struct SelectionContent {
    // The reader's outcome: READ_DATA_OK; READ_DATA_FAILED (the reader wrote
    // its record); READ_DATA_CONTENT_BAD (a size or digest check failed, no record).
    int result = READ_DATA_FAILED;
    int systemError = 0;  // the system's reason for READ_DATA_FAILED, 0 when it has none
    std::string bytes;
    explicit operator bool() const { return result == READ_DATA_OK; }
};

struct SelectionText {
    enum class Status { Read, Unreadable, NotText };
    Status status = Status::Unreadable;
    SelectionContent content;  // the container's outcome; its bytes as read
    std::string text;          // the selection text when Read
    explicit operator bool() const { return status == Status::Read; }
};

class SelectionFile {
public:
    // The container's content, byte for byte.
    [[nodiscard]] static SelectionContent ReadContent(const std::string& path);
    // The selection text, by the rules above.
    [[nodiscard]] static SelectionText Read(const std::string& path);
    // Writes text as the file's whole content on the one save road; a text
    // over kMaxDataFileTextBytes is refused (EFBIG) and nothing is written.
    [[nodiscard]] static FileWriteResult Write(const std::string& path, std::string_view text);
    // What the user is told when a selection file could not be written:
    // "(#2001)", and when the old file may have lost its content a second
    // line that says so and advises Save As. The system's reason is the
    // record's.
    [[nodiscard]] static std::string FailureText(const FileWriteResult& result);
    // The text of content as the program opens it; nullopt when it is no text.
    [[nodiscard]] static std::optional<std::string> TextOf(std::string_view content);
};

// Whether decrypted content can be a selection text: present, and not ending
// before its first character. Every character the movie can hand over,
// control characters included, is text.
[[nodiscard]] bool _IsTextData(const std::uint8_t* data, std::size_t length);

}  // namespace orvane
