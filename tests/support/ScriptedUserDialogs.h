#pragma once
// User dialogs for the host tests: records every message box, file dialog,
// print preview, modal dialog and opened address, and answers them from queues.

#include "dialogs/UserDialogs.h"

#include <QUrl>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The host tests name the dialogs' answers briefly.
using orvane::MsgButtons;
using orvane::MsgIcon;
using orvane::MsgResult;

struct ShownBox {
    std::string text;
    std::string caption;
    MsgButtons buttons;
    MsgIcon icon;
    bool ownerShown = false;  // the owner window was visible under the box
};

struct FileDialogRequest {
    std::string filter;
    std::string initialName;
    std::string defaultSuffix;
};

class ScriptedUserDialogs : public orvane::UserDialogs {
public:
    MsgResult MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon) override;
    std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& filter) override;
    std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& filter,
                                               const std::string& initialName,
                                               const std::string& defaultSuffix) override;
    std::optional<std::pair<std::string, int>> GetSaveFileNameAndType(QWidget* owner, const std::string& filter,
                                                                       const std::string& initialName,
                                                                       const std::string& defaultSuffix) override;
    // Records the printer's proposed PDF file, then prints to the PDF file of
    // the next printAnswers entry as the preview's print button would (paint
    // on the real printer); cancels when none is left or it is nullopt.
    bool PreviewAndPrint(QWidget* owner, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
    // Shows the dialog, hands it to onModal, then rejects it if still open.
    int RunModal(QDialog& dialog) override;
    void OpenUrl(const QUrl& url) override;

    // Answers, consumed in order. An unanswered box gets OK or Cancel, an
    // unanswered file dialog is cancelled.
    std::deque<MsgResult> boxAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<int> saveTypeAnswers;  // the file type chosen with each save answer; 0 when none is left
    std::deque<std::optional<std::string>> printAnswers;  // PDF files
    std::function<void(QDialog&)> onModal;
    // Runs while the open dialog is up: what happens meanwhile elsewhere.
    std::function<void()> whileOpenDialogShows;

    std::vector<ShownBox> boxes;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    int printRequests = 0;
    std::vector<std::string> proposedPdfFiles;  // the printer's file name when the preview opened
    std::vector<std::string> modalDialogs;  // class names
    std::vector<QUrl> openedUrls;
};
