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

using ByteBuffer = std::unique_ptr<std::uint8_t[]>;

// Digest identifiers accepted by CCryptUtil::GetHash.
enum : unsigned {
    CALG_MD2 = 0x8001,
    CALG_MD4 = 0x8002,
    CALG_MD5 = 0x8003,
    CALG_SHA1 = 0x8004,
};

// Results of CCryptUtil::ReadDataFile.
enum : int {
    READ_DATA_OK = 0,
    READ_DATA_FAILED = 1,        // a record was written
    READ_DATA_CONTENT_BAD = 4,   // size or digest mismatch; no record
};

class CCryptUtil {
public:
    CCryptUtil();
    ~CCryptUtil();
    CCryptUtil(const CCryptUtil&) = delete;
    CCryptUtil& operator=(const CCryptUtil&) = delete;

    // Makes the session ready (provider, password digest, RC4 key). 1 or 0.
    int InitCrypt();

    int Encrypt(std::uint32_t plainSize, const std::uint8_t* plainData,
                std::uint32_t* cipherSize, ByteBuffer* cipherData);
    int Decrypt(std::uint32_t cipherSize, const std::uint8_t* cipherData,
                std::uint32_t* plainSize, ByteBuffer* plainData);
    int GetHash(unsigned algorithm, std::uint32_t dataSize, const std::uint8_t* hashInput,
                std::uint32_t* hashSize, ByteBuffer* hashData);

    // 1 when written, 0 on failure (the previous file content stays intact).
    int CreateDataFile(std::string path, std::uint32_t plainSize, const std::uint8_t* plainData);
    // READ_DATA_OK, READ_DATA_FAILED or READ_DATA_CONTENT_BAD.
    int ReadDataFile(std::string path, std::uint32_t* plainSize, ByteBuffer* plainData);

private:
    struct Session;
    // An uninitialised buffer of size bytes; empty (errno ENOMEM) when memory is short.
    static ByteBuffer NewBuffer(std::size_t size);

    int m_nState = 0;
    std::unique_ptr<Session> m_session;
    CErrorLog m_log;
};
