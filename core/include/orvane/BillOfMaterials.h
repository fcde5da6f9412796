#pragma once
// The bill of materials the selection movie hands over ("zBom", text TZBOM/1,
// see movie/README.md) and the table it leaves the program as: CSV for
// spreadsheets and purchasing, tab-separated rows for the clipboard, rows for
// the printed page. The program never works the figures out itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Slots and currents in mA: of one item line (all its pieces), used by the
// selection, or provided by its base and power supply.
struct BomFigures {
    std::uint32_t slotCount = 0;
    std::uint32_t current5V = 0;
    std::uint32_t current24V = 0;
};

struct BomItem {
    std::string partNumber;
    std::string description;
    std::uint32_t quantity = 0;
    BomFigures figures;
};

struct BillOfMaterials {
    std::vector<BomItem> items;
    BomFigures total;
    BomFigures capacity;
    std::uint32_t ioPoints = 0;
    std::uint32_t ioPointLimit = 0;  // 0: no CPU, or one without a limit
    std::vector<std::string> warnings;
};

// Reads the movie's text. nullopt unless it is a complete TZBOM/1 text: the
// header, at least one item, exactly one total, capacity and io line, every
// line with its number of fields, figures as decimal numbers that fit 32 bits,
// no control characters in a field.
[[nodiscard]] std::optional<BillOfMaterials> ParseBillOfMaterials(std::string_view text);

// The table, six columns a row: the header row (型号, 说明, 数量, 占用槽位,
// 5V电流(mA), 24V电流(mA)), one row per item, then the totals, the capacity
// of base and power supply, the I/O points with the CPU's limit and one row
// per warning.
[[nodiscard]] std::vector<std::vector<std::string>> BillOfMaterialsRows(const BillOfMaterials& bom);

// A text as a spreadsheet cell that cannot run as a formula: a text whose
// first character after white space (of any width) and quotes is =, +, - or @
// (ASCII or full-width), or a line end, gets a leading apostrophe, which makes
// the cell plain text. Every output a spreadsheet may read (CSV, clipboard)
// passes its texts through this; the printout shows them as they are.
[[nodiscard]] std::string SpreadsheetSafeText(const std::string& field);

// The rows as CSV: a UTF-8 byte-order mark (spreadsheet programs then read
// the Chinese text), CR LF after every row, a field quoted with its quotes
// doubled when it holds a comma, a quote or a line end. Fields pass through
// SpreadsheetSafeText.
[[nodiscard]] std::string BillOfMaterialsCsv(const BillOfMaterials& bom);

// The rows for the clipboard, as spreadsheets paste them: fields separated by
// tabs, LF after every row, nothing quoted (a field holds no control characters).
[[nodiscard]] std::string BillOfMaterialsTabSeparated(const BillOfMaterials& bom);

}  // namespace orvane
