#include "orvane/CatalogStore.h"

#include "orvane/Catalog.h"
#include "orvane/CatalogSignature.h"
#include "orvane/PathText.h"

#include "CatalogFolder.h"
#include "HttpFetch.h"

#include <optional>

namespace orvane {

namespace {

constexpr const char* kKeyFolderName = "catalog-keys/";

// A local file whole, up to the catalogue's size limit; nullopt when it
// cannot be read (missing, not a regular file, too large).
std::optional<std::string> ReadSmallFile(const std::string& path)
{
    std::string bytes;
    std::string error;
    if (FetchAddress(path, bytes, error, FetchLimits{.maxBytes = kMaxCatalogBytes}) != FetchFailure::None)
        return std::nullopt;
    return bytes;
}

// Why the installed pair in pairFolder cannot be served, or "" when it can
// (bytes and reading hold its catalogue then).
std::string PairProblem(const CatalogPlaces& places, const std::string& pairFolder, std::optional<std::string>& bytes,
                        CatalogReading& reading)
{
    bytes = ReadSmallFile(pairFolder + kCatalogFileName);
    if (!bytes)
        return "产品目录文件无法读取";
    const std::optional<std::string> signature = ReadSmallFile(pairFolder + kCatalogFileName + kSignatureSuffix);
    if (!signature)
        return "签名文件无法读取";
    if (VerifyCatalogSignature(*bytes, *signature, LoadCatalogKeys(places.KeyFolder())).check != SignatureCheck::Valid)
        return "签名与程序安装的发布者公钥不符";
    reading = ReadCatalog(*bytes);
    return reading ? std::string() : reading.reason;
}

}  // namespace

std::string CatalogPlaces::VersionFile() const { return WithTrailingSlash(programFolder) + "z_ver.xml"; }
std::string CatalogPlaces::KeyFolder() const { return WithTrailingSlash(programFolder) + kKeyFolderName; }
std::string CatalogPlaces::ShippedCatalog() const { return WithTrailingSlash(programFolder) + kCatalogFileName; }
std::string CatalogPlaces::UserCatalog() const
{
    return WithTrailingSlash(dataFolder) + detail::kCatalogLinkName + "/" + kCatalogFileName;
}
std::string CatalogPlaces::UserSignature() const { return UserCatalog() + kSignatureSuffix; }

std::string DefaultCatalogDataFolder() { return XdgProgramFolder("XDG_DATA_HOME", ".local/share", "/tmp"); }

CatalogChoice ChooseCatalog(const CatalogPlaces& places)
{
    const std::optional<std::string> shippedBytes = ReadSmallFile(places.ShippedCatalog());
    const CatalogReading shippedReading = shippedBytes ? ReadCatalog(*shippedBytes) : CatalogReading{CatalogFault::Empty, {}, {}};
    CatalogChoice shipped{places.ShippedCatalog(), shippedBytes, false,
                          shippedReading ? shippedReading.catalog.edition : "", {}};
    const std::optional<std::string> pair = detail::PairInUse(WithTrailingSlash(places.dataFolder));
    if (!pair)
        return shipped;
    std::optional<std::string> bytes;
    CatalogReading reading;
    if (const std::string problem = PairProblem(places, *pair, bytes, reading); !problem.empty()) {
        shipped.problem = "已安装的产品目录更新（" + WithTrailingSlash(places.dataFolder) + "）无法使用：" + problem +
                          "。本次使用随程序安装的产品目录（" + CatalogEditionText(shipped.edition) +
                          "）。已安装的文件保持原样，可以再次执行“更新产品目录…”。";
        return shipped;
    }
    if (!IsNewerEdition(shipped.edition, reading.catalog.edition))
        return shipped;
    return {places.UserCatalog(), std::move(bytes), true, reading.catalog.edition, {}};
}

}  // namespace orvane
