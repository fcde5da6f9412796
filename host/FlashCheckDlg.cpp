#include "FlashCheckDlg.h"

#include "DialogTemplate.h"
#include "dialogs/UserDialogs.h"
#include "WindowResources.h"

#include "orvane/StringTable.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

const char kDownloadPage[] = "https://ruffle.rs/#downloads";


}  // namespace

CFlashCheckDlg::CFlashCheckDlg(orvane::UserDialogs& dialogs, QWidget* parent)
    : TemplateDialog(parent), m_dialogs(dialogs)
{
    setWindowTitle(QString::fromUtf8(orvane::kProgramTitle));
    setFixedSize(orvane::DialogUnitRect(0, 0, 271, 128).size());
    // A modal frame with caption and close box: no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("control1"));
    ok->setGeometry(orvane::DialogUnitRect(111, 107, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_wndMessage = orvane::StaticText(this, 1016, QStringLiteral("1:ERR_MSG1\n2:ERR_MSG1\n3:ERR_MSG1\n"),
                              orvane::DialogUnitRect(34, 7, 224, 42));

    auto* badge = new QPushButton(this);
    badge->setObjectName(QStringLiteral("control1018"));
    badge->setFlat(true);
    const QPixmap badgeImage = orvane::WindowResources::LoadBitmap(IDB_GET_PLAYER);
    badge->setIcon(badgeImage);
    badge->setIconSize(badgeImage.size());
    badge->setGeometry(QRect(orvane::DialogUnitRect(10, 61, 50, 21).topLeft(), QSize(88, 31)));
    badge->setCursor(Qt::PointingHandCursor);
    badge->setFocusPolicy(Qt::NoFocus);
    connect(badge, &QPushButton::clicked, this, &CFlashCheckDlg::OnGetFlashPlayer);

    m_wndTradeMark = orvane::StaticText(this, 1019, QStringLiteral("IDC_TRADE_MARK"),
                                        orvane::DialogUnitRect(10, 83, 248, 15));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("control1020"));
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    icon->setGeometry(orvane::DialogUnitRect(10, 7, 20, 20));
}

CFlashCheckDlg::~CFlashCheckDlg() = default;

void CFlashCheckDlg::OnInitDialog()
{
    DoDataExchange();
    QFont messageFont = font();
    messageFont.setPixelSize(14);
    messageFont.setWeight(QFont::Medium);
    m_wndMessage->setFont(messageFont);
    QFont tradeMarkFont = messageFont;
    tradeMarkFont.setPixelSize(10);
    m_wndTradeMark->setFont(tradeMarkFont);
}

void CFlashCheckDlg::DoDataExchange()
{
    m_wndMessage->setText(QString::fromStdString(m_strMessage));
    m_wndTradeMark->setText(QString::fromStdString(m_strTradeMark));
}

void CFlashCheckDlg::OnGetFlashPlayer() { m_dialogs.OpenUrl(QUrl(QString::fromLatin1(kDownloadPage))); }
