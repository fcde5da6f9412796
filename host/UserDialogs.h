#pragma once
// What the main window asks of the user: message boxes, file dialogs, the
// print dialog, modal dialogs and opening web pages. The program uses
// orvane::QtUserDialogs; tests install a scripted implementation.

#include <QUrl>

#include <optional>
#include <string>

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
    // The print dialog set up printer (a printer or "print to file"); false
    // when the user cancelled.
    virtual bool ChoosePrinter(QWidget* owner, QPrinter& printer) = 0;
    // Runs a dialog modally; returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;
    virtual void OpenUrl(const QUrl& url) = 0;
};

}  // namespace orvane
