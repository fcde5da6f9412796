#include "ThirdPartyNoticesDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The copyright file built into the program.
QString NoticesText()
{
    QFile file(QStringLiteral(":/notices/copyright"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

}  // namespace

ThirdPartyNoticesDialog::ThirdPartyNoticesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("第三方组件许可"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* notices = new QPlainTextEdit(NoticesText(), this);
    notices->setObjectName(QStringLiteral("notices"));
    notices->setReadOnly(true);
    // The licence texts are laid out in fixed columns.
    notices->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    notices->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notices);
    layout->addWidget(buttons);
    resize(720, 560);
}

}  // namespace orvane
