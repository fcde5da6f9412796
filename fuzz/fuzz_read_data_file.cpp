// ReadDataFile on arbitrary file contents. The file and the error log live in
// a scratch folder made at start-up ($TMPDIR is pointed at it, so each
// CCryptUtil's log writes there); the log is emptied now and then so long
// runs do not fill the disk.

#include "orvane/CryptUtil.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path g_scratch;

void RemoveScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_scratch, ignored);
}

void ClearLogs()
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(g_scratch, ignored))
        if (entry.path().filename().string().starts_with("_ERROR"))
            std::filesystem::remove(entry.path(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/fuzz_read_data_file.XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    g_scratch = pattern;
    setenv("TMPDIR", pattern.c_str(), 1);
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = g_scratch / "input.zsr";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            std::abort();
    }
    CCryptUtil crypt;
    std::uint32_t plainSize = 0xFFFFFFFF;
    ByteBuffer plainData;
    const int result = crypt.ReadDataFile(file.string(), &plainSize, &plainData);
    if (result != READ_DATA_OK && result != READ_DATA_FAILED && result != READ_DATA_CONTENT_BAD)
        std::abort();
    if (result == READ_DATA_OK) {
        // The container is exactly a 4-byte digest length, the digest, a
        // 4-byte text length and the text.
        if (!plainData || std::uint64_t{plainSize} + 24 != size)
            std::abort();
        volatile std::uint8_t sink = 0;
        for (std::uint32_t i = 0; i < plainSize; ++i)
            sink = sink ^ plainData[i];
    } else if (plainData || plainSize != 0xFFFFFFFF) {
        std::abort();  // out parameters are written only on success
    }
    static unsigned calls = 0;
    if (++calls % 4096 == 0)
        ClearLogs();
    return 0;
}
