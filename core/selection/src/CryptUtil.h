#pragma once
// Fixed-key RC4-128 session, digests, and the ".zsr" data-file container.
//
// Output buffers are handed to the caller as ByteBuffer (owning). Out
// parameters are pointers so that an absent one can be reported as a
// parameter error; they are written only on success.

#include "orvane/DataFileFormat.h"
#include "orvane/ErrorLog.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {
using ByteBuffer = std::unique_ptr<std::uint8_t[]>;

// What CreateDataFile or ReadDataFile did, whole.
struct DataFileResult {
    // READ_DATA_OK; READ_DATA_FAILED (a record was written); when reading,
    // READ_DATA_CONTENT_BAD (a size or digest check failed, no record).
    int status = READ_DATA_FAILED;
    // The system's reason for READ_DATA_FAILED (ENOENT, ENOTDIR, EACCES,
    // EISDIR, ENOSPC, EIO, ENOMEM ...; EFBIG for a text over
    // kMaxDataFileTextBytes), 0 when the failure has no system cause (a size
    // check, the cipher). SystemErrorReason turns it into a sentence.
    int systemError = 0;
    // CreateDataFile: the file at the path may have lost its previous content
    // (only the file itself was writable and the rewrite in place failed part-way).
    bool targetDamaged = false;
    // The step that failed, as its record names it ("file.Open()"); empty when none.
    std::string_view failedStep;
    explicit operator bool() const { return status == READ_DATA_OK; }
};
}  // namespace orvane

// Digest identifiers accepted by CCryptUtil::GetHash.
enum : unsigned {
    CALG_MD2 = 0x8001,
    CALG_MD4 = 0x8002,
    CALG_MD5 = 0x8003,
    CALG_SHA1 = 0x8004,
};

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

    // READ_DATA_OK when written. The previous file content stays intact,
    // except when only the file itself is writable and it failed part-way
    // through the rewrite in place (see AtomicFile.h): targetDamaged says so.
    [[nodiscard]] orvane::DataFileResult CreateDataFile(std::string path, std::uint32_t plainSize,
                                                        const std::uint8_t* plainData);
    // READ_DATA_OK with the text in plainSize and plainData, READ_DATA_FAILED
    // or READ_DATA_CONTENT_BAD. Memory use is bounded by the real file size:
    // the digest is checked while the cipher text streams through a small
    // buffer, before the text is read in.
    [[nodiscard]] orvane::DataFileResult ReadDataFile(std::string path, std::uint32_t* plainSize,
                                                      orvane::ByteBuffer* plainData);
    // ReadDataFile on a descriptor the caller opened (a regular file or a
    // memfd): the same checks, results and records from the file status on.
    // Reads from offset 0 on; the descriptor stays open.
    [[nodiscard]] orvane::DataFileResult ReadDataFromDescriptor(int fd, std::uint32_t* plainSize,
                                                                orvane::ByteBuffer* plainData);

private:
    struct Session;
    struct HashState;
    // An uninitialised buffer of size bytes; empty when memory is short.
    static orvane::ByteBuffer NewBuffer(std::size_t size);

    // GetHash in three steps for data that arrives in pieces, with the same
    // records; a failed step ends the digest.
    [[nodiscard]] int BeginHash(unsigned algorithm);
    [[nodiscard]] int ContinueHash(std::uint32_t dataSize, const std::uint8_t* hashInput);
    [[nodiscard]] int FinishHash(std::uint32_t* hashSize, orvane::ByteBuffer* hashData);

    // The container checks of ReadDataFile on an open descriptor.
    [[nodiscard]] orvane::DataFileResult ReadContainer(int fd, std::uint32_t* plainSize,
                                                       orvane::ByteBuffer* plainData);

    std::unique_ptr<Session> m_session;  // present once InitCrypt succeeded
    std::unique_ptr<HashState> m_hash;   // the digest being computed
    CErrorLog m_log;
};
