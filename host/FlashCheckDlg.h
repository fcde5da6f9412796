#pragma once
// The Flash Player notice (dialog 145): the player is missing or too old;
// its badge opens the player's download page.

#include <QDialog>

#include <string>

namespace orvane {
class UserDialogs;
}
class QLabel;

class CFlashCheckDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFlashCheckDlg(orvane::UserDialogs& dialogs, QWidget* parent = nullptr);
    ~CFlashCheckDlg() override;

    std::string m_strMessage;
    std::string m_strTradeMark;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void DoDataExchange();
    void OnGetFlashPlayer();

    orvane::UserDialogs& m_dialogs;
    bool m_initialised = false;
    QLabel* m_wndMessage;    // 1016
    QLabel* m_wndTradeMark;  // 1019
};
