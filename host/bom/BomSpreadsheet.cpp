#include "BomSpreadsheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <vector>

namespace orvane {

namespace {

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
    lxw_format* label;
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

Formats MakeFormats(lxw_workbook* workbook)
{
    Formats f{};
    f.title = NewFormat(workbook, true, nullptr, false);
    format_set_font_size(f.title, 14);
    f.label = NewFormat(workbook, true, nullptr, false);
    f.header = NewFormat(workbook, true, nullptr, true);
    f.count = NewFormat(workbook, false, "0", false);
    f.money = NewFormat(workbook, false, "#,##0.00", false);
    f.total = NewFormat(workbook, true, nullptr, true);
    f.totalCount = NewFormat(workbook, true, "0", true);
    f.totalMoney = NewFormat(workbook, true, "#,##0.00", true);
    return f;
}

// A sheet's cells with the widest text of each column remembered.
class SheetWriter {
public:
    SheetWriter(lxw_worksheet* sheet, const Formats& formats) : m_sheet(sheet), m_formats(formats) {}

    bool Text(lxw_row_t row, lxw_col_t column, const std::string& text, lxw_format* format = nullptr)
    {
        Widen(column, DisplayWidth(text));
        return text.empty() || worksheet_write_string(m_sheet, row, column, text.c_str(), format) == LXW_NO_ERROR;
    }

    bool Cell(lxw_row_t row, lxw_col_t column, const BomCell& cell, bool total)
    {
        if (cell.kind == BomCell::Kind::Text)
            return Text(row, column, cell.text, total ? m_formats.total : nullptr);
        Widen(column, DisplayWidth(cell.text) + (cell.kind == BomCell::Kind::Money ? 2 : 0));
        lxw_format* format = cell.kind == BomCell::Kind::Money ? (total ? m_formats.totalMoney : m_formats.money)
                                                               : (total ? m_formats.totalCount : m_formats.count);
        return worksheet_write_number(m_sheet, row, column, cell.number, format) == LXW_NO_ERROR;
    }

    // The table from row on: its header row, then its rows, the last one as totals.
    bool Table(lxw_row_t row, const BomTable& table)
    {
        bool written = true;
        for (std::size_t column = 0; column < table.columns.size(); ++column)
            written = Text(row, lxw_col_t(column), table.columns[column], m_formats.header) && written;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const bool total = r + 1 == table.rows.size();
            for (std::size_t column = 0; column < table.rows[r].size(); ++column) {
                const BomCell& cell = table.rows[r][column];
                written = (cell.text.empty() && !total ? true : Cell(lxw_row_t(row + 1 + r), lxw_col_t(column), cell, total)) && written;
            }
        }
        return written;
    }

    void SetWidths()
    {
        for (std::size_t column = 0; column < m_widths.size(); ++column)
            worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), std::clamp(m_widths[column] + 2, 6.0, 60.0), nullptr);
    }

private:
    void Widen(lxw_col_t column, double width)
    {
        if (m_widths.size() <= column)
            m_widths.resize(column + 1, 0);
        m_widths[column] = std::max(m_widths[column], width);
    }

    lxw_worksheet* m_sheet;
    const Formats& m_formats;
    std::vector<double> m_widths;
};

bool WriteOrderSheet(lxw_worksheet* sheet, const Formats& formats, const BomReport& report)
{
    SheetWriter writer(sheet, formats);
    // The title is wide but stands alone: it gets no column width of its own.
    bool written = worksheet_write_string(sheet, 0, 0, "物料清单", formats.title) == LXW_NO_ERROR;
    lxw_row_t row = 1;
    for (const auto& [label, text] : report.heading) {
        written = writer.Text(row, 0, label, formats.label) && written;
        written = writer.Text(row, 1, text) && written;
        ++row;
    }
    ++row;
    written = writer.Table(row, report.orderLines) && written;
    worksheet_freeze_panes(sheet, row + 1, 0);
    writer.SetWidths();
    return written;
}

bool WriteEngineeringSheet(lxw_worksheet* sheet, const Formats& formats, const BomReport& report)
{
    SheetWriter writer(sheet, formats);
    bool written = writer.Table(0, report.engineering);
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_row_t row = lxw_row_t(report.engineering.rows.size() + 2);
    for (const auto& [label, text] : report.limits) {
        written = writer.Text(row, 0, label, formats.label) && written;
        written = writer.Text(row++, 1, text) && written;
    }
    for (const std::string& warning : report.warnings) {
        written = writer.Text(row, 0, "注意", formats.label) && written;
        written = writer.Text(row++, 1, warning) && written;
    }
    writer.SetWidths();
    return written;
}

}  // namespace

bool WriteBillOfMaterialsWorkbook(const BomReport& report, const std::string& path)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    if (!workbook)
        return false;
    const Formats formats = MakeFormats(workbook);
    lxw_worksheet* orders = workbook_add_worksheet(workbook, "物料清单");
    lxw_worksheet* engineering = workbook_add_worksheet(workbook, "工程数据");
    bool written = orders && engineering;
    if (written) {
        written = WriteOrderSheet(orders, formats, report);
        written = WriteEngineeringSheet(engineering, formats, report) && written;
    }
    // Closing writes the file, and frees the workbook whatever came before.
    return workbook_close(workbook) == LXW_NO_ERROR && written;
}

}  // namespace orvane
