// COrvaneDlg: the bill of materials out of the program, as a CSV file, on
// the clipboard or printed. The movie supplies it ("zBom"); the window only passes it on.
#include "OrvaneDlg.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"
#include "orvane/TextFile.h"

#include "BomPrintout.h"

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>

#include <cerrno>
#include <filesystem>

namespace {

constexpr const char* kCsvFilter = "物料清单(*.csv)|*.csv||";

}  // namespace

std::optional<orvane::BillOfMaterials> COrvaneDlg::_FetchBillOfMaterials()
{
    const std::optional<std::string> text = _GetReturnString(_CallMovie("zBom", {}));
    if (!text)
        return std::nullopt;
    if (text->empty()) {
        m_env.dialogs->MessageBox(this, orvane::LoadResString(orvane::IDS_NO_DATA_TO_SAVE), m_strSaveCaption,
                                  MsgButtons::Ok, MsgIcon::None);
        return std::nullopt;
    }
    std::optional<orvane::BillOfMaterials> bom = orvane::ParseBillOfMaterials(*text);
    if (!bom) {
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_FetchBillOfMaterials()", "orvane::ParseBillOfMaterials()",
                     "部品表のデータ形式が不正です。");
        ShowError("(#1007)");
    }
    return bom;
}

bool COrvaneDlg::_ExportBomCommand()
{
    const std::optional<orvane::BillOfMaterials> bom = _FetchBillOfMaterials();
    if (!bom)
        return false;
    // Named after the selection file, so the bill is easily matched with it.
    const std::string initialName =
        m_strFilePath.empty() ? std::string("物料清单.csv") : std::filesystem::path(m_strFilePath).stem().string() + ".csv";
    const std::optional<std::string> chosen = m_env.dialogs->GetSaveFileName(this, kCsvFilter, initialName, "csv");
    if (!chosen)
        return false;
    errno = 0;
    if (!orvane::WriteTextFileAtomically(*chosen, orvane::BillOfMaterialsCsv(*bom))) {
        const int systemError = errno;
        const std::string errorText = orvane::MakeErrorText("(#2001)");
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_ExportBomCommand()", "orvane::WriteTextFileAtomically()", errorText);
        ShowError(systemError != 0 ? errorText + "\n" + orvane::SystemErrorReason(systemError) : errorText);
        return false;
    }
    return true;
}

bool COrvaneDlg::_CopyBomCommand()
{
    const std::optional<orvane::BillOfMaterials> bom = _FetchBillOfMaterials();
    if (!bom)
        return false;
    QGuiApplication::clipboard()->setText(QString::fromStdString(orvane::BillOfMaterialsTabSeparated(*bom)));
    return true;
}

bool COrvaneDlg::_PrintBomCommand()
{
    const std::optional<orvane::BillOfMaterials> bom = _FetchBillOfMaterials();
    if (!bom)
        return false;
    const QString fileName = m_strFilePath.empty()
                                 ? QString::fromStdString(orvane::LoadResString(orvane::IDS_UNTITLED))
                                 : QFileInfo(QFile::decodeName(QByteArray::fromStdString(m_strFilePath))).fileName();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(fileName);
    if (!m_env.dialogs->ChoosePrinter(this, printer))
        return false;
    if (!PrintBillOfMaterials(printer, *bom, kProgramTitle, fileName, QDate::currentDate())) {
        const std::string errorText = orvane::MakeErrorText("(#2001)");
        REPORT_ERROR(g_ErrorLog, "COrvaneDlg::_PrintBomCommand()", "PrintBillOfMaterials()", errorText);
        ShowError(errorText);
        return false;
    }
    return true;
}
