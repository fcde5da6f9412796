#pragma once
// The user's work outlives a player that stops or hangs and a program that
// does not end cleanly.
//
// - The movie announces every change of its selection ("zSelectionChanged"),
//   and what a command reads from it is passed on as well: the newest
//   selection is always here, never older than the user's last change,
//   without the movie being asked while nobody works.
// - While it has unsaved changes it is kept in a recovery copy
//   (orvane::RecoveryStore), written kCopyDelay after a change at the latest.
// - A stopped player is started afresh, at most three times in five minutes,
//   and once its movie is ready it is offered the selection it had.
// - A copy left by a run that did not end cleanly is offered at start.
// - A folder that cannot be used, a copy that cannot be written and a damaged
//   copy are each told to the user once.

#include "dialogs/UserDialogs.h"

#include "orvane/RecoveryStore.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace orvane {

class WorkRecovery : public QObject {
    Q_OBJECT
public:
    // What recovery needs of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        std::function<std::string()> savedText;  // the selection as last saved or loaded
        // Puts a selection into the movie ("zLoad"); throws when it cannot be delivered.
        std::function<void(const std::string& text)> loadIntoMovie;
        std::function<void()> restartPlayer;
        // Runs a step that talks to the user as a user action of its own.
        std::function<void(std::function<void()> step)> runAction;
    };

    // A copy is written this long after a change at the latest; changes in
    // between are written together.
    static constexpr std::chrono::milliseconds kCopyDelay{250};

    // folder: where copies are kept; "" keeps none.
    WorkRecovery(Window window, std::string folder, QObject* parent = nullptr);
    ~WorkRecovery() override;

    // Claims this run's copy and looks for copies of runs that did not end cleanly.
    void Open();
    // The movie's selection as it now stands.
    void SelectionSeen(const std::string& text);
    // The selection was saved, loaded or started afresh: text has no unsaved changes.
    void SelectionSettled(const std::string& text);
    // The user chose to lose the unsaved changes: the copy goes.
    void DiscardCopy();
    // Writes the copy now: before a step that may end the program.
    void KeepNow();
    // The player stopped or hung: its selection is kept, and it is started
    // afresh unless it stopped too often. The user is told which.
    void PlayerStopped();
    // The movie's selection as last seen differs from the one saved or loaded.
    [[nodiscard]] bool Unsaved() const;
    // The player stopped too often and is not started again.
    [[nodiscard]] bool PlayerGaveUp() const { return m_gaveUp; }
    // The unsaved selection is in this run's recovery copy, which the next
    // start offers when this run ends without removing it.
    [[nodiscard]] bool CopyKept() const { return m_copyKept && Unsaved(); }
    // The movie is ready: offers what there is to offer. True when this
    // ready follows a restart (the movie then got its selection back and
    // nothing else is opened over it).
    bool MovieReady();

private:
    void WriteCopy();
    void OfferAfterRestart();
    void OfferOrphans();
    // Tells the user once per run, as an action of its own.
    void TellOnce(bool& told, const std::string& text);
    void Tell(const std::string& text);
    bool Ask(const std::string& question);

    Window m_window;
    std::string m_folder;
    std::unique_ptr<RecoveryStore> m_store;
    int m_openFailure = 0;  // the system's reason a store could not be opened for
    std::vector<RecoveryOrphan> m_orphans;
    std::string m_newest;   // the movie's selection as last seen
    QTimer m_copyTimer;
    bool m_firstReady = true;
    bool m_restarted = false;
    std::vector<std::chrono::steady_clock::time_point> m_restarts;
    bool m_toldNotKept = false;
    bool m_gaveUp = false;
    bool m_copyKept = false;  // the last copy written holds m_newest
};

}  // namespace orvane
