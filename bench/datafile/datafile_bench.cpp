// Times CCryptUtil::CreateDataFile and ReadDataFile on 1, 16 and 64 MB
// selections and, on the same bytes, `openssl enc -rc4` plus `openssl dgst
// -md5`; reports throughput, the ratios and the peak resident set. Then
// times the refusal of a hostile file: a sparse file whose header and size
// claim 4 GiB of cipher text. Each measurement runs in a child process of
// its own so that its peak is its own.

#include "CryptUtil.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 3;  // best of
constexpr std::uint32_t kMiB = 1024 * 1024;
constexpr std::uint32_t kContainerOverhead = 24;  // H, MD5 digest, N

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Peak resident set of this process in bytes (VmHWM).
std::uint64_t PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtoull(line.c_str() + 6, nullptr, 10) * 1024;
    return 0;
}

// Selection-like bytes: printable text from a fixed xorshift sequence.
orvane::ByteBuffer MakeSelection(std::uint32_t size, std::uint64_t& checksum)
{
    orvane::ByteBuffer bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    checksum = 1469598103934665603ull;
    for (std::uint32_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        bytes[i] = static_cast<std::uint8_t>(' ' + state % 95);
        checksum = (checksum ^ bytes[i]) * 1099511628211ull;
    }
    return bytes;
}

std::uint64_t Checksum(const std::uint8_t* bytes, std::uint32_t size)
{
    std::uint64_t checksum = 1469598103934665603ull;
    for (std::uint32_t i = 0; i < size; ++i)
        checksum = (checksum ^ bytes[i]) * 1099511628211ull;
    return checksum;
}

// Wall time of a command run to completion with its output discarded; nothing when it fails.
std::optional<double> TimeCommand(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return SecondsSince(start);
}

// The RC4 key as hex: the first 16 bytes of the password's SHA-1.
std::string KeyHex()
{
    const char password[] = "KappaRiverGlyph";
    std::uint32_t size = 0;
    orvane::ByteBuffer digest;
    if (!CCryptUtil().GetHash(CALG_SHA1, sizeof password - 1, reinterpret_cast<const std::uint8_t*>(password),
                              &size, &digest))
        return {};
    std::string hex;
    char pair[3];
    for (std::uint32_t i = 0; i < 16 && i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

bool SameBytesAt(const fs::path& left, std::uint64_t leftOffset, const fs::path& right)
{
    std::ifstream a(left, std::ios::binary), b(right, std::ios::binary);
    a.seekg(static_cast<std::streamoff>(leftOffset));
    std::vector<char> bufferA(1 << 16), bufferB(1 << 16);
    while (a && b) {
        a.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        b.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        if (a.gcount() != b.gcount() || !std::equal(bufferA.begin(), bufferA.begin() + a.gcount(), bufferB.begin()))
            return false;
    }
    return a.eof() && b.eof();
}

// Measures one size; prints one table row. Returns the process exit status.
int MeasureSize(std::uint32_t megabytes, const fs::path& folder)
{
    const std::uint32_t size = megabytes * kMiB;
    const fs::path dataFile = folder / "selection.zsr";
    const fs::path plainFile = folder / "plain.bin";
    const fs::path cipherFile = folder / "cipher.bin";

    // Warm up: libraries and providers loaded before the baseline is taken.
    const std::uint8_t warmUp[] = {'w'};
    if (!CCryptUtil().CreateDataFile(dataFile.string(), 1, warmUp))
        return 1;
    const std::uint64_t baseline = PeakResidentBytes();

    double createBest = 1e9, readBest = 1e9, opensslBest = 1e9;
    bool roundTripOk = true;
    const std::string key = KeyHex();
    for (int round = 0; round < kRounds; ++round) {
        std::uint64_t checksum = 0;
        {
            orvane::ByteBuffer selection = MakeSelection(size, checksum);
            if (round == 0) {
                std::ofstream plain(plainFile, std::ios::binary);
                plain.write(reinterpret_cast<const char*>(selection.get()), size);
            }
            const Clock::time_point start = Clock::now();
            if (!CCryptUtil().CreateDataFile(dataFile.string(), size, selection.get())) {
                std::fprintf(stderr, "CreateDataFile failed for %u MB\n", megabytes);
                return 1;
            }
            createBest = std::min(createBest, SecondsSince(start));
        }
        {
            std::uint32_t readSize = 0;
            orvane::ByteBuffer plain;
            const Clock::time_point start = Clock::now();
            const int result = CCryptUtil().ReadDataFile(dataFile.string(), &readSize, &plain).status;
            readBest = std::min(readBest, SecondsSince(start));
            roundTripOk = roundTripOk && result == orvane::READ_DATA_OK && readSize == size &&
                          Checksum(plain.get(), readSize) == checksum;
        }
        const std::optional<double> encrypt =
            TimeCommand({"openssl", "enc", "-rc4", "-K", key, "-nosalt", "-provider", "legacy", "-provider",
                         "default", "-in", plainFile.string(), "-out", cipherFile.string()});
        const std::optional<double> digest = TimeCommand({"openssl", "dgst", "-md5", cipherFile.string()});
        if (!encrypt || !digest) {
            std::fprintf(stderr, "the openssl command line failed\n");
            return 1;
        }
        opensslBest = std::min(opensslBest, *encrypt + *digest);
    }
    const std::uint64_t peak = PeakResidentBytes();
    const bool sameCiphertext = SameBytesAt(dataFile, kContainerOverhead, cipherFile);

    const double growth = static_cast<double>(peak - baseline) / size;
    std::printf("%5u MB %10.1f %10.1f %12.3f %10.3f %10.3f %9.2f %9.2f %8.1f %8.1f %7.2fx   %s\n", megabytes,
                megabytes / createBest, megabytes / readBest, opensslBest, createBest, readBest,
                createBest / opensslBest, readBest / opensslBest, peak / double(kMiB),
                (peak - baseline) / double(kMiB), growth,
                roundTripOk && sameCiphertext ? "ok" : "MISMATCH");
    return roundTripOk && sameCiphertext ? 0 : 1;
}

// Reads a sparse file of 4 GiB + 23 bytes whose header claims 4 GiB - 1
// bytes of cipher text (a few bytes on disk); prints time and peak growth.
int MeasureHostileFile(const fs::path& folder)
{
    const fs::path hostile = folder / "hostile.zsr";
    const std::uint32_t claimed = 0xFFFFFFFFu;
    {
        std::ofstream file(hostile, std::ios::binary);
        const char header[24] = {16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1, -1};
        file.write(header, sizeof header);
    }
    fs::resize_file(hostile, kContainerOverhead + std::uint64_t{claimed});

    std::uint32_t size = 0;
    orvane::ByteBuffer plain;
    const std::uint64_t baseline = PeakResidentBytes();
    const Clock::time_point start = Clock::now();
    const int result = CCryptUtil().ReadDataFile(hostile.string(), &size, &plain).status;
    const double seconds = SecondsSince(start);
    const std::uint64_t growth = PeakResidentBytes() - baseline;
    fs::remove(hostile);
    std::printf("Sparse file claiming %u bytes of cipher text: result %d in %.3f s, peak growth %.1f MB\n", claimed,
                result, seconds, growth / double(kMiB));
    return result == orvane::READ_DATA_CONTENT_BAD ? 0 : 1;
}

// Runs measure(folder) in a child process; true when it exits with 0.
template <class Measure>
bool RunInChild(Measure measure, const fs::path& folder)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const int status = measure(folder);
        std::fflush(stdout);
        ::_exit(status);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/datafile-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;

    std::printf("CreateDataFile / ReadDataFile against `openssl enc -rc4` + `openssl dgst -md5` (best of %d)\n",
                kRounds);
    std::printf("Each of our operations does one RC4 pass and one MD5 pass, as the openssl pair does;\n"
                "ReadDataFile first checks the digest streaming (a second MD5 pass) before it reads the\n"
                "text in; CreateDataFile also flushes the file and its folder to disk.\n");
    std::printf("%8s %10s %10s %12s %10s %10s %9s %9s %8s %8s %8s   %s\n", "size", "create", "read", "openssl",
                "create", "read", "create/", "read/", "peak", "peak -", "growth/", "check");
    std::printf("%8s %10s %10s %12s %10s %10s %9s %9s %8s %8s %8s\n", "", "MB/s", "MB/s", "s", "s", "s", "openssl",
                "openssl", "RSS MB", "base MB", "size");
    std::fflush(stdout);

    int failures = 0;
    for (const std::uint32_t megabytes : {1u, 16u, 64u})
        failures += RunInChild([megabytes](const fs::path& at) { return MeasureSize(megabytes, at); }, folder) ? 0 : 1;
    failures += RunInChild(MeasureHostileFile, folder) ? 0 : 1;
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return failures == 0 ? 0 : 1;
}
