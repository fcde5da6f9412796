#include "export/AmlExport.h"

#include "document/FileNames.h"

#include "orvane/Catalog.h"
#include "orvane/CatalogLimits.h"
#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace orvane {

namespace {

// The edition 1 file the engineering tools' own hardware exports write comes first.
constexpr const char* kFilter = "AutomationML CAEX 2.15(*.aml)|*.aml|AutomationML CAEX 3.0(*.aml)|*.aml||";

}  // namespace

AmlExportResult ExportAutomationMl(const std::string& path, const BillOfMaterials& bom,
                                   const std::string& catalogPath, CaexVersion version)
{
    QFile file(QFile::decodeName(catalogPath.c_str()));
    const QByteArray bytes =
        file.open(QIODevice::ReadOnly) ? file.read(qint64(kMaxCatalogBytes) + 1) : QByteArray();
    const CatalogReading catalog =
        ReadCatalog(std::string_view(bytes.constData(), std::size_t(bytes.size())));
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
        ExportAutomationMl(chosen->first, *bom, m_window.catalogPath(),
                           chosen->second == 1 ? CaexVersion::V3_0 : CaexVersion::V2_15);
    if (!result.refusal.empty()) {
        REPORT_ERROR(g_ErrorLog, 0, "AmlExportCommand::Export()", "orvane::ReadCatalog()", result.refusal);
        m_window.showError(result.refusal);
    } else if (!result) {
        REPORT_ERROR(g_ErrorLog, result.write.systemError, "AmlExportCommand::Export()",
                     "orvane::WriteAutomationMl()", MakeErrorText("(#2001)"));
        m_window.showError(FileWriteFailureText(result.write));
    }
    return bool(result);
}

}  // namespace orvane
