#include "SelectionCommands.h"

#include "StandardStreams.h"

#include "orvane/ErrorLog.h"
#include "orvane/SelectionFile.h"

#include "PosixFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace orvane {

namespace {

void PrintReason(const std::string& path, const char* reason)
{
    std::fprintf(stderr, "zsr: %s: %s\n", path.c_str(), reason);
}

// Where to look for details: only a record that was written is pointed to.
std::string Details(bool recorded)
{
    return recorded ? "; details in the error log in " + g_ErrorLog.Folder()
                    : "; the error log in " + g_ErrorLog.Folder() + " could not be written";
}

void PrintReadFailure(const std::string& path, int result, bool recorded)
{
    if (result == orvane::READ_DATA_CONTENT_BAD) {
        PrintReason(path, "content check failed (size or digest mismatch): "
                          "the file is damaged or not a selection file");
        return;
    }
    const std::string reason =
        "cannot be read as a selection file (missing, unreadable or truncated)" + Details(recorded);
    PrintReason(path, reason.c_str());
}

// One failed read, one record, naming the file: the reader's record of what
// failed (the first, when it wrote several), or the tool's own when the
// reader wrote none (a content check). true when it was written.
bool RecordReadFailure(const std::string& operation, const std::string& path,
                       const std::vector<CapturedLogRecord>& readerRecords)
{
    if (readerRecords.empty())
        return REPORT_ERROR(g_ErrorLog, 0, operation, "CryptUtil.ReadDataFile()", "復号化取得処理に失敗しました。 " + path) == 0;
    CapturedLogRecord first = readerRecords.front();
    first.record.message += " " + path;
    return CErrorLog(first.folder).WriteLog(first.record, first.time) == 0;
}

// The file's content, byte for byte: the tool stores and gives back any bytes.
SelectionContent ReadSelection(const std::string& operation, const std::string& path)
{
    std::vector<CapturedLogRecord> readerRecords;
    SelectionContent content;
    {
        ErrorLogCapture capture;
        content = SelectionFile::ReadContent(path);
        readerRecords = capture.TakeRecords();
    }
    if (!content)
        PrintReadFailure(path, content.result, RecordReadFailure(operation, path, readerRecords));
    return content;
}

}  // namespace

int DecodeCommand(const std::string& path)
{
    const SelectionContent selection = ReadSelection("DecodeCommand()", path);
    if (!selection)
        return selection.result;
    if (const detail::SystemResult written = detail::WriteAll(STDOUT_FILENO, selection.bytes.data(), selection.bytes.size());
        !written) {
        REPORT_ERROR(g_ErrorLog, written.systemError, "DecodeCommand()", "write()", "標準出力への書込処理に失敗しました。");
        PrintReason(path, "the text could not be written to standard output");
        return EXIT_ZSR_FAILED;
    }
    return EXIT_ZSR_OK;
}

int VerifyCommand(const std::string& path)
{
    const SelectionContent selection = ReadSelection("VerifyCommand()", path);
    if (!selection)
        return selection.result;
    std::printf("%s: ok, %zu bytes of selection text\n", path.c_str(), selection.bytes.size());
    return EXIT_ZSR_OK;
}

int EncodeCommand(const std::string& path)
{
    std::string text;
    int systemError = 0;
    switch (ReadWholeStream(STDIN_FILENO, orvane::kMaxDataFileTextBytes, text, systemError)) {
    case StreamReadResult::Ok:
        break;
    case StreamReadResult::Failed:
        REPORT_ERROR(g_ErrorLog, systemError, "EncodeCommand()", "read()", "標準入力の読込処理に失敗しました。");
        PrintReason(path, "standard input could not be read; the file was not written");
        return EXIT_ZSR_FAILED;
    case StreamReadResult::TooLarge: {
        const std::string limitMiB = std::to_string(orvane::kMaxDataFileTextBytes >> 20);
        REPORT_ERROR(g_ErrorLog, 0, "EncodeCommand()", "選定データサイズチェック", "選定データが" + limitMiB + "MiBを超えています。");
        const std::string reason = "the selection text is larger than " + limitMiB +
                                   " MiB, the most a selection file may hold; the file was not written";
        PrintReason(path, reason.c_str());
        return EXIT_ZSR_FAILED;
    }
    }
    const FileWriteResult written = SelectionFile::Write(path, text);
    if (!written) {
        const bool recorded = REPORT_ERROR(g_ErrorLog, written.systemError, "EncodeCommand()",
                                           "CryptUtil.CreateDataFile()", SelectionFile::FailureText(written)) == 0;
        const std::string reason =
            std::string(written.targetDamaged ? "could not be written, and its previous content may be damaged"
                                              : "could not be written (any previous content is unchanged)") +
            Details(recorded);
        PrintReason(path, reason.c_str());
        return EXIT_ZSR_FAILED;
    }
    return EXIT_ZSR_OK;
}

}  // namespace orvane
