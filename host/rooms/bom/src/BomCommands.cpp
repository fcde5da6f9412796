#include "bom/BomCommands.h"

#include "BomNotice.h"
#include "BomPrintout.h"
#include "BomSpreadsheet.h"
#include "document/FileNames.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/TextFile.h"

#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPaintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

namespace orvane {

namespace {

// The spreadsheet file first: buyers work in spreadsheets. A name ending in
// ".csv" is written as CSV, any other as a workbook.
constexpr const char* kExportFilter = "物料清单(*.xlsx)|*.xlsx|物料清单 CSV(*.csv)|*.csv||";

bool IsCsvName(const std::string& path)
{
    const QString suffix = QFileInfo(QFile::decodeName(path.c_str())).suffix();
    return suffix.compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
}

}  // namespace

BomCommands::BomCommands(Window window)
    : m_window(std::move(window)), m_notice(std::make_unique<BomNotice>(m_window.owner))
{
}

BomCommands::~BomCommands() = default;

std::optional<BomReport> BomCommands::FetchReport()
{
    const std::optional<std::string> text = m_window.fetchBill();
    if (!text)
        return std::nullopt;
    if (text->empty()) {
        TellNothingToSave(*m_window.dialogs, m_window.owner);
        return std::nullopt;
    }
    const std::optional<BillOfMaterials> bom = ParseBillOfMaterials(*text);
    if (!bom) {
        // As every reply of the movie's that is not understood: shown, never recorded.
        m_window.showError("(#1007)");
        return std::nullopt;
    }
    return PurchaseReport(*bom, QDate::currentDate().toString(Qt::ISODate).toStdString());
}

void BomCommands::ReportWriteFailure(const char* operation, const char* step, const FileWriteResult& failed)
{
    const std::string libraryReason = failed.reasonText.empty() ? std::string() : " " + failed.reasonText;
    REPORT_ERROR(g_ErrorLog, failed.systemError, operation, step, MakeErrorText("(#2001)") + libraryReason);
    m_window.showError(FileWriteFailureText(failed));
}

bool BomCommands::WriteFile(const char* operation, const std::string& path, const std::string& bytes)
{
    const FileWriteResult written = WriteWholeFile(path, bytes);
    if (!written)
        ReportWriteFailure(operation, "orvane::WriteWholeFile()", written);
    return written.written;
}

std::optional<std::string> BomCommands::WorkbookBytes(const BomReport& report)
{
    // libxlsxwriter writes by name: the workbook is made in a folder of our
    // own and then takes the road every file the program writes takes.
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bill.xlsx"));
    const FileWriteResult made =
        folder.isValid() ? WriteBillOfMaterialsWorkbook(report, QFile::encodeName(path).toStdString())
                         : FileWriteResult{};
    QFile file(path);
    if (!made || !file.open(QIODevice::ReadOnly)) {
        ReportWriteFailure("BomCommands::Export()", "orvane::WriteBillOfMaterialsWorkbook()", made);
        return std::nullopt;
    }
    return file.readAll().toStdString();
}

bool BomCommands::Export()
{
    const std::optional<BomReport> report = FetchReport();
    if (!report)
        return false;
    // Named after the selection file, so the bill is easily matched with it.
    const std::string filePath = m_window.filePath();
    const std::string initialName =
        filePath.empty() ? std::string("物料清单.xlsx") : FileStem(filePath) + ".xlsx";
    const std::optional<std::string> chosen =
        m_window.dialogs->GetSaveFileName(m_window.owner, kExportFilter, initialName, "xlsx");
    if (!chosen)
        return false;
    if (IsCsvName(*chosen))
        return WriteFile("BomCommands::Export()", *chosen, BillOfMaterialsCsv(*report));
    const std::optional<std::string> workbook = WorkbookBytes(*report);
    return workbook && WriteFile("BomCommands::Export()", *chosen, *workbook);
}

bool BomCommands::Copy()
{
    const std::optional<BomReport> report = FetchReport();
    if (!report)
        return false;
    // Spreadsheets and mail take the table; plain editors the tab-separated rows.
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(BillOfMaterialsTabSeparated(*report)));
    data->setHtml(QString::fromStdString(BillOfMaterialsHtml(*report)));
    QGuiApplication::clipboard()->setMimeData(data);
    m_notice->Show(QStringLiteral("已复制物料清单：可粘贴到电子表格或邮件中"));
    return true;
}

std::string BomCommands::DefaultPdfPath() const
{
    const std::string filePath = m_window.filePath();
    if (filePath.empty())
        return {};
    const QFileInfo file(QFile::decodeName(filePath.c_str()));
    const QString pdf = file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
    return QFile::encodeName(pdf).toStdString();
}

bool BomCommands::Print()
{
    const std::optional<BomReport> report = FetchReport();
    if (!report)
        return false;
    const std::string filePath = m_window.filePath();
    const QString fileName =
        filePath.empty() ? QString::fromStdString(LoadResString(IDS_UNTITLED)) : DisplayFileName(filePath);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(fileName);
    // Print to file proposes the selection's folder. A printer, where there
    // is one, stays the first choice.
    if (const std::string pdf = DefaultPdfPath(); !pdf.empty()) {
        printer.setOutputFileName(QFile::decodeName(pdf.c_str()));
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            printer.setOutputFormat(QPrinter::NativeFormat);
    }

    // The preview paints on a picture; the pages printed at last go to the
    // printer, or, for a PDF, to a file made aside that then takes the road
    // every file the program writes takes: a failure part-way leaves a file
    // already there whole.
    std::string pdfPath;
    QTemporaryFile pdf;
    FileWriteResult printed{.written = true};
    const auto paint = [&](QPrinter& target) {
        const bool toFile = target.paintEngine()->type() != QPaintEngine::Picture
                            && target.outputFormat() == QPrinter::PdfFormat
                            && !target.outputFileName().isEmpty();
        if (toFile) {
            pdfPath = QFile::encodeName(target.outputFileName()).toStdString();
            if (!pdf.isOpen() && !pdf.open()) {
                // The file made aside could not be.
                printed = {.reasonText = pdf.errorString().toStdString()};
                return;
            }
            target.setOutputFileName(pdf.fileName());
        }
        if (!PrintBillOfMaterials(target, *report, QString::fromUtf8(kProgramTitle), fileName) && printed)
            printed = {};
        if (toFile)
            target.setOutputFileName(QFile::decodeName(pdfPath.c_str()));
    };
    if (!m_window.dialogs->PreviewAndPrint(m_window.owner, printer, paint))
        return false;
    if (!printed) {
        ReportWriteFailure("BomCommands::Print()", "orvane::PrintBillOfMaterials()", printed);
        return false;
    }
    return pdfPath.empty() || WriteFile("BomCommands::Print()", pdfPath, pdf.readAll().toStdString());
}

}  // namespace orvane
