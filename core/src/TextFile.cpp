#include "orvane/TextFile.h"

#include "AtomicFile.h"
#include "orvane/ErrorLog.h"

#include <cerrno>

namespace orvane {

bool WriteTextFileAtomically(const std::string& path, std::string_view bytes)
{
    CAtomicFile file(path);
    if (!file.Open())
        return false;
    if (const int refusal = file.InPlaceReason()) {
        errno = refusal;
        REPORT_ERROR(g_ErrorLog, "orvane::WriteTextFileAtomically()", "file.Open()",
                     "フォルダに一時ファイルを作成できないため、ファイルを直接上書きしました。");
    }
    return file.Write(bytes.data(), bytes.size()) && file.Commit();
}

}  // namespace orvane
