#include "bom/BomFiles.h"

#include "BomPrintout.h"
#include "BomSpreadsheet.h"

#include "orvane/StringTable.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

namespace orvane {

FileWriteResult WriteBillFile(const std::string& path, const BomReport& report, BillFileKind kind,
                              const QString& documentName)
{
    if (kind == BillFileKind::Csv)
        return WriteWholeFile(path, BillOfMaterialsCsv(report));
    // The workbook's library and the printer write by name: the file is made
    // in a folder of our own, then takes the road every file the program writes takes.
    const QTemporaryDir folder;
    if (!folder.isValid())
        return {};
    const QString aside = folder.filePath(QStringLiteral("bill"));
    FileWriteResult made{.written = true};
    if (kind == BillFileKind::Workbook) {
        made = WriteBillOfMaterialsWorkbook(report, QFile::encodeName(aside).toStdString());
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(aside);
        printer.setDocName(documentName);
        if (!PrintBillOfMaterials(printer, report, QString::fromUtf8(kProgramTitle), documentName))
            made = {};
    }
    QFile file(aside);
    if (!made || !file.open(QIODevice::ReadOnly))
        return made ? FileWriteResult{} : made;
    return WriteWholeFile(path, file.readAll().toStdString());
}

}  // namespace orvane
