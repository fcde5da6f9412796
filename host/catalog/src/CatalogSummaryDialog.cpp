#include "CatalogSummaryDialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

CatalogSummaryDialog::CatalogSummaryDialog(const std::string& summary, const std::string& changeList, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("catalogSummary"));
    setWindowTitle(QStringLiteral("产品目录已更新"));
    auto* text = new QLabel(QString::fromStdString(summary), this);
    text->setObjectName(QStringLiteral("summary"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    auto* list = new QPlainTextEdit(QString::fromStdString(changeList), this);
    list->setObjectName(QStringLiteral("changeList"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton(QStringLiteral("复制完整清单"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyList"));
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(copy, &QPushButton::clicked, this, [changeList] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(changeList));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    resize(560, 420);
}

}  // namespace orvane
