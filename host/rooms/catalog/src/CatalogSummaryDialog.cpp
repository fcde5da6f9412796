#include "CatalogSummaryDialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orvane {

namespace {

// A tab stop past the widest field of the tab-separated lines, so that every
// column starts at the same place and no two fields run together.
qreal ColumnWidth(const QString& list, const QFontMetricsF& metrics)
{
    qreal widest = 0;
    for (const QString& line : list.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i + 1 < fields.size(); ++i)  // a line's last field ends no column
            widest = std::max(widest, metrics.horizontalAdvance(fields[i]));
    }
    return widest + 2 * metrics.horizontalAdvance(QLatin1Char(' '));
}

}  // namespace

CatalogSummaryDialog::CatalogSummaryDialog(const std::string& summary, const CatalogChanges& changes,
                                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("catalogSummary"));
    setWindowTitle(QStringLiteral("产品目录已更新"));
    auto* text = new QLabel(QString::fromStdString(summary), this);
    text->setObjectName(QStringLiteral("summary"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    auto* list = new QPlainTextEdit(QString::fromStdString(ChangeListText(changes, TextOutlet::Shown)), this);
    list->setObjectName(QStringLiteral("changeList"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setTabStopDistance(ColumnWidth(list->toPlainText(), QFontMetricsF(list->font())));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy =
        buttons->addButton(QStringLiteral("复制完整清单"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyList"));
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(copy, &QPushButton::clicked, this,
            [copied = ChangeListText(changes, TextOutlet::SpreadsheetInput)] {
                QGuiApplication::clipboard()->setText(QString::fromStdString(copied));
            });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    resize(560, 420);
}

}  // namespace orvane
