#include "BomNotice.h"

#include <QLabel>
#include <QWidget>

namespace orvane {

BomNotice::BomNotice(QWidget* owner) : m_owner(owner)
{
    m_hide.setSingleShot(true);
    m_hide.setInterval(kShownMs);
    QObject::connect(&m_hide, &QTimer::timeout, [this] {
        if (m_label)
            m_label->hide();
    });
}

void BomNotice::Show(const QString& text)
{
    if (!m_owner)
        return;
    if (!m_label) {
        m_label = new QLabel(m_owner);
        m_label->setObjectName(QStringLiteral("bomNotice"));
        m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_label->setStyleSheet(QStringLiteral("QLabel { background: rgba(30, 38, 48, 220); color: white; "
                                              "border-radius: 6px; padding: 8px 16px; }"));
    }
    m_label->setText(text);
    m_label->adjustSize();
    // Low in the middle of the window, over the movie's status line.
    m_label->move((m_owner->width() - m_label->width()) / 2, m_owner->height() - m_label->height() - 48);
    m_label->raise();
    m_label->show();
    m_hide.start();
}

}  // namespace orvane
