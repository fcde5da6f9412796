#include "CatalogCommands.h"

#include "orvane/Catalog.h"
#include "orvane/CatalogSignature.h"
#include "orvane/TextFile.h"

#include "HttpFetch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>

namespace orvane {

namespace {

int Fail(const std::string& path, const std::string& reason)
{
    std::fprintf(stderr, "zcatalog: %s: %s\n", path.c_str(), reason.c_str());
    return EXIT_ZCATALOG_FAILED;
}

// A file or http(s) address whole, up to the catalogue's size limit.
std::optional<std::string> Read(const std::string& address, std::string& error)
{
    std::string bytes;
    if (FetchAddress(address, bytes, error, FetchLimits{.maxBytes = kMaxCatalogBytes}) != FetchFailure::None)
        return std::nullopt;
    return bytes;
}

bool Write(const std::string& path, const std::string& text, std::string& error)
{
    const FileWriteResult written = WriteWholeFile(path, text);
    if (written)
        return true;
    error = std::strerror(written.systemError);
    return false;
}

// The catalogue as the program reads it; it must name its edition.
std::optional<Catalog> Accepted(const std::string& path, const std::string& bytes)
{
    CatalogReading reading = ReadCatalog(bytes);
    if (!reading) {
        Fail(path, "the program would refuse this catalogue: " + reading.reason);
        return std::nullopt;
    }
    if (reading.catalog.edition.empty()) {
        Fail(path, "the catalogue root names no edition (edition=\"2026.1\"): updates must have one");
        return std::nullopt;
    }
    return std::move(reading.catalog);
}

std::string Describe(const Catalog& catalog)
{
    std::string text = "edition " + catalog.edition;
    if (!catalog.date.empty())
        text += " of " + catalog.date;
    text += ", " + std::to_string(catalog.items.size()) + " items";
    if (catalog.skipped > 0)
        text += " (" + std::to_string(catalog.skipped) + " damaged or repeated items skipped)";
    return text;
}

std::string SignatureReason(SignatureCheck check)
{
    switch (check) {
    case SignatureCheck::NoKeys:
        return "no Ed25519 public key (*.pem) in the key folder";
    case SignatureCheck::Missing:
        return "the signature is empty";
    case SignatureCheck::Malformed:
        return "the signature is not 64 bytes in base64";
    default:
        return "the signature verifies with none of the keys: made with another key, or the catalogue changed";
    }
}

}  // namespace

int KeygenCommand(const std::string& privatePath, const std::string& publicPath)
{
    for (const std::string& path : {privatePath, publicPath}) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0)
            return Fail(path, "exists already; a key file is never replaced");
    }
    const std::optional<CatalogKeyPair> pair = MakeCatalogKeyPair();
    if (!pair)
        return Fail(privatePath, "OpenSSL could not make an Ed25519 key pair");
    std::string error;
    // The private key is for its owner's eyes only.
    const mode_t umask = ::umask(077);
    const bool privateWritten = Write(privatePath, pair->privatePem, error);
    ::umask(umask);
    if (!privateWritten)
        return Fail(privatePath, error);
    if (!Write(publicPath, pair->publicPem, error))
        return Fail(publicPath, error);
    std::printf("%s: private key (keep it secret)\n%s: public key (install it in the program's catalog-keys/)\n",
                privatePath.c_str(), publicPath.c_str());
    return EXIT_ZCATALOG_OK;
}

int SignCommand(const std::string& privatePath, const std::string& catalogPath)
{
    std::string error;
    const std::optional<std::string> key = Read(privatePath, error);
    if (!key)
        return Fail(privatePath, error);
    const std::optional<std::string> bytes = Read(catalogPath, error);
    if (!bytes)
        return Fail(catalogPath, error);
    const std::optional<Catalog> catalog = Accepted(catalogPath, *bytes);
    if (!catalog)
        return EXIT_ZCATALOG_FAILED;
    const std::optional<std::string> signature = SignCatalog(*key, *bytes);
    if (!signature)
        return Fail(privatePath, "not an Ed25519 private key in PEM (or a wrong pass phrase)");
    const std::string signaturePath = catalogPath + kSignatureSuffix;
    if (!Write(signaturePath, *signature, error))
        return Fail(signaturePath, error);
    std::printf("%s: signed %s\n", signaturePath.c_str(), Describe(*catalog).c_str());
    return EXIT_ZCATALOG_OK;
}

int VerifyCommand(const std::string& keyFolder, const std::string& catalogAddress)
{
    const std::vector<CatalogKey> keys = LoadCatalogKeys(keyFolder);
    std::string error;
    const std::optional<std::string> bytes = Read(catalogAddress, error);
    if (!bytes)
        return Fail(catalogAddress, error);
    const std::string signatureAddress = catalogAddress + kSignatureSuffix;
    const std::optional<std::string> signature = Read(signatureAddress, error);
    if (!signature)
        return Fail(signatureAddress, error);
    const SignatureVerdict verdict = VerifyCatalogSignature(*bytes, *signature, keys);
    if (verdict.check != SignatureCheck::Valid)
        return Fail(verdict.check == SignatureCheck::NoKeys ? keyFolder : signatureAddress,
                    SignatureReason(verdict.check));
    const std::optional<Catalog> catalog = Accepted(catalogAddress, *bytes);
    if (!catalog)
        return EXIT_ZCATALOG_FAILED;
    std::printf("%s: ok, %s, signed with %s\n", catalogAddress.c_str(), Describe(*catalog).c_str(),
                verdict.keyName.c_str());
    return EXIT_ZCATALOG_OK;
}

}  // namespace orvane
