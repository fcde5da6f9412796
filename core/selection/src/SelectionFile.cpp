#include "orvane/SelectionFile.h"

#include "orvane/StringTable.h"
#include "orvane/Wtf8.h"

#include "CryptUtil.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <limits>


namespace orvane {

namespace {

// Text in the Chinese code page of old as UTF-8; nullopt when it is not such text.
std::optional<std::string> FromGb18030(std::string_view bytes)
{
    std::string text, error;
    if (!detail::ConvertToUtf8(bytes, "GB18030", text, error))
        return std::nullopt;
    return text;
}

}  // namespace

SelectionContent SelectionFile::ReadContent(const std::string& path)
{
    SelectionContent content;
    std::uint32_t length = 0;
    ByteBuffer bytes;
    const DataFileResult read = CCryptUtil().ReadDataFile(path, &length, &bytes);
    content.result = read.status;
    content.systemError = read.systemError;
    if (read)
        content.bytes.assign(reinterpret_cast<const char*>(bytes.get()), length);
    return content;
}

bool _IsTextData(const std::uint8_t* data, std::size_t length)
{
    return data != nullptr && length > 0 && data[0] != 0;
}

std::optional<std::string> SelectionFile::TextOf(std::string_view content)
{
    if (!_IsTextData(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()))
        return std::nullopt;
    const std::string_view text = content.substr(0, std::min(content.find('\0'), content.size()));
    if (IsWtf8(text))
        return std::string(text);
    return FromGb18030(text).value_or(std::string(text));
}

SelectionText SelectionFile::Read(const std::string& path)
{
    SelectionText read;
    read.content = ReadContent(path);
    if (!read.content)
        return read;
    std::optional<std::string> text = TextOf(read.content.bytes);
    read.status = text ? SelectionText::Status::Read : SelectionText::Status::NotText;
    read.text = std::move(text).value_or(std::string());
    return read;
}

FileWriteResult SelectionFile::Write(const std::string& path, std::string_view text)
{
    FileWriteResult result;
    result.existed = IsRegularFile(path);
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
        result.systemError = EFBIG;
        return result;
    }
    const DataFileResult created = CCryptUtil().CreateDataFile(path, static_cast<std::uint32_t>(text.size()),
                                                               reinterpret_cast<const std::uint8_t*>(text.data()));
    result.written = static_cast<bool>(created);
    result.systemError = created.systemError;
    result.targetDamaged = created.targetDamaged;
    return result;
}

std::string SelectionFile::FailureText(const FileWriteResult& result)
{
    std::string text = MakeErrorText("(#2001)");
    if (result.targetDamaged)
        text += "\n" + LoadResString(IDS_OLD_FILE_DAMAGED);
    return text;
}

}  // namespace orvane
