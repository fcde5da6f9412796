#pragma once
// The user dialogs of the program: QMessageBox, QFileDialog,
// QPrintPreviewDialog, QDialog::exec and the desktop's web browser.

#include "dialogs/UserDialogs.h"

#include <QPixmap>

class QCoreApplication;

namespace orvane {

class QtUserDialogs : public UserDialogs {
public:
    // Qt's own texts (standard buttons, the file dialogs and their overwrite
    // question) in Simplified Chinese, from Qt's installed translations.
    // False when they are not installed: Qt's texts then stay English.
    static bool InstallQtTranslations(QCoreApplication& application);

    MsgResult MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon) override;
    std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& filter) override;
    std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& filter,
                                               const std::string& initialName,
                                               const std::string& defaultSuffix) override;
    std::optional<std::pair<std::string, int>> GetSaveFileNameAndType(
        QWidget* owner, const std::string& filter, const std::string& initialName,
        const std::string& defaultSuffix) override;
    bool PreviewAndPrint(QWidget* owner, QPrinter& printer,
                         const std::function<void(QPrinter&)>& paint) override;
    int RunModal(QDialog& dialog) override;
    void OpenUrl(const QUrl& url) override;

private:
    // What every file dialog's header shows before its first title (FileDialogModel).
    QPixmap m_headerPicture;
};

}  // namespace orvane
