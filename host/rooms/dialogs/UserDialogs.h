#pragma once
// What the main window asks of the user: message boxes, file dialogs, the
// print preview with its print dialog, modal dialogs and opening web pages. The program uses
// orvane::QtUserDialogs; tests install a scripted implementation.

#include <QUrl>

#include <functional>
#include <optional>
#include <string>
#include <utility>

class QDialog;
class QPrinter;
class QWidget;

namespace orvane {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { None, Error, Exclamation, Information };
enum class MsgResult { Ok, Yes, No, Cancel };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Texts are UTF-8, exactly as the program builds them.
    virtual MsgResult MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // filter is in the "description|pattern|...||" form of the string table.
    // The chosen full path, or nullopt when the user cancelled.
    virtual std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& filter) = 0;
    virtual std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& filter,
                                                       const std::string& initialName,
                                                       const std::string& defaultSuffix) = 0;
    // The same, with which of the filter's file types the user chose (0 the first).
    virtual std::optional<std::pair<std::string, int>> GetSaveFileNameAndType(
        QWidget* owner, const std::string& filter, const std::string& initialName,
        const std::string& defaultSuffix) = 0;
    // The print preview of what paint draws on printer; from it the user
    // prints (the print dialog sets up printer: a printer or "print to file"),
    // and paint draws the pages on it once more. false when the user closed
    // the preview without printing.
    virtual bool PreviewAndPrint(QWidget* owner, QPrinter& printer,
                                 const std::function<void(QPrinter&)>& paint) = 0;
    // Runs a dialog modally; returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;
    virtual void OpenUrl(const QUrl& url) = 0;
};

// The notice when there is nothing to save: "没有数据保存。", caption "保存", OK alone.
void TellNothingToSave(UserDialogs& dialogs, QWidget* owner);

}  // namespace orvane
