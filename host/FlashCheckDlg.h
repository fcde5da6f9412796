#pragma once
// The Flash Player notice (dialog 145): the player is missing or too old;
// its badge opens the player's download page.

#include "DialogTemplate.h"

#include <string>

namespace orvane {
class UserDialogs;
}
class QLabel;

class CFlashCheckDlg : public orvane::TemplateDialog {
    Q_OBJECT
public:
    explicit CFlashCheckDlg(orvane::UserDialogs& dialogs, QWidget* parent = nullptr);
    ~CFlashCheckDlg() override;

    std::string m_strMessage;
    std::string m_strTradeMark;

private:
    void OnInitDialog() override;
    void DoDataExchange();
    void OnGetFlashPlayer();

    orvane::UserDialogs& m_dialogs;
    QLabel* m_wndMessage;    // 1016
    QLabel* m_wndTradeMark;  // 1019
};
