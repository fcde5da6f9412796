#include "DialogTemplate.h"

#include <QLabel>

#include <utility>

namespace orvane {

QLabel* StaticText(QWidget* parent, int id, const QString& text, const QRect& rect)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("control%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    if (!std::exchange(m_initialised, true))
        OnInitDialog();
    QDialog::showEvent(event);
}

}  // namespace orvane
