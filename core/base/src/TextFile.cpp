#include "orvane/TextFile.h"

#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

#include "AtomicFile.h"

#include <sys/stat.h>

namespace orvane {

bool IsRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

FileWriteResult WriteWholeFile(const std::string& path, std::string_view bytes)
{
    const bool existed = IsRegularFile(path);
    const std::string_view pieces[] = {bytes};
    const detail::SaveResult saved = detail::SaveWhole(path, pieces);
    return {static_cast<bool>(saved), saved.systemError, existed, saved.targetDamaged, {}};
}

std::string FileWriteFailureText(const FileWriteResult& result)
{
    std::string text = MakeErrorText("(#2001)");
    if (result.systemError != 0)
        text += "\n" + SystemErrorReason(result.systemError);
    else if (!result.reasonText.empty())
        text += "\n" + result.reasonText;
    if (result.existed)
        text += "\n" + LoadResString(result.targetDamaged ? IDS_OLD_FILE_DAMAGED : IDS_OLD_FILE_KEPT);
    return text;
}

}  // namespace orvane
