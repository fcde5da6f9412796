#pragma once
// The printed bill of materials: the program's title, the selection file's
// name and the date above the table of the bill (items, totals, capacity,
// I/O points and warnings, as in the CSV), over as many pages as it needs.

#include "orvane/BillOfMaterials.h"

class QDate;
class QPrinter;
class QString;

namespace orvane {

// false when the printer (or the PDF file) could not be written.
[[nodiscard]] bool PrintBillOfMaterials(QPrinter& printer, const BillOfMaterials& bom, const QString& title,
                                        const QString& fileName, const QDate& date);

}  // namespace orvane
