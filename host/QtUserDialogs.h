#pragma once
// The user dialogs of the program: QMessageBox, QFileDialog, QDialog::exec
// and the desktop's web browser.

#include "UserDialogs.h"

class CQtUserDialogs : public CUserDialogs {
public:
    MsgResult MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon) override;
    std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& filter) override;
    std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& filter,
                                               const std::string& initialName,
                                               const std::string& defaultSuffix) override;
    int RunModal(QDialog& dialog) override;
    void OpenUrl(const QUrl& url) override;
};
