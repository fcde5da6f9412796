#include "export/AmlExport.h"

#include "document/FileNames.h"

#include "orvane/Catalog.h"
#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace orvane {

namespace {

constexpr char kCaption[] = "导出到工程软件";

// The edition 1 file the engineering tools' own hardware exports write comes first.
constexpr const char* kFilter = "AutomationML CAEX 2.15(*.aml)|*.aml|AutomationML CAEX 3.0(*.aml)|*.aml||";

// The order lines the catalogue in use lacks ("ZX-DI32B ×2、…"): they take no slot, so no rack holds them.
std::string UnknownLines(const BillOfMaterials& bom)
{
    std::string named;
    for (const BomLine& line : bom.lines)
        if (line.unknown)
            named += (named.empty() ? "" : "、") + line.partNumber + " ×" + std::to_string(line.quantity);
    return named;
}

}  // namespace

AmlExportResult ExportAutomationMl(const std::string& path, const BillOfMaterials& bom,
                                   std::string_view catalogBytes, CaexVersion version)
{
    const CatalogReading catalog = ReadCatalog(catalogBytes);
    if (!catalog)
        return {{}, "不能读取产品目录，无法确定各模块的 I/O 点：" + catalog.reason};
    const AmlExportOptions options{
        version,
        QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString(),
        QDateTime::currentDateTime().toString(Qt::ISODate).toStdString(),
        ORVANE_VERSION,
    };
    return {WriteAutomationMl(path, bom, catalog.catalog, options), {}};
}

bool AmlExportCommand::Export()
{
    const std::optional<std::string> text = m_window.fetchBill();
    if (!text)
        return false;
    if (text->empty()) {
        TellNothingToSave(*m_window.dialogs, m_window.owner);
        return false;
    }
    const std::optional<BillOfMaterials> bom = ParseBillOfMaterials(*text);
    if (!bom) {
        // As every reply of the movie's that is not understood: shown, never recorded.
        m_window.showError("(#1007)");
        return false;
    }
    // Named after the selection file, so the export is easily matched with it.
    const std::string filePath = m_window.filePath();
    const std::string initialName =
        (filePath.empty() ? std::string("硬件配置") : FileStem(filePath)) + ".aml";
    const auto chosen = m_window.dialogs->GetSaveFileNameAndType(m_window.owner, kFilter, initialName, "aml");
    if (!chosen)
        return false;
    const AmlExportResult result =
        ExportAutomationMl(chosen->first, *bom, m_window.catalogBytes(),
                           chosen->second == 1 ? CaexVersion::V3_0 : CaexVersion::V2_15);
    if (!result.refusal.empty()) {
        REPORT_ERROR(g_ErrorLog, 0, "AmlExportCommand::Export()", "orvane::ReadCatalog()", result.refusal);
        m_window.showError(result.refusal);
    } else if (!result) {
        REPORT_ERROR(g_ErrorLog, result.write.systemError, "AmlExportCommand::Export()",
                     "orvane::WriteAutomationMl()", MakeErrorText("(#2001)"));
        m_window.showError(FileWriteFailureText(result.write));
    } else if (const std::string left = UnknownLines(*bom); !left.empty()) {
        m_window.dialogs->MessageBox(m_window.owner, "已导出。以下项目现用产品目录中没有，其位置和 I/O 点不明，未写入文件：" + left,
                                     kCaption, MsgButtons::Ok, MsgIcon::Information);
    }
    return bool(result);
}

}  // namespace orvane
