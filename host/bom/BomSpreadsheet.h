#pragma once
// The purchaser's report as a spreadsheet file (.xlsx, written by Debian's
// libxlsxwriter): the order lines on the first sheet under the project data,
// figures as numbers with their formats, the table's header row frozen and
// columns as wide as their Chinese texts; the engineering summary on the
// second sheet. Texts are always strings, never formulas.

#include "orvane/BillOfMaterials.h"

#include <string>

namespace orvane {

// Writes the workbook to path (the library writes by name: the caller gives a
// temporary file and moves the bytes on). false when it could not be written.
[[nodiscard]] bool WriteBillOfMaterialsWorkbook(const BomReport& report, const std::string& path);

}  // namespace orvane
