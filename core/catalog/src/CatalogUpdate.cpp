#include "orvane/CatalogUpdate.h"

#include "orvane/Catalog.h"
#include "orvane/CatalogSignature.h"
#include "orvane/SystemErrorReason.h"

#include "HttpFetch.h"
#include "XmlLoader.h"
#include "XmlText.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace orvane {

namespace {

using Outcome = CatalogUpdateOutcome;

constexpr std::size_t kMaxSignatureFileBytes = 4096;
constexpr const char* kUnchanged = "正在使用的产品目录保持不变。";

CatalogUpdate Refused(Outcome outcome, const std::string& reason, std::string detail)
{
    CatalogUpdate update;
    update.outcome = outcome;
    update.message = reason + kUnchanged;
    update.detail = std::move(detail);
    return update;
}

std::string TooLargeReason()
{
    return "服务器上的产品目录超过 " + std::to_string(kMaxCatalogBytes / (1024 * 1024)) + " MiB，已拒绝。";
}

CatalogUpdate FetchRefused(FetchFailure failure, const std::string& error)
{
    switch (failure) {
    case FetchFailure::Stopped:
        return Refused(Outcome::Stopped, "已取消产品目录的更新。", error);
    case FetchFailure::TooLarge:
        return Refused(Outcome::TooLarge, TooLargeReason(), error);
    case FetchFailure::TimedOut:
        return Refused(Outcome::TimedOut, "连接服务器超时，未能取得产品目录。", error);
    case FetchFailure::Interrupted:
        return Refused(Outcome::Interrupted, "下载产品目录时连接中断，收到的目录不完整，已拒绝。", error);
    case FetchFailure::RedirectRefused:
        return Refused(Outcome::RedirectRefused, "服务器把下载转到了 HTTP 和 HTTPS 以外的地址，已拒绝。", error);
    case FetchFailure::TooManyRedirects:
        return Refused(Outcome::TooManyRedirects, "服务器把下载转向的次数过多（可能是循环转向），未能取得产品目录。", error);
    default:
        return Refused(Outcome::Unreachable, "无法连接服务器，或服务器上没有产品目录。", error);
    }
}

CatalogUpdate SignatureRefused(SignatureCheck check)
{
    switch (check) {
    case SignatureCheck::NoKeys:
        return Refused(Outcome::NoKeys, "程序没有安装发布者的公钥，无法确认产品目录的来源。", "no key in the key folder");
    case SignatureCheck::Missing:
        return Refused(Outcome::Unsigned, "服务器上的产品目录没有签名，已拒绝。", "no signature");
    case SignatureCheck::Malformed:
        return Refused(Outcome::MalformedSignature, "产品目录的签名文件格式不正确，已拒绝。", "malformed signature");
    default:
        return Refused(Outcome::OtherKey, "产品目录的签名与发布者的公钥不符（由其他密钥签名，或目录已被改动），已拒绝。",
                       "signature verifies with no installed key");
    }
}

CatalogUpdate ReadingRefused(const CatalogReading& reading)
{
    switch (reading.fault) {
    case CatalogFault::TooLarge:
        return Refused(Outcome::TooLarge, TooLargeReason(), reading.reason);
    case CatalogFault::TooDeep:
        return Refused(Outcome::TooDeep,
                       "服务器上的产品目录元素嵌套超过 " + std::to_string(kMaxCatalogNesting) + " 层，已拒绝。",
                       reading.reason);
    case CatalogFault::TooManyItems:
        return Refused(Outcome::TooManyItems, "服务器上的产品目录无法完整使用（" + reading.reason + "），已拒绝。",
                       reading.reason);
    default:
        return Refused(Outcome::Malformed, "服务器上的产品目录无法使用（" + reading.reason + "），已拒绝。", reading.reason);
    }
}

// The catalogue the player serves now; an empty one when it cannot be read.
Catalog CatalogInUse(const CatalogPlaces& places)
{
    std::string bytes;
    std::string error;
    const std::string path = ChooseCatalog(places).path;
    if (FetchAddress(path, bytes, error, FetchLimits{.maxBytes = kMaxCatalogBytes}) != FetchFailure::None)
        return {};
    CatalogReading reading = ReadCatalog(bytes);
    return reading ? std::move(reading.catalog) : Catalog{};
}

CatalogUpdate NotNewerRefused(const std::string& edition, const std::string& inUse)
{
    return Refused(Outcome::NotNewer,
                   "服务器上的产品目录（" + CatalogEditionText(edition) + "）不比正在使用的（" + CatalogEditionText(inUse) +
                       "）新，无需更新。",
                   "edition " + edition + " is not newer than " + inUse);
}

// What the user is told when the data folder could not take the update.
CatalogUpdate NotInstalled(const CatalogFolderFault& fault)
{
    std::string reason = fault.found.empty()
                             ? "无法在“" + fault.path + "”安装产品目录更新：" + SystemErrorReason(fault.systemError)
                             : "“" + fault.path + "”是" + fault.found + "，而这里应是" + fault.expected +
                                   "，无法安装产品目录更新。请移走它后再试。";
    if (!reason.ends_with("。"))
        reason += "。";
    return Refused(Outcome::NotInstalled, reason,
                   fault.path + ": " + (fault.found.empty() ? "system error" : fault.found));
}

}  // namespace

std::string ReadCatalogUpdateAddress(const std::string& versionFile)
{
    try {
        pugi::xml_document document;
        std::string error;
        if (!LoadXmlAddress(versionFile, document, error) ||
            std::strcmp(document.document_element().name(), "dataroot") != 0)
            return {};
        return _GetText(NthDescendant(document.document_element(), "COMMON_INFO", 1), "URL_CATALOG_UPDATE", 1);
    } catch (const std::exception&) {
        return {};
    }
}

CatalogUpdate FetchCatalogUpdate(const CatalogPlaces& places, const FetchLimits& limits, std::stop_token stop,
                                 const FetchProgress& progress)
{
    const std::string address = ReadCatalogUpdateAddress(places.VersionFile());
    if (address.empty())
        return Refused(Outcome::NoAddress, "程序的版本文件中没有产品目录的更新地址（URL_CATALOG_UPDATE）。",
                       places.VersionFile() + ": no URL_CATALOG_UPDATE");
    const std::vector<CatalogKey> keys = LoadCatalogKeys(places.KeyFolder());
    if (keys.empty())
        return SignatureRefused(SignatureCheck::NoKeys);

    CatalogUpdate update;
    std::string error;
    const std::string catalogAddress = address + kCatalogFileName;
    FetchFailure failure = FetchAddress(catalogAddress, update.catalogBytes, error,
                                        FetchLimits{limits.connectTimeout, limits.totalTimeout,
                                                    std::min(limits.maxBytes, kMaxCatalogBytes)},
                                        stop, progress).failure;
    if (failure != FetchFailure::None)
        return FetchRefused(failure, catalogAddress + ": " + error);
    const std::string signatureAddress = catalogAddress + kSignatureSuffix;
    failure = FetchAddress(signatureAddress, update.signature, error,
                           FetchLimits{limits.connectTimeout, limits.totalTimeout, kMaxSignatureFileBytes}, stop).failure;
    // A server that has no such file (404) or a local folder without it: unsigned.
    if (failure == FetchFailure::HttpStatus || failure == FetchFailure::Unreadable)
        update.signature.clear();
    else if (failure == FetchFailure::TooLarge)
        return SignatureRefused(SignatureCheck::Malformed);
    else if (failure != FetchFailure::None)
        return FetchRefused(failure, signatureAddress + ": " + error);

    if (update.catalogBytes.empty())
        return Refused(Outcome::EmptyAnswer, "服务器对产品目录的回答是空的（0 字节），已拒绝。",
                       catalogAddress + ": empty answer");
    const SignatureCheck signature = VerifyCatalogSignature(update.catalogBytes, update.signature, keys).check;
    if (signature != SignatureCheck::Valid)
        return SignatureRefused(signature);
    CatalogReading reading = ReadCatalog(update.catalogBytes);
    if (!reading)
        return ReadingRefused(reading);
    if (reading.catalog.edition.empty())
        return Refused(Outcome::Malformed, "服务器上的产品目录没有版本号，已拒绝。", "the catalogue names no edition");
    const Catalog inUse = CatalogInUse(places);
    if (!IsNewerEdition(inUse.edition, reading.catalog.edition))
        return NotNewerRefused(reading.catalog.edition, inUse.edition);

    update.outcome = Outcome::Accepted;
    update.changes = CompareCatalogs(inUse, reading.catalog);
    update.message = ChangeSummaryText(update.changes);
    return update;
}

CatalogUpdate InstallCatalogUpdate(const CatalogPlaces& places, CatalogUpdate update, const CatalogInstallStep& step)
{
    const CatalogInstallLock lock(places.dataFolder, CatalogInstallLock::Wait::Yes);
    if (!lock)
        return NotInstalled(lock.Fault());
    const Catalog inUse = CatalogInUse(places);
    if (inUse.edition != update.changes.previousEdition) {
        if (!IsNewerEdition(inUse.edition, update.changes.edition))
            return NotNewerRefused(update.changes.edition, inUse.edition);
        CatalogReading reading = ReadCatalog(update.catalogBytes);
        update.changes = CompareCatalogs(inUse, reading.catalog);
        update.message = ChangeSummaryText(update.changes);
    }
    const CatalogInstallResult installed = InstallCatalog(lock, update.catalogBytes, update.signature, step);
    if (installed.stopped && !installed)
        return Refused(Outcome::Stopped, "产品目录的安装被中止。", "stopped by the install step");
    if (!installed)
        return NotInstalled(installed.fault);
    return update;
}

}  // namespace orvane
