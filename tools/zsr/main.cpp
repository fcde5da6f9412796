// zsr: reads, writes and checks ".zsr" selection files from the command line.

#include "SelectionCommands.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

constexpr char kUsage[] =
    "Usage: zsr decode FILE   write the selection text stored in FILE to standard output\n"
    "       zsr encode FILE   store standard input, byte for byte, as the selection text of FILE\n"
    "       zsr verify FILE   check FILE without printing its text\n"
    "       zsr --help        show this help\n"
    "       zsr --version     show the version\n"
    "\n"
    "Exit status: 0 done; 1 FILE could not be opened, read, written or decrypted (a record\n"
    "goes to the error log _ERRORdd.log in $TMPDIR or /tmp); 4 FILE failed its content check\n"
    "(size or digest mismatch: damaged, not a selection file, or over the size limit); 2 wrong usage.\n"
    "Selection texts are limited to 64 MiB.\n";

}  // namespace

int main(int argc, char** argv)
{
    // A closed pipe on standard output becomes a reported write error.
    std::signal(SIGPIPE, SIG_IGN);

    if (argc == 2) {
        const std::string option = argv[1];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return orvane::EXIT_ZSR_OK;
        }
        if (option == "--version") {
            std::fputs("zsr (orvane) " ORVANE_VERSION "\n", stdout);
            return orvane::EXIT_ZSR_OK;
        }
    }
    if (argc == 3) {
        const std::string command = argv[1];
        const std::string path = argv[2];
        if (command == "decode")
            return orvane::DecodeCommand(path);
        if (command == "encode")
            return orvane::EncodeCommand(path);
        if (command == "verify")
            return orvane::VerifyCommand(path);
    }
    std::fputs(kUsage, stderr);
    return orvane::EXIT_ZSR_USAGE;
}
