// ReadDataFromDescriptor, the container checks of ReadDataFile, on arbitrary
// file contents. Nothing touches the disk: the contents go into an in-memory
// file (memfd) and the error records are captured and dropped.

#include "CryptUtil.h"
#include "orvane/ErrorLog.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

int g_file = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_file = memfd_create("fuzz_read_data_file", MFD_CLOEXEC);
    if (g_file < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A memfd takes a whole write at once.
    if (ftruncate(g_file, 0) != 0 || pwrite(g_file, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    orvane::ErrorLogCapture records;
    CCryptUtil crypt;
    std::uint32_t plainSize = 0xFFFFFFFF;
    orvane::ByteBuffer plainData;
    const int result = crypt.ReadDataFromDescriptor(g_file, &plainSize, &plainData).status;
    if (result != orvane::READ_DATA_OK && result != orvane::READ_DATA_FAILED && result != orvane::READ_DATA_CONTENT_BAD)
        std::abort();
    if (result == orvane::READ_DATA_OK) {
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
    return 0;
}
