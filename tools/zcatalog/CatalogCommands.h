#pragma once
// The zcatalog tool's commands: a publisher's key pair, the signature of a
// catalogue, and the check the program makes of a signed catalogue. Each
// returns the process exit status and writes a one-line reason to standard
// error on failure.

#include <string>

namespace orvane {

enum : int {
    EXIT_ZCATALOG_OK = 0,
    EXIT_ZCATALOG_FAILED = 1,
    EXIT_ZCATALOG_USAGE = 2,
};

// Writes a new Ed25519 key pair: the private key (PKCS #8, mode 0600) and the
// public key (SubjectPublicKeyInfo), both PEM. Never replaces a file.
int KeygenCommand(const std::string& privatePath, const std::string& publicPath);
// Writes catalogPath + ".sig" for a catalogue the program would accept.
int SignCommand(const std::string& privatePath, const std::string& catalogPath);
// Checks a catalogue (a path or an http(s):// address) and its ".sig" as
// the program does, against the public keys in keyFolder.
int VerifyCommand(const std::string& keyFolder, const std::string& catalogAddress);

}  // namespace orvane
