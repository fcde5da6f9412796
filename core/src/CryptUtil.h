#pragma once
// Fixed-key RC4-128 session, digests, and the ".zsr" data-file container.
//
// Output buffers are handed to the caller as ByteBuffer (owning). Out
// parameters are pointers so that an absent one can be reported as a
// parameter error; they are written only on success.

#include "orvane/ErrorLog.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {
using ByteBuffer = std::unique_ptr<std::uint8_t[]>;
}  // namespace orvane

// Digest identifiers accepted by CCryptUtil::GetHash.
enum : unsigned {
    CALG_MD2 = 0x8001,
    CALG_MD4 = 0x8002,
    CALG_MD5 = 0x8003,
    CALG_SHA1 = 0x8004,
};

namespace orvane {

// Results of CCryptUtil::ReadDataFile.
enum : int {
    READ_DATA_OK = 0,
    READ_DATA_FAILED = 1,        // a record was written
    READ_DATA_CONTENT_BAD = 4,   // size or digest mismatch, or over the size limit; no record
};

// The largest selection text a ".zsr" file may hold (its cipher text has the
// same length): 64 MiB, far above any real selection. ReadDataFile refuses a
// larger file with READ_DATA_CONTENT_BAD before reading it, and
// CreateDataFile refuses a larger text, so the program never writes a file
// it would refuse to open.
inline constexpr std::uint32_t kMaxDataFileTextBytes = 64u * 1024 * 1024;

}  // namespace orvane

class CCryptUtil {
public:
    CCryptUtil();
    ~CCryptUtil();
    CCryptUtil(const CCryptUtil&) = delete;
    CCryptUtil& operator=(const CCryptUtil&) = delete;

    // Makes the session ready (provider, password digest, RC4 key). 1 or 0.
    [[nodiscard]] int InitCrypt();

    [[nodiscard]] int Encrypt(std::uint32_t plainSize, const std::uint8_t* plainData,
                std::uint32_t* cipherSize, orvane::ByteBuffer* cipherData);
    [[nodiscard]] int Decrypt(std::uint32_t cipherSize, const std::uint8_t* cipherData,
                std::uint32_t* plainSize, orvane::ByteBuffer* plainData);
    [[nodiscard]] int GetHash(unsigned algorithm, std::uint32_t dataSize, const std::uint8_t* hashInput,
                std::uint32_t* hashSize, orvane::ByteBuffer* hashData);

    // The system's reason for a failure: after CreateDataFile returns 0 or
    // ReadDataFile returns READ_DATA_FAILED, errno holds the error code of
    // the step that failed (ENOENT, ENOTDIR, EACCES, EISDIR, ENOSPC, EIO,
    // ENOMEM ...; EFBIG for a text over kMaxDataFileTextBytes), or 0 when the
    // failure has no system cause (a size check, the cipher). The destructor
    // leaves errno alone, so a temporary CCryptUtil() may make the call.
    // orvane::SystemErrorReason turns the code into a sentence for the user.

    // 1 when written, 0 on failure. The previous file content stays intact,
    // except when only the file itself is writable and it failed part-way
    // through the rewrite in place (see AtomicFile.h): TargetDamaged() says so.
    [[nodiscard]] int CreateDataFile(std::string path, std::uint32_t plainSize, const std::uint8_t* plainData);
    // After CreateDataFile returned 0: whether the file at its path may have
    // lost its previous content.
    [[nodiscard]] bool TargetDamaged() const { return m_bTargetDamaged; }
    // READ_DATA_OK, READ_DATA_FAILED or READ_DATA_CONTENT_BAD. Memory use is
    // bounded by the real file size: the digest is checked while the cipher
    // text streams through a small buffer, before the text is read in.
    [[nodiscard]] int ReadDataFile(std::string path, std::uint32_t* plainSize, orvane::ByteBuffer* plainData);
    // ReadDataFile on a descriptor the caller opened (a regular file or a
    // memfd): the same checks, results and records from the file status on.
    // Reads from offset 0 on; the descriptor stays open.
    [[nodiscard]] int ReadDataFromDescriptor(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData);

private:
    struct Session;
    struct HashState;
    // An uninitialised buffer of size bytes; empty (errno ENOMEM) when memory is short.
    static orvane::ByteBuffer NewBuffer(std::size_t size);

    // GetHash in three steps for data that arrives in pieces, with the same
    // records; a failed step ends the digest.
    [[nodiscard]] int BeginHash(unsigned algorithm);
    [[nodiscard]] int ContinueHash(std::uint32_t dataSize, const std::uint8_t* hashInput);
    [[nodiscard]] int FinishHash(std::uint32_t* hashSize, orvane::ByteBuffer* hashData);

    // The container checks of ReadDataFile on an open descriptor.
    [[nodiscard]] int ReadContainer(int fd, std::uint32_t* plainSize, orvane::ByteBuffer* plainData);

    std::unique_ptr<Session> m_session;  // present once InitCrypt succeeded
    std::unique_ptr<HashState> m_hash;   // the digest being computed
    CErrorLog m_log;
    bool m_bTargetDamaged = false;  // the last CreateDataFile failed part-way in place
};
