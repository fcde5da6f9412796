#include "ScriptedUserDialogs.h"

#include <QDialog>
#include <QPrinter>
#include <QWidget>

namespace {

template <typename T, typename Fallback>
T TakeFront(std::deque<T>& queue, Fallback fallback)
{
    if (queue.empty())
        return fallback;
    T answer = queue.front();
    queue.pop_front();
    return answer;
}

}  // namespace

MsgResult ScriptedUserDialogs::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                                          MsgButtons buttons, MsgIcon icon)
{
    boxes.push_back({text, caption, buttons, icon, owner && owner->isVisible()});
    return TakeFront(boxAnswers, buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel);
}

std::optional<std::string> ScriptedUserDialogs::GetOpenFileName(QWidget*, const std::string& filter)
{
    openRequests.push_back({filter, {}, {}});
    if (whileOpenDialogShows)
        whileOpenDialogShows();
    return TakeFront(openAnswers, std::optional<std::string>());
}

std::optional<std::string> ScriptedUserDialogs::GetSaveFileName(QWidget*, const std::string& filter,
                                                                const std::string& initialName,
                                                                const std::string& defaultSuffix)
{
    saveRequests.push_back({filter, initialName, defaultSuffix});
    return TakeFront(saveAnswers, std::optional<std::string>());
}

std::optional<std::pair<std::string, int>> ScriptedUserDialogs::GetSaveFileNameAndType(QWidget* owner, const std::string& filter,
                                                                                       const std::string& initialName,
                                                                                       const std::string& defaultSuffix)
{
    const std::optional<std::string> path = GetSaveFileName(owner, filter, initialName, defaultSuffix);
    const int type = TakeFront(saveTypeAnswers, 0);
    return path ? std::optional(std::pair(*path, type)) : std::nullopt;
}

bool ScriptedUserDialogs::PreviewAndPrint(QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    ++printRequests;
    proposedPdfFiles.push_back(printer.outputFileName().toStdString());
    const std::optional<std::string> pdfFile = TakeFront(printAnswers, std::optional<std::string>());
    if (!pdfFile)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(*pdfFile));
    paint(printer);
    return true;
}

int ScriptedUserDialogs::RunModal(QDialog& dialog)
{
    modalDialogs.emplace_back(dialog.metaObject()->className());
    dialog.setModal(true);
    dialog.show();
    if (onModal)
        onModal(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

void ScriptedUserDialogs::OpenUrl(const QUrl& url) { openedUrls.push_back(url); }
