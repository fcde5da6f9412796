#include "AboutDlg.h"

#include "DialogTemplate.h"
#include "dialogs/UserDialogs.h"
#include "WindowResources.h"

#include "orvane/StringTable.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString FromCrLf(const std::string& text)
{
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

CAboutDlg::CAboutDlg(orvane::UserDialogs& dialogs, QWidget* parent)
    : TemplateDialog(parent), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("版本"));
    setFixedSize(orvane::DialogUnitRect(0, 0, 345, 204).size());
    // A modal frame with caption and close box: no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(orvane::WindowResources::LoadIcon(IDR_MAINFRAME).pixmap(32, 32));
    icon->setGeometry(orvane::DialogUnitRect(10, 11, 20, 21));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("control1"));
    ok->setGeometry(orvane::DialogUnitRect(287, 183, 51, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_wndVersion =
        orvane::StaticText(this, 1003, QStringLiteral("Version"), orvane::DialogUnitRect(93, 27, 50, 9));
    m_wndVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_wndCopyright = orvane::StaticText(this, 1008, QString(), orvane::DialogUnitRect(7, 166, 330, 8));
    m_wndTitle = orvane::StaticText(this, 1009, QString::fromUtf8(orvane::kProgramTitle),
                                    orvane::DialogUnitRect(36, 13, 294, 12));
    orvane::StaticText(this, 1010, QStringLiteral("使用承诺"), orvane::DialogUnitRect(7, 49, 58, 8));

    m_wndTerms = new QPlainTextEdit(this);
    m_wndTerms->setObjectName(QStringLiteral("control1013"));
    m_wndTerms->setReadOnly(true);
    m_wndTerms->setGeometry(orvane::DialogUnitRect(7, 61, 331, 98));
    m_wndTerms->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::_SetVerInfo(const VersionInf& versionInf)
{
    try {
        m_strVersion = "Ver. " + versionInf.strVersion;
        m_strCopyright = versionInf.strCopyright;
        m_strTerms = orvane::LoadResString(orvane::IDS_TERMS_INTRO)
                     + orvane::LoadResString(orvane::IDS_TERMS_RULES)
                     + orvane::LoadResString(orvane::IDS_TERMS_NOTES);
        return true;
    } catch (const std::exception& error) {
        REPORT_ERROR(m_log, 0, "CAboutDlg::_SetVerInfo()", "CAboutDlg::_SetVerInfo()",
                     orvane::ExceptionText(error));
        m_dialogs.MessageBox(this, orvane::MakeErrorText("(#10001)"),
                             orvane::LoadResString(orvane::IDS_ERR_CAPTION), orvane::MsgButtons::Ok,
                             orvane::MsgIcon::Error);
        return false;
    }
}

void CAboutDlg::OnInitDialog()
{
    DoDataExchange();

    const QFont windowFont = parentWidget() ? parentWidget()->font() : QApplication::font();
    QFont titleFont = windowFont;
    titleFont.setPixelSize(15);
    m_wndTitle->setFont(titleFont);
    QFont versionFont = windowFont;
    versionFont.setPixelSize(12);
    m_wndVersion->setFont(versionFont);

    QFont termsFont;
    termsFont.setFamilies({QStringLiteral("NSimSun"), QStringLiteral("SimSun"),
                           QStringLiteral("WenQuanYi Micro Hei Mono"),
                           QStringLiteral("Noto Sans Mono CJK SC")});
    termsFont.setPixelSize(12);
    m_wndTerms->setFont(termsFont);
    QPalette termsPalette = m_wndTerms->palette();
    termsPalette.setColor(QPalette::Base, termsPalette.color(QPalette::Button));
    m_wndTerms->setPalette(termsPalette);
}

void CAboutDlg::DoDataExchange()
{
    m_wndCopyright->setText(QString::fromStdString(m_strCopyright));
    m_wndVersion->setText(QString::fromStdString(m_strVersion));
    m_wndTerms->setPlainText(FromCrLf(m_strTerms));
}
