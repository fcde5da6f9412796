// zcatalog: signs product catalogues for the program's catalogue updates.

#include "CatalogCommands.h"

#include <cstdio>
#include <string>

namespace {

constexpr char kUsage[] =
    "Usage: zcatalog keygen PRIVATE.pem PUBLIC.pem   make a new Ed25519 key pair\n"
    "       zcatalog sign PRIVATE.pem CATALOG.xml    write the signature CATALOG.xml.sig\n"
    "       zcatalog verify KEYDIR CATALOG.xml       check CATALOG.xml and CATALOG.xml.sig as the\n"
    "                                                program does, against the keys KEYDIR/*.pem\n"
    "                                                (CATALOG.xml may be an http(s):// address)\n"
    "       zcatalog --help                          show this help\n"
    "       zcatalog --version                       show the version\n"
    "\n"
    "Exit status: 0 done; 1 failed (the reason goes to standard error); 2 wrong usage.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2) {
        const std::string option = argv[1];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return orvane::EXIT_ZCATALOG_OK;
        }
        if (option == "--version") {
            std::fputs("zcatalog (orvane) " ORVANE_VERSION "\n", stdout);
            return orvane::EXIT_ZCATALOG_OK;
        }
    }
    if (argc == 4) {
        const std::string command = argv[1];
        if (command == "keygen")
            return orvane::KeygenCommand(argv[2], argv[3]);
        if (command == "sign")
            return orvane::SignCommand(argv[2], argv[3]);
        if (command == "verify")
            return orvane::VerifyCommand(argv[2], argv[3]);
    }
    std::fputs(kUsage, stderr);
    return orvane::EXIT_ZCATALOG_USAGE;
}
