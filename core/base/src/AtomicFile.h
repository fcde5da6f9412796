#pragma once
// Replaces a file's content all at once. The new content goes to an unnamed
// file in the target's folder (O_TMPFILE) that gets a name only when it is
// complete and on disk: it is linked as ".NAME.XXXXXXXX.tmp" and at once
// renamed over the target. Until Commit() succeeds the target stays as it
// was, and a process killed on the way leaves nothing behind.
//
// Where the file system has no unnamed files, the content goes to the named
// temporary file from the start. Every save removes the temporary files of
// its target that a killed save left: those matching the exact pattern,
// owned by this user and no longer locked by the save that made them (each
// save holds an exclusive flock on its temporary file).
//
// When the folder refuses new files (EACCES, EPERM) but the existing target
// itself is writable, the target is rewritten in place instead: the only
// way to save there. Reserve() claims the space first, so that a full disk
// or a size limit fails before the old content is touched; a failure after
// that (an I/O error) damages it. InPlaceReason() tells the caller, who
// records it, and TargetTouched() whether a failure may have changed it. The
// folder's refusal is no failure and writes no record.
//
// Symbolic links are followed to the file they name, except where the kernel
// itself would refuse to follow one (fs.protected_symlinks): a link in a
// sticky folder every user may write to (/tmp) that belongs neither to this
// user nor to the folder's owner.

#include "PosixFile.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace orvane::detail {

class AtomicFile {
public:
    // When the temporary file gets its name. FromStart is what file systems
    // without unnamed files get anyway; tests ask for it to exercise them.
    enum class TemporaryName { AtCommit, FromStart };

    explicit AtomicFile(std::string path, TemporaryName naming = TemporaryName::AtCommit);
    ~AtomicFile();  // discards the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Follows symbolic links to the file they name, checks that an existing
    // target could be opened for writing, and creates the temporary file with
    // the target's owner, group (where the process may set them) and
    // permission bits (a new file gets 0666 less the umask). Not done, with
    // the system's reason, when any of that fails.
    [[nodiscard]] SystemResult Open();
    // The system's reason with which the folder refused the temporary file
    // when Open() fell back to rewriting the target in place; 0 otherwise.
    [[nodiscard]] int InPlaceReason() const { return m_inPlaceReason; }
    // When rewriting in place: claims the space for size bytes of new content
    // before any is written, where the file system can. Not done when the
    // space is not there. Does nothing for a temporary file.
    [[nodiscard]] SystemResult Reserve(std::size_t size);
    // Whether the target's old content may be changed though Commit() did not
    // succeed: only after bytes were written to it in place.
    [[nodiscard]] bool TargetTouched() const { return m_inPlaceReason != 0 && m_written; }
    // Appends bytes to the new content.
    [[nodiscard]] SystemResult Write(const void* data, std::size_t size);
    // Flushes the new content and puts it in place of the target, then
    // flushes the folder. A failure before the rename leaves the target
    // untouched.
    [[nodiscard]] SystemResult Commit();

private:
    SystemResult CreateNamedTemporary();
    SystemResult LinkUnnamedTemporary();
    void RemoveStaleTemporaries() const;
    [[nodiscard]] std::string TemporaryPrefix() const;
    void Discard();

    std::string m_path;        // as given
    TemporaryName m_naming;
    std::string m_target;      // the regular file the path leads to
    std::string m_targetName;  // its last component
    FileDescriptor m_folder;   // the target's folder
    FileDescriptor m_file;     // the new content, or the target rewritten in place
    std::string m_temporary;   // the temporary file's name in the folder; empty while it has none
    int m_inPlaceReason = 0;
    bool m_written = false;    // Write() has been called
};

// The step at which SaveWhole failed.
enum class SaveFailure { None, Open, Reserve, Write };

struct SaveResult {
    SaveFailure failure = SaveFailure::None;
    int systemError = 0;  // the system's reason for the failure
    // The target's old content may be lost: the failure came part-way
    // through a rewrite in place.
    bool targetDamaged = false;
    explicit operator bool() const { return failure == SaveFailure::None; }
};

// The one road every file the program writes takes: the pieces, one after
// the other, become the file's whole content, or the file stays as it was.
// The space is claimed before old bytes are touched.
[[nodiscard]] SaveResult SaveWhole(const std::string& path, std::span<const std::string_view> pieces);

}  // namespace orvane::detail
