#pragma once
// The bill's files written without asking anything (`orvane --export`): the
// same workbook, CSV and PDF that 导出物料清单… and 打印… make, each made aside
// and then written through the program's one save road.

#include "orvane/BillOfMaterials.h"
#include "orvane/TextFile.h"

#include <QString>

#include <string>

namespace orvane {

enum class BillFileKind { Workbook, Csv, Pdf };

// documentName: the name the PDF's document carries (the selection file's).
[[nodiscard]] FileWriteResult WriteBillFile(const std::string& path, const BomReport& report,
                                            BillFileKind kind, const QString& documentName);

}  // namespace orvane
