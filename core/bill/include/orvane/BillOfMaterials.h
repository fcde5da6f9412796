#pragma once
// The bill of materials the selection movie hands over ("zBom", text TZBOM/2,
// TZBOM/3, TZBOM/4 or TZBOM/5, see movie/README.md) and the purchaser's report every output shows: the
// project data and date, the numbered order lines with their totals, and the
// engineering summary (racks, slots, currents, I/O points, warnings) in a
// section of its own. CSV for files, tab-separated rows and an HTML table for
// the clipboard; the printout and the spreadsheet file take the same report.
// The program never works a figure out itself.

#include "orvane/SpreadsheetText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

// One order line. Prices are in fen (0.01 of the currency); none when the
// catalogue gives the item no price.
struct BomLine {
    std::uint32_t number = 0;
    std::string orderNumber;  // "" when the catalogue gives none
    std::string partNumber;
    std::string description;
    std::uint32_t quantity = 0;
    std::optional<std::int64_t> unitPrice;
    std::optional<std::int64_t> lineTotal;
    bool discontinued = false;  // 停产 (TZBOM/3)
    std::string replacement;    // the code that replaces it, "" when the catalogue names none
    bool unknown = false;       // the catalogue in use lacks it (TZBOM/4): in no total
};

// A power loss in W as the movie worked it out: unknown, exact, or at least
// the figure (some part of it unknown).
struct BomHeat {
    std::optional<double> watts;
    bool atLeast = false;
};

// The enclosure the user entered and the heat it sheds (TZBOM/5): outside
// size in mm, the installation and material as the user reads them, k in
// W/m²K, temperatures in °C, the effective surface in m², the heat shed in W
// (negative: taken in) and the cooling still needed (unknown with the loss).
struct BomEnclosure {
    std::uint32_t width = 0, height = 0, depth = 0;
    std::string installation, material;
    double coefficient = 0;
    double ambient = 0, insideMax = 0;
    double surface = 0, shed = 0;
    std::optional<double> cooling;
};

// One rack (the main one first): its base and power supply ("" while not
// chosen), slots, currents in mA against the supply, I/O points, each
// slot's module code ("" free, "<" the module to its left goes on), and the
// slots whose module the user pinned to this rack.
struct BomRack {
    std::string label;
    std::string base;
    std::string power;
    std::uint32_t slotsUsed = 0, slotCount = 0;
    std::uint32_t current5V = 0, supply5V = 0, current24V = 0, supply24V = 0;
    std::uint32_t ioPoints = 0;
    std::vector<std::string> slotCodes;
    std::vector<std::uint32_t> pinnedSlots;  // numbers from 1, ascending (TZBOM/4)
    bool hasCabinetFigures = false;          // the bill gives the two below (TZBOM/5)
    std::optional<double> railMm;            // DIN-rail length, unknown when not given
    BomHeat loss;
};

// All racks together; a limit of 0 means none (no CPU chosen, or none stated).
struct BomOverall {
    std::uint32_t slotsUsed = 0, slotCount = 0;
    std::uint32_t current5V = 0, supply5V = 0, current24V = 0, supply24V = 0;
    std::uint32_t ioPoints = 0, ioPointLimit = 0;
    std::uint32_t bases = 0, baseLimit = 0;
};

// The share of each limit the user keeps free, in percent (0: none kept).
struct BomReserve {
    std::uint32_t slotPercent = 0, current5VPercent = 0, current24VPercent = 0, ioPointPercent = 0;
};

struct BillOfMaterials {
    // Set fields of the project: key (name, customer, author, note) and text.
    std::vector<std::pair<std::string, std::string>> project;
    std::string currency;  // "" when the catalogue gives no prices
    // The catalogue edition that priced the bill and its date, "" when it names none (TZBOM/3).
    std::string edition, editionDate;
    std::vector<BomLine> lines;
    std::uint32_t totalQuantity = 0;
    std::optional<std::int64_t> totalPrice;  // only when every line has a price
    std::vector<BomRack> racks;
    BomOverall overall;
    std::optional<BomReserve> reserve;  // only when the user keeps one (TZBOM/3)
    std::optional<BomHeat> totalLoss;     // the racks' loss added up (TZBOM/5)
    std::optional<BomEnclosure> enclosure;  // only when the user entered one (TZBOM/5)
    std::vector<std::string> warnings;
};

// Reads the movie's text. nullopt unless it is a complete TZBOM/2, /3, /4 or /5
// text: the header, at least one order line numbered from 1, one sum, at least
// one rack, one overall line, every line with its number of fields, figures as
// decimal numbers that fit 32 bits, prices with two decimals and only with a
// currency, no control characters in a field; the lines only version 3 has
// only under its header or a later one: the edition (once, before the order
// lines), an order line's mark as discontinued (right after it), the reserve
// (percentages up to 100, once); and the lines only version 4 has only under
// its header: an order line's mark as unknown (right after it, never beside a
// discontinued mark), a rack's pinned slots (right after its slots,
// ascending, each one holding a module); and the lines only version 5 has
// only under its header: a rack's cabinet figures (right after its slots or
// pins, once), the total loss (once, after the overall line) and the
// enclosure (once, after the total loss); figures as plain decimals.
[[nodiscard]] std::optional<BillOfMaterials> ParseBillOfMaterials(std::string_view text);

// A cell of the report: its text as shown, for figures the number a
// spreadsheet should hold (money in units of the currency, not fen), and for
// totals how a spreadsheet works them out again from the table, so that a
// changed quantity or price changes them: the product of the two cells before
// it in its row (数量 × 单价), or the sum of its column in the rows above.
// A date's text is ISO 8601 (YYYY-MM-DD).
struct BomCell {
    enum class Kind { Text, Count, Money, Date };
    enum class Formula { None, ProductOfTwoBefore, SumAbove };
    std::string text;
    Kind kind = Kind::Text;
    double number = 0;
    Formula formula = Formula::None;
};

// A cell as people read it: figures with thousands separators ("24,000",
// "15,520.00"), anything else as it is. Files for programs (CSV, the
// clipboard's rows) keep the plain text.
[[nodiscard]] std::string ShownText(const BomCell& cell);
using BomRow = std::vector<BomCell>;

struct BomTable {
    std::vector<std::string> columns;
    std::vector<BomRow> rows;  // the last one holds the totals
};

// What every output shows, in this order.
struct BomReport {
    // 项目名称 … texts, then 日期, a date, and 价格依据, the catalogue edition that priced it.
    std::vector<std::pair<std::string, BomCell>> heading;
    // 序号, 订货号, 型号, 说明, 数量 and, with prices, 单价(CUR), 金额(CUR);
    // then the row 合计 with the quantity and, with prices, the price total.
    // A discontinued item's 说明 starts with 【停产】 or 【停产，替代型号 CODE】;
    // an unknown item's with 【目录中未知】, its 数量 a text that no column sum counts.
    BomTable orderLines;
    // 机架, 基板, 电源, 已用槽位, 可用槽位, 5V电流(mA), 5V容量(mA),
    // 24V电流(mA), 24V容量(mA), I/O点数 and, when a module is pinned to its
    // rack, 固定模块 ("ZX-DI16（槽位 1、2）"); one row per rack, then 合计.
    BomTable engineering;
    std::vector<std::pair<std::string, BomCell>> limits;  // the CPU's limits, and the reserve kept
    std::vector<std::string> warnings;
    std::vector<BomRack> racks;  // for the slot pictures of the printout
};

// The report of a bill; date is shown as given (ISO 8601).
[[nodiscard]] BomReport PurchaseReport(const BillOfMaterials& bom, const std::string& date);

// The report as CSV: a UTF-8 byte-order mark (spreadsheet programs then read
// the Chinese text), CR LF after every row, a blank row between sections, a
// field quoted with its quotes doubled when it holds a comma, a quote or a
// line end. Fields pass through SpreadsheetSafeText.
[[nodiscard]] std::string BillOfMaterialsCsv(const BomReport& report);

// The same rows for the clipboard, as spreadsheets paste them: fields
// separated by tabs, LF after every row, nothing quoted (a field holds no
// control characters).
[[nodiscard]] std::string BillOfMaterialsTabSeparated(const BomReport& report);

// The same rows as one HTML table, for pasting into spreadsheets and mail:
// one value per cell (no cell spans columns), texts escaped and passed
// through SpreadsheetSafeText, figures right aligned with thousands
// separators and their plain value and number format for spreadsheets
// (sdval, sdnum).
[[nodiscard]] std::string BillOfMaterialsHtml(const BomReport& report);

}  // namespace orvane
