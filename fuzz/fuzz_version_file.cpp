// The version-file reader on arbitrary bytes; the first byte picks whether all
// four values or only VERSION_INFO are read. The version read is then compared
// with itself and with a fixed version, as the update check does.

#include "orvane/VersionCompare.h"
#include "orvane/VersionInf.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const orvane::VersionFields fields = (data[0] & 1) ? orvane::VersionFields::VersionOnly : orvane::VersionFields::All;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    VersionInf inf;
    if (!orvane::ParseVersionInf(bytes, inf, fields))
        return 0;
    if (fields == orvane::VersionFields::VersionOnly &&
        !(inf.strCopyright.empty() && inf.strUrlDownload.empty() && inf.strUrlVersionCheck.empty()))
        std::abort();
    if (orvane::IsServerVersionNewer(inf.strVersion, inf.strVersion))
        std::abort();
    // Any order of the two texts is compared without fault.
    [[maybe_unused]] const bool newer = orvane::IsServerVersionNewer("1.0.0", inf.strVersion);
    [[maybe_unused]] const bool older = orvane::IsServerVersionNewer(inf.strVersion, "1.0");
    return 0;
}
