#pragma once
// The about box (dialog 100): version, copyright line and terms of use.

#include "orvane/ErrorLog.h"
#include "orvane/VersionInf.h"

#include "DialogTemplate.h"

#include <string>

namespace orvane {
class UserDialogs;
}
class QLabel;
class QPlainTextEdit;

class CAboutDlg : public orvane::TemplateDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(orvane::UserDialogs& dialogs, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // Fills the texts from the version record and the terms strings. False
    // after an error (reported already).
    bool _SetVerInfo(const VersionInf& versionInf);

private:
    void OnInitDialog() override;
    void DoDataExchange();

    std::string m_strCopyright;
    std::string m_strVersion;
    std::string m_strTerms;
    CErrorLog m_log;
    orvane::UserDialogs& m_dialogs;

    QLabel* m_wndTitle;        // 1009
    QLabel* m_wndVersion;      // 1003
    QLabel* m_wndCopyright;    // 1008
    QPlainTextEdit* m_wndTerms;  // 1013
};
