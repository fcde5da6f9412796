#pragma once
// Recovery copies of unsaved selections. While a selection has unsaved
// changes the program keeps its latest text in a copy of its own, in the
// selection-file format, in the user's state folder; saving, discarding or
// closing cleanly removes it. A copy whose program ended without removing it
// (killed, crashed, power lost) is an orphan, found at the next start.
//
// Each running program holds an flock on "<slot>.lock" beside its copy
// "<slot>.zsr"; a copy whose lock nobody holds is an orphan. Lock files that
// killed runs left without a copy are removed by the next start.
//
// The folder must be the user's own: it is never reached through a symbolic
// link, and one that belongs to another user is refused, never changed. One
// of the user's own is made private (mode 0700) if it is not.

#include "orvane/TextFile.h"

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

namespace detail {
class FileDescriptor;
}

// $XDG_STATE_HOME/orvane/, or ~/.local/state/orvane/ (with a trailing '/').
[[nodiscard]] std::string DefaultRecoveryFolder();

struct RecoveryOrphan {
    std::string path;  // the copy
    std::time_t modified = 0;
};

class RecoveryStore {
public:
    explicit RecoveryStore(std::string folder);
    // Releases this program's slot; its copy stays (for the next start) unless discarded.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Whether the store claimed its slot, and the system's reason when not
    // (EACCES: the folder is a link or another user's).
    struct Claim {
        int systemError = 0;
        explicit operator bool() const { return systemError == 0; }
    };
    // Creates the folder (owner only) and claims a slot for this program.
    // Without a slot no copies are kept.
    [[nodiscard]] Claim Open();
    // Copies left by programs that are no longer running, newest first.
    [[nodiscard]] std::vector<RecoveryOrphan> FindOrphans() const;
    // Replaces this program's copy with text, on the one save road (nothing
    // is written when the copy holds that text already).
    [[nodiscard]] FileWriteResult Save(const std::string& text);
    // Removes this program's copy.
    void Discard();

    // The text of a copy; nullopt when it cannot be read.
    [[nodiscard]] static std::optional<std::string> Read(const std::string& path);
    // Removes an orphan and its lock file.
    static void Remove(const RecoveryOrphan& orphan);
    // Moves an orphan that cannot be read out of the way of later starts
    // ("<slot>.zsr.damaged"), and removes its lock file. The new path.
    static std::string SetAside(const RecoveryOrphan& orphan);

private:
    void RemoveStaleLocks() const;

    std::string m_folder;
    std::string m_slot;  // path without extension; empty until Open()
    std::unique_ptr<detail::FileDescriptor> m_lock;
    bool m_hasCopy = false;
    std::string m_text;  // what the copy holds
};

}  // namespace orvane
