#pragma once
// The printed bill of materials: the program's title and the selection file's
// name, the project data and date, the order lines with their totals, the
// engineering summary (figures with thousands separators; a table going on to
// another page repeats its header row there) and each rack's slots drawn as a
// picture no wider than the page's text, pinned modules marked, over as many
// pages as it needs, each page numbered.

#include "orvane/BillOfMaterials.h"

class QPrinter;
class QString;

namespace orvane {

// false when the printer (or the PDF file) could not be written.
[[nodiscard]] bool PrintBillOfMaterials(QPrinter& printer, const BomReport& report, const QString& title,
                                        const QString& fileName);

}  // namespace orvane
