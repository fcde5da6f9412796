#pragma once
// Recovery copies of unsaved selections. While a selection has unsaved
// changes the program keeps its latest text in a copy of its own, in the
// selection-file format, in the user's state folder; saving, discarding or
// closing cleanly removes it. A copy whose program ended without removing it
// (killed, crashed, power lost) is an orphan, found at the next start.
//
// Each running program holds an flock on "<slot>.lock" beside its copy
// "<slot>.zsr"; a copy whose lock nobody holds is an orphan.

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

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

    // Creates the folder (owner only) and claims a slot for this program.
    // false when that cannot be done: no copies are kept then.
    [[nodiscard]] bool Open();
    // Copies left by programs that are no longer running, newest first.
    [[nodiscard]] std::vector<RecoveryOrphan> FindOrphans() const;
    // Replaces this program's copy with text, atomically (nothing is
    // written when the copy holds that text already). false on failure.
    [[nodiscard]] bool Save(const std::string& text);
    // Removes this program's copy.
    void Discard();
    [[nodiscard]] bool HasCopy() const { return m_bHasCopy; }

    // The text of a copy; nullopt when it cannot be read.
    [[nodiscard]] static std::optional<std::string> Read(const std::string& path);
    // Removes an orphan and its lock file.
    static void Remove(const RecoveryOrphan& orphan);

private:
    std::string m_strFolder;
    std::string m_strSlot;  // path without extension; empty until Open()
    int m_nLock = -1;
    bool m_bHasCopy = false;
    std::string m_strText;  // what the copy holds
};

}  // namespace orvane
