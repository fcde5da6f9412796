#pragma once
// Signatures of catalogue files: Ed25519 over the file's exact bytes. The
// publisher signs with a private key of their own; the program trusts the
// public keys installed with it, one PEM file (SubjectPublicKeyInfo,
// "-----BEGIN PUBLIC KEY-----") each in a folder beside it, so that a new key
// can be shipped before the old one is retired. A signature travels in a
// file of its own, the catalogue's name followed by ".sig": the 64 bytes in
// base64 (88 characters), on one line.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

inline constexpr const char* kSignatureSuffix = ".sig";

struct CatalogKey {
    std::string name;  // the key file's name
    std::array<unsigned char, 32> publicKey{};
};

// The Ed25519 public keys of the "*.pem" files in folder, by file name; a
// file that holds none (or is not a regular file, or over 64 KiB) is left out.
[[nodiscard]] std::vector<CatalogKey> LoadCatalogKeys(const std::string& folder);

enum class SignatureCheck {
    Valid,
    NoKeys,     // no key is installed: nothing can be trusted
    Missing,    // the signature text is empty
    Malformed,  // not 64 bytes in base64
    OtherKey,   // made by a key that is not installed, or over other bytes
};

struct SignatureVerdict {
    SignatureCheck check = SignatureCheck::Missing;
    std::string keyName;  // the key that verified it, when Valid
};

// Checks signatureText (a signature file's content; white space around it
// does not count) over catalogBytes against every key.
[[nodiscard]] SignatureVerdict VerifyCatalogSignature(std::string_view catalogBytes, std::string_view signatureText,
                                                      const std::vector<CatalogKey>& keys);

// The publisher's side: a new key pair as PEM texts (the private key as
// unencrypted PKCS #8), and the signature file text ("...==\n") for a
// catalogue. SignCatalog reads an encrypted private key too, asking for its
// pass phrase on the terminal. nullopt when OpenSSL fails or the key is not
// an Ed25519 private key.
struct CatalogKeyPair {
    std::string privatePem;
    std::string publicPem;
};
[[nodiscard]] std::optional<CatalogKeyPair> MakeCatalogKeyPair();
[[nodiscard]] std::optional<std::string> SignCatalog(std::string_view privateKeyPem, std::string_view catalogBytes);

}  // namespace orvane
