#include "orvane/CatalogStore.h"

#include "orvane/Catalog.h"
#include "orvane/CatalogSignature.h"
#include "orvane/PathText.h"
#include "orvane/TextFile.h"

#include "HttpFetch.h"

#include <cerrno>
#include <filesystem>
#include <optional>

#include <unistd.h>

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

std::string EditionOf(const std::optional<std::string>& bytes)
{
    const CatalogReading reading = bytes ? ReadCatalog(*bytes) : CatalogReading{CatalogFault::Empty, {}, {}};
    return reading ? reading.catalog.edition : std::string();
}

bool RemoveIfPresent(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

}  // namespace

std::string CatalogPlaces::VersionFile() const { return WithTrailingSlash(programFolder) + "z_ver.xml"; }
std::string CatalogPlaces::KeyFolder() const { return WithTrailingSlash(programFolder) + kKeyFolderName; }
std::string CatalogPlaces::ShippedCatalog() const { return WithTrailingSlash(programFolder) + kCatalogFileName; }
std::string CatalogPlaces::UserCatalog() const { return WithTrailingSlash(dataFolder) + kCatalogFileName; }
std::string CatalogPlaces::UserSignature() const { return UserCatalog() + kSignatureSuffix; }

std::string DefaultCatalogDataFolder() { return XdgProgramFolder("XDG_DATA_HOME", ".local/share", "/tmp"); }

CatalogChoice ChooseCatalog(const CatalogPlaces& places)
{
    const CatalogChoice shipped{places.ShippedCatalog(), false, EditionOf(ReadSmallFile(places.ShippedCatalog()))};
    const std::optional<std::string> user = ReadSmallFile(places.UserCatalog());
    const std::optional<std::string> signature = user ? ReadSmallFile(places.UserSignature()) : std::nullopt;
    if (!signature)
        return shipped;
    if (VerifyCatalogSignature(*user, *signature, LoadCatalogKeys(places.KeyFolder())).check != SignatureCheck::Valid)
        return shipped;
    const std::string edition = EditionOf(user);
    if (!IsNewerEdition(shipped.edition, edition))
        return shipped;
    return {places.UserCatalog(), true, edition};
}

FileWriteResult InstallCatalog(std::string_view catalogBytes, std::string_view signature, const std::string& dataFolder)
{
    const CatalogPlaces places{{}, dataFolder};
    std::error_code error;
    std::filesystem::create_directories(dataFolder, error);
    if (error)
        return {.systemError = error.value()};
    const std::optional<std::string> previousSignature = ReadSmallFile(places.UserSignature());
    if (const FileWriteResult written = WriteWholeFile(places.UserSignature(), signature); !written)
        return written;
    const FileWriteResult written = WriteWholeFile(places.UserCatalog(), catalogBytes);
    if (!written) {
        if (previousSignature)
            (void)WriteWholeFile(places.UserSignature(), *previousSignature);
        else
            RemoveIfPresent(places.UserSignature());
    }
    return written;
}

int RestoreShippedCatalog(const std::string& dataFolder)
{
    const CatalogPlaces places{{}, dataFolder};
    // The catalogue first: a signature left alone serves nothing.
    return RemoveIfPresent(places.UserCatalog()) && RemoveIfPresent(places.UserSignature()) ? 0 : errno;
}

}  // namespace orvane
