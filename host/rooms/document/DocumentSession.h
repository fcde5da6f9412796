#pragma once
// The selection document: the current file (untitled or titled), the text as
// last saved or loaded, what the file was on disk, and the commands that
// replace or write it. New, Open, Save and Save As ask about unsaved changes
// and for file names through the dialogs; the movie holds the selection and
// is reached through the window's functions.

#include "dialogs/UserDialogs.h"
#include "document/FileIdentity.h"

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

class DocumentSession {
public:
    // What the session needs of the movie.
    struct Movie {
        // Its selection ("zSave"); nullopt after the user was told its reply is unusable.
        std::function<std::optional<std::string>()> selection;
        // Puts a selection into it ("zLoad"); throws when it cannot be delivered.
        std::function<void(const std::string& text)> load;
        // Starts a new, empty selection ("zNewOpen").
        std::function<void()> startNew;
    };
    // What it needs of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        Movie movie;
        // Runs body under the handler guard, label naming it in the record:
        // false after a failure, which was recorded and shown.
        std::function<bool(const char* label, const std::function<void()>& body)> runGuarded;
        std::function<void(const std::string& text)> showError;
        // Nothing is unsaved: text was saved, loaded or started afresh.
        std::function<void(const std::string& text)> settled;
        // The user chose to lose the unsaved changes.
        std::function<void()> discarded;
        // The current file is now path ("" once untitled).
        std::function<void(const std::string& path)> currentFileChanged;
    };

    explicit DocumentSession(Window window);

    // The current file ("" while untitled) and the text as last saved or loaded.
    [[nodiscard]] const std::string& FilePath() const { return m_strFilePath; }
    [[nodiscard]] const std::string& SavedText() const { return m_savedText; }

    // The save prompt, then an empty selection, untitled. False when the user held back.
    bool NewFile();
    // The save prompt, then the open dialog and the file chosen.
    bool Open();
    // The movie's selection to the current file, after the save dialog when untitled.
    void Save();
    // The movie's selection through the save dialog; cancelled or failed, the
    // current file stays what it was.
    void SaveAs();
    // Whether a command replacing the selection may go on, after the save
    // prompt when text has unsaved changes; text: the movie's, nullopt when
    // unreadable (the user then decides whether to go on).
    bool MaybeSave(const std::optional<std::string>& text);
    // As MaybeSave with the movie's selection, a failure to read it recorded
    // under guardLabel: a movie that fails never keeps the user from closing.
    bool MaybeSaveBeforeExit(const char* guardLabel);
    // The open dialog, then LoadFile; 0 when cancelled.
    int OpenChosen();
    // Reads path into the movie, guarded; 0 when loaded, else the read's
    // outcome, told to the user with nothing changed.
    int LoadFile(const std::string& path);
    // text to the current file, after the save dialog (whose name is current
    // at once) when untitled, after asking when another program changed it.
    bool SaveToCurrentFile(const std::string& text);
    // text written to path, guarded: path becomes current and text saved.
    bool SaveFile(const std::string& path, const std::string& text);
    // The selection is tied to no file and counts as unsaved.
    void Untie();

private:
    std::string TextToSave();  // "" after telling the user there is nothing to save
    int ReadFile(const std::string& path);
    bool WriteFile(const std::string& path, const std::string& text);
    void SetSavedText(const std::string& text);
    // m_strFilePath becomes path ("" for untitled); onDisk: its file as last read or written here.
    void SetCurrentFile(std::string path, std::optional<FileIdentity> onDisk = std::nullopt);
    // A question with the save prompt's caption and icon.
    MsgResult Ask(const std::string& question, MsgButtons buttons);

    Window m_window;
    std::string m_strFilePath;
    std::string m_savedText;
    std::optional<FileIdentity> m_fileOnDisk;  // the current file as last read or written
};

}  // namespace orvane
