#include "dialogs/QtUserDialogs.h"

#include "FileDialogModel.h"
#include "dialogs/FileDialogFilter.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>

#include <algorithm>

namespace orvane {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The string table writes line breaks as CR LF; a label shows LF alone.
QString DisplayText(const std::string& text)
{
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::optional<std::string> RunFileDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // The file system's bytes: a name need not be valid UTF-8.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

bool QtUserDialogs::InstallQtTranslations(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

MsgResult QtUserDialogs::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                                     MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(ToQtIcon(icon), QString::fromStdString(caption), DisplayText(text),
                    QMessageBox::NoButton, owner);
    if (buttons == MsgButtons::Ok) {
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.exec();
        return MsgResult::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = buttons == MsgButtons::YesNoCancel
                              ? box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole)
                              : nullptr;
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel ? cancel : no);
    box.exec();
    if (box.clickedButton() == yes)
        return MsgResult::Yes;
    if (box.clickedButton() == no)
        return MsgResult::No;
    return MsgResult::Cancel;
}

std::optional<std::string> QtUserDialogs::GetOpenFileName(QWidget* owner, const std::string& filter)
{
    QFileDialog dialog(owner);
    dialog.setProxyModel(new FileDialogModel(m_headerPicture));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(FileDialogFilters(filter));
    dialog.selectFile(FirstFilterPattern(filter));
    return RunFileDialog(dialog);
}

std::optional<std::string> QtUserDialogs::GetSaveFileName(QWidget* owner, const std::string& filter,
                                                           const std::string& initialName,
                                                           const std::string& defaultSuffix)
{
    const auto chosen = GetSaveFileNameAndType(owner, filter, initialName, defaultSuffix);
    return chosen ? std::optional(chosen->first) : std::nullopt;
}

std::optional<std::pair<std::string, int>> QtUserDialogs::GetSaveFileNameAndType(
    QWidget* owner, const std::string& filter, const std::string& initialName,
    const std::string& defaultSuffix)
{
    QFileDialog dialog(owner);
    dialog.setProxyModel(new FileDialogModel(m_headerPicture));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(FileDialogFilters(filter));
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    // Of several file types, a name typed without one gets the type of the filter chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix =
            QFileInfo(filter.section(QLatin1Char('('), -1).section(QLatin1Char(')'), 0, 0)).suffix();
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    });
    dialog.selectFile(QString::fromStdString(initialName));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const std::optional<std::string> path = RunFileDialog(dialog);
    if (!path)
        return std::nullopt;
    return std::pair(*path,
                     int(std::max(qsizetype(0), dialog.nameFilters().indexOf(dialog.selectedNameFilter()))));
}

int QtUserDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

void QtUserDialogs::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

bool QtUserDialogs::PreviewAndPrint(QWidget* owner, QPrinter& printer,
                                    const std::function<void(QPrinter&)>& paint)
{
    QPrintPreviewDialog dialog(&printer, owner);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&paint](QPrinter* target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace orvane
