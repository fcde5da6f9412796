#pragma once
// Version files ("z_ver.xml"): the local one beside the executable and the
// server's copy named by it.

#include "orvane/XmlSource.h"

#include <stop_token>
#include <string>
#include <string_view>

struct VersionInf {
    std::string strCopyright;        // COPYRIGHT
    std::string strUrlDownload;      // URL_DOWNLOAD
    std::string strUrlVersionCheck;  // URL_VERSION_CHECK
    std::string strVersion;          // VERSION_INFO
};

// Folder of the running executable, ending in '/'. Set once at start-up.
extern std::string g_strAppPath;

// Reads g_strAppPath + "z_ver.xml" into inf. Non-zero when the file loaded and
// its document element is "dataroot". On zero, systemError (when given) takes
// the system's reason the file could not be read for, 0 when it has none.
[[nodiscard]] int _GetLocalVersionInf(VersionInf& inf, int* systemError = nullptr);

namespace orvane {

// Which values a version file gives: all four (the local file) or only
// VERSION_INFO (the server's copy).
enum class VersionFields { All, VersionOnly };

// Reads a version file held in memory into inf, as the readers above do after
// loading, but writes no log record for a document that does not parse.
// Non-zero when it parsed and its document element is "dataroot".
[[nodiscard]] int ParseVersionInf(std::string_view xmlBytes, VersionInf& inf,
                    VersionFields fields = VersionFields::All);

}  // namespace orvane

// Reads the VERSION_INFO of the version file at an address (path, file:// or
// http(s)://) into inf.strVersion. Non-zero on success. Once abort is
// requested it returns zero promptly and writes no log record.
// Both readers refuse a local file that is not a regular file (a FIFO, a
// device, a folder) at once, and one larger than limits.maxBytes (1 MiB by
// default), with the load-failure record. systemError as for _GetLocalVersionInf.
[[nodiscard]] int _GetXmlInf(const std::string& address, VersionInf& inf, const orvane::FetchLimits& limits = {},
               std::stop_token abort = {}, int* systemError = nullptr);
