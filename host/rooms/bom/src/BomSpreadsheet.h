#pragma once
// The purchaser's report as a spreadsheet file (.xlsx, written by Debian's
// libxlsxwriter): the order lines on the first sheet under the project data
// and the date (a date cell), figures as numbers with their formats, line
// totals and grand totals as formulas that hold the movie's figures as their
// values; the engineering summary on the second sheet. Each table's columns
// are as wide as its own texts (the texts above and below it span the table's
// width instead), its header row is frozen, and both sheets print on A4
// across, one page wide, the header row on every page. Texts are always
// strings, never formulas.

#include "orvane/BillOfMaterials.h"
#include "orvane/TextFile.h"

#include <string>

namespace orvane {

// Writes the workbook to path (the library writes by name: the caller gives a
// temporary file and moves the bytes on), with the library's own reason
// (lxw_strerror) when it could not be written.
[[nodiscard]] FileWriteResult WriteBillOfMaterialsWorkbook(const BomReport& report, const std::string& path);

}  // namespace orvane
