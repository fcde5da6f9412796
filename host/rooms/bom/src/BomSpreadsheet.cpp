#include "BomSpreadsheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

namespace orvane {

namespace {

constexpr std::uint8_t kPaperA4 = 9;  // the file format's paper code
constexpr double kLineHeight = 15;    // points: one line of the default font
// A wrapped line holds somewhat less than the columns' widths add up to.
constexpr double kWrapAllowance = 1.15;

// Column widths in characters, as spreadsheets count them: a Chinese or
// full-width character takes two.
double DisplayWidth(const std::string& text)
{
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

struct Formats {
    lxw_format* title;
    lxw_format* block;
    lxw_format* header;
    lxw_format* count;
    lxw_format* money;
    lxw_format* total;
    lxw_format* totalCount;
    lxw_format* totalMoney;
};

lxw_format* NewFormat(lxw_workbook* workbook, bool bold, const char* numberFormat, bool shaded)
{
    lxw_format* format = workbook_add_format(workbook);
    if (bold)
        format_set_bold(format);
    if (numberFormat)
        format_set_num_format(format, numberFormat);
    if (shaded)
        format_set_bg_color(format, 0xDDE4EE);
    return format;
}

// Texts above and below a table: wrapped, read from the top left.
lxw_format* NewBlockFormat(lxw_workbook* workbook, bool bold, const char* numberFormat)
{
    lxw_format* format = NewFormat(workbook, bold, numberFormat, false);
    format_set_text_wrap(format);
    format_set_align(format, LXW_ALIGN_LEFT);
    format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
    return format;
}

Formats MakeFormats(lxw_workbook* workbook)
{
    Formats f{};
    f.title = NewBlockFormat(workbook, true, nullptr);
    format_set_font_size(f.title, 14);
    f.block = NewBlockFormat(workbook, false, nullptr);
    f.header = NewFormat(workbook, true, nullptr, true);
    f.count = NewFormat(workbook, false, "#,##0", false);
    f.money = NewFormat(workbook, false, "#,##0.00", false);
    f.total = NewFormat(workbook, true, nullptr, true);
    f.totalCount = NewFormat(workbook, true, "#,##0", true);
    f.totalMoney = NewFormat(workbook, true, "#,##0.00", true);
    return f;
}

// Printed on A4 across, one page wide and as many down as needed, with the
// table's header row on every page and each page numbered at its foot.
void SetUpPages(lxw_worksheet* sheet, lxw_row_t headerRow)
{
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, headerRow, headerRow);
    worksheet_set_footer(sheet, "&C&P / &N");
}

// How the spreadsheet works a total out again ("=E7*F7", "=SUM(G7:G9)"); ""
// for a figure it only holds. The table's rows start at firstRow.
std::string FormulaText(const BomCell& cell, lxw_row_t row, lxw_col_t column, lxw_row_t firstRow)
{
    char first[LXW_MAX_CELL_NAME_LENGTH], second[LXW_MAX_CELL_NAME_LENGTH], range[LXW_MAX_CELL_RANGE_LENGTH];
    switch (cell.formula) {
    case BomCell::Formula::ProductOfTwoBefore:
        lxw_rowcol_to_cell(first, row, lxw_col_t(column - 2));
        lxw_rowcol_to_cell(second, row, lxw_col_t(column - 1));
        return std::string("=") + first + "*" + second;
    case BomCell::Formula::SumAbove:
        lxw_rowcol_to_range(range, firstRow, column, row - 1, column);
        return std::string("=SUM(") + range + ")";
    case BomCell::Formula::None:
        break;
    }
    return {};
}

// A sheet: one table, its columns as wide as the table's own texts, and the
// texts above or below it over the table's whole width.
class SheetWriter {
public:
    SheetWriter(lxw_workbook* workbook, lxw_worksheet* sheet, const Formats& formats)
        : m_workbook(workbook), m_sheet(sheet), m_formats(formats)
    {
    }

    // The table from row on: its header row (frozen, and printed on every
    // page), then its rows, the last one as totals.
    bool Table(lxw_row_t row, const BomTable& table)
    {
        bool written = true;
        for (std::size_t column = 0; column < table.columns.size(); ++column)
            written = Text(row, lxw_col_t(column), table.columns[column], m_formats.header) && written;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const bool total = r + 1 == table.rows.size();
            for (std::size_t column = 0; column < table.rows[r].size(); ++column) {
                const BomCell& cell = table.rows[r][column];
                written = (cell.text.empty() && !total
                               ? true
                               : Cell(lxw_row_t(row + 1 + r), lxw_col_t(column), cell, total, row + 1))
                          && written;
            }
        }
        worksheet_freeze_panes(m_sheet, row + 1, 0);
        SetUpPages(m_sheet, row);
        SetWidths();
        return written;
    }

    // "label：text" over the table's width, after the table is written: a
    // merged cell that wraps, as high as its lines need, and that widens no
    // column. A date is a date cell that shows its label.
    bool Entry(lxw_row_t row, const std::string& label, const BomCell& cell)
    {
        lxw_datetime date{};
        if (cell.kind == BomCell::Kind::Date &&
            std::sscanf(cell.text.c_str(), "%4d-%2d-%2d", &date.year, &date.month, &date.day) == 3) {
            const std::string dateFormat = "\"" + label + "：\"yyyy-mm-dd";
            lxw_format* format = NewBlockFormat(m_workbook, false, dateFormat.c_str());
            return Block(row, std::string(), format)
                   && worksheet_write_datetime(m_sheet, row, 0, &date, format) == LXW_NO_ERROR;
        }
        return Block(row, label + "：" + ShownText(cell), m_formats.block);
    }

    // A text over the table's width (the sheet's title too).
    bool Block(lxw_row_t row, const std::string& text, lxw_format* format)
    {
        const std::string shown = SpreadsheetSafeText(text, TextOutlet::Shown);
        const double tableWidth = std::accumulate(m_widths.begin(), m_widths.end(), 0.0);
        const double lines = std::ceil(DisplayWidth(shown) * kWrapAllowance / tableWidth);
        if (lines > 1)
            worksheet_set_row(m_sheet, row, kLineHeight * lines, nullptr);
        return worksheet_merge_range(m_sheet, row, 0, row, lxw_col_t(m_widths.size() - 1), shown.c_str(),
                                     format)
               == LXW_NO_ERROR;
    }

private:
    bool Text(lxw_row_t row, lxw_col_t column, const std::string& text, lxw_format* format)
    {
        const std::string shown = SpreadsheetSafeText(text, TextOutlet::Shown);
        Widen(column, DisplayWidth(shown));
        return shown.empty()
               || worksheet_write_string(m_sheet, row, column, shown.c_str(), format) == LXW_NO_ERROR;
    }

    // A figure as a number, a total as its formula with the movie's figure as
    // its value, so readers that do not calculate show it too.
    bool Cell(lxw_row_t row, lxw_col_t column, const BomCell& cell, bool total, lxw_row_t firstRow)
    {
        if (cell.kind != BomCell::Kind::Count && cell.kind != BomCell::Kind::Money)
            return Text(row, column, cell.text, total ? m_formats.total : nullptr);
        Widen(column, DisplayWidth(ShownText(cell)) + (cell.kind == BomCell::Kind::Money ? 2 : 0));
        lxw_format* format = cell.kind == BomCell::Kind::Money
                                 ? (total ? m_formats.totalMoney : m_formats.money)
                                 : (total ? m_formats.totalCount : m_formats.count);
        const std::string formula = FormulaText(cell, row, column, firstRow);
        return (formula.empty()
                    ? worksheet_write_number(m_sheet, row, column, cell.number, format)
                    : worksheet_write_formula_num(m_sheet, row, column, formula.c_str(), format, cell.number))
               == LXW_NO_ERROR;
    }

    void Widen(lxw_col_t column, double width)
    {
        if (m_widths.size() <= column)
            m_widths.resize(column + 1, 0);
        m_widths[column] = std::max(m_widths[column], width);
    }

    void SetWidths()
    {
        for (std::size_t column = 0; column < m_widths.size(); ++column) {
            m_widths[column] = std::clamp(m_widths[column] + 2, 6.0, 60.0);
            worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), m_widths[column], nullptr);
        }
    }

    lxw_workbook* m_workbook;
    lxw_worksheet* m_sheet;
    const Formats& m_formats;
    std::vector<double> m_widths;
};

// The title and the heading (project data, date) above the order lines.
bool WriteOrderSheet(SheetWriter& writer, const Formats& formats, const BomReport& report)
{
    const lxw_row_t tableRow = lxw_row_t(report.heading.size() + 2);
    bool written = writer.Table(tableRow, report.orderLines);
    written = writer.Block(0, "物料清单", formats.title) && written;
    lxw_row_t row = 1;
    for (const auto& [label, cell] : report.heading)
        written = writer.Entry(row++, label, cell) && written;
    return written;
}

// The CPU's limits and the warnings under the summary.
bool WriteEngineeringSheet(SheetWriter& writer, const BomReport& report)
{
    bool written = writer.Table(0, report.engineering);
    lxw_row_t row = lxw_row_t(report.engineering.rows.size() + 2);
    for (const auto& [label, cell] : report.limits)
        written = writer.Entry(row++, label, cell) && written;
    for (const std::string& warning : report.warnings)
        written = writer.Entry(row++, "注意", BomCell{warning}) && written;
    return written;
}

}  // namespace

FileWriteResult WriteBillOfMaterialsWorkbook(const BomReport& report, const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook)  // it asks for nothing but memory
        return {.reasonText = lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED)};
    const Formats formats = MakeFormats(workbook);
    lxw_worksheet* orders = workbook_add_worksheet(workbook, "物料清单");
    lxw_worksheet* engineering = workbook_add_worksheet(workbook, "工程数据");
    bool written = orders && engineering;
    if (written) {
        SheetWriter orderSheet(workbook, orders, formats);
        SheetWriter engineeringSheet(workbook, engineering, formats);
        written = WriteOrderSheet(orderSheet, formats, report);
        written = WriteEngineeringSheet(engineeringSheet, report) && written;
    }
    // Closing writes the file, and frees the workbook whatever came before.
    const lxw_error closed = workbook_close(workbook);
    if (closed == LXW_NO_ERROR && written)
        return {.written = true};
    return {.reasonText = closed == LXW_NO_ERROR ? std::string() : lxw_strerror(closed)};
}

}  // namespace orvane
