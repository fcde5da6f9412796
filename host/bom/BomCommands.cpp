#include "BomCommands.h"

#include "BomPrintout.h"
#include "document/FileNames.h"
#include "document/SaveFailure.h"
#include "WindowResources.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/TextFile.h"

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryFile>

#include <cerrno>

#include <sys/stat.h>

namespace orvane {

namespace {

constexpr const char* kCsvFilter = "物料清单(*.csv)|*.csv||";

bool Exists(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

}  // namespace

BomCommands::BomCommands(Window window) : m_window(std::move(window)) {}

std::optional<BillOfMaterials> BomCommands::FetchBill()
{
    const std::optional<std::string> text = m_window.fetchBill();
    if (!text)
        return std::nullopt;
    if (text->empty()) {
        m_window.dialogs->MessageBox(m_window.owner, LoadResString(IDS_NO_DATA_TO_SAVE),
                                     LoadResString(IDS_SAVE_CAPTION), MsgButtons::Ok, MsgIcon::None);
        return std::nullopt;
    }
    std::optional<BillOfMaterials> bom = ParseBillOfMaterials(*text);
    if (!bom) {
        REPORT_ERROR(g_ErrorLog, "BomCommands::FetchBill()", "orvane::ParseBillOfMaterials()",
                     "部品表のデータ形式が不正です。(#1007)");
        m_window.showError("(#1007)");
    }
    return bom;
}

void BomCommands::ReportWriteFailure(const char* operation, const char* step, int systemError, bool existed,
                                     bool damaged)
{
    errno = systemError;
    REPORT_ERROR(g_ErrorLog, operation, step, MakeErrorText("(#2001)"));
    m_window.showError(SaveFailureText(systemError, existed, damaged));
}

bool BomCommands::ExportCsv()
{
    const std::optional<BillOfMaterials> bom = FetchBill();
    if (!bom)
        return false;
    // Named after the selection file, so the bill is easily matched with it.
    const std::string& filePath = *m_window.filePath;
    const std::string initialName = filePath.empty() ? std::string("物料清单.csv") : FileStem(filePath) + ".csv";
    const std::optional<std::string> chosen =
        m_window.dialogs->GetSaveFileName(m_window.owner, kCsvFilter, initialName, "csv");
    if (!chosen)
        return false;
    const bool existed = Exists(*chosen);
    errno = 0;
    const WholeFileWrite written = WriteWholeFile(*chosen, BillOfMaterialsCsv(*bom));
    if (!written.written)
        ReportWriteFailure("BomCommands::ExportCsv()", "orvane::WriteWholeFile()", errno, existed,
                           written.targetDamaged);
    return written.written;
}

bool BomCommands::Copy()
{
    const std::optional<BillOfMaterials> bom = FetchBill();
    if (!bom)
        return false;
    QGuiApplication::clipboard()->setText(QString::fromStdString(BillOfMaterialsTabSeparated(*bom)));
    return true;
}

bool BomCommands::Print()
{
    const std::optional<BillOfMaterials> bom = FetchBill();
    if (!bom)
        return false;
    const std::string& filePath = *m_window.filePath;
    const QString fileName =
        filePath.empty() ? QString::fromStdString(LoadResString(IDS_UNTITLED)) : DisplayFileName(filePath);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(fileName);
    if (!m_window.dialogs->ChoosePrinter(m_window.owner, printer))
        return false;

    // A PDF is made aside and then takes the road every file the program
    // writes takes: a failure part-way leaves a file already there whole.
    const std::string pdfPath = QFile::encodeName(printer.outputFileName()).toStdString();
    QTemporaryFile pdf;
    if (!pdfPath.empty()) {
        if (!pdf.open()) {
            ReportWriteFailure("BomCommands::Print()", "QTemporaryFile::open()", errno, false, false);
            return false;
        }
        printer.setOutputFileName(pdf.fileName());
    }
    if (!PrintBillOfMaterials(printer, *bom, QString::fromUtf8(kProgramTitle), fileName, QDate::currentDate())) {
        ReportWriteFailure("BomCommands::Print()", "orvane::PrintBillOfMaterials()", 0, false, false);
        return false;
    }
    if (pdfPath.empty())
        return true;
    const bool existed = Exists(pdfPath);
    errno = 0;
    const WholeFileWrite written = WriteWholeFile(pdfPath, pdf.readAll().toStdString());
    if (!written.written)
        ReportWriteFailure("BomCommands::Print()", "orvane::WriteWholeFile()", errno, existed, written.targetDamaged);
    return written.written;
}

}  // namespace orvane
