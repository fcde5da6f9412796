#pragma once
// Replaces a file's content all at once: the new content is written to a
// temporary file in the target's folder, flushed to disk and renamed over
// the target. Until Commit() succeeds the target stays as it was, and a
// temporary file is never left behind.

#include <cstddef>
#include <string>

class CAtomicFile {
public:
    explicit CAtomicFile(std::string path);
    ~CAtomicFile();  // discards the temporary file unless committed
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Follows symbolic links to the file they name, checks that an existing
    // target could be opened for writing, and creates the temporary file with
    // the target's permission bits (a new file gets 0666 less the umask).
    // false with errno set when any of that fails.
    bool Open();
    // Appends bytes to the temporary file. false with errno set on failure.
    bool Write(const void* data, std::size_t size);
    // Flushes, closes and renames the temporary file over the target, then
    // flushes the folder. false with errno set on failure; a failure before
    // the rename leaves the target untouched.
    bool Commit();

private:
    void Discard();

    std::string m_strPath;       // as given
    std::string m_strTarget;     // the regular file the path leads to
    std::string m_strTemporary;  // empty when there is none
    int m_nFile = -1;
};
