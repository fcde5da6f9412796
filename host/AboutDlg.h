#pragma once
// The about box (dialog 100): version, copyright line and terms of use.

#include "orvane/ErrorLog.h"
#include "orvane/VersionInf.h"

#include <QDialog>

#include <string>

namespace orvane {
class UserDialogs;
}
class QLabel;
class QPlainTextEdit;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(orvane::UserDialogs& dialogs, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // Fills the texts from the version record and the terms strings. False
    // after an error (reported already).
    bool _SetVerInfo(const VersionInf& versionInf);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void DoDataExchange();

    std::string m_strCopyright;
    std::string m_strVersion;
    std::string m_strTerms;
    CErrorLog m_log;
    orvane::UserDialogs& m_dialogs;
    bool m_initialised = false;

    QLabel* m_wndTitle;        // 1009
    QLabel* m_wndVersion;      // 1003
    QLabel* m_wndCopyright;    // 1008
    QPlainTextEdit* m_wndTerms;  // 1013
};
