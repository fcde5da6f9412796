// The purchaser's report of a bill and its texts: CSV, tab-separated rows
// and HTML tables. Every figure is the movie's; the report only lays it out.
#include "orvane/BillOfMaterials.h"
#include "orvane/Catalog.h"

#include "MoneyText.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {

BomCell Text(std::string text) { return {std::move(text)}; }

BomCell Count(std::uint32_t value, BomCell::Formula formula = BomCell::Formula::None)
{
    return {std::to_string(value), BomCell::Kind::Count, double(value), formula};
}

// A price cell; empty without a price.
BomCell Money(std::optional<std::int64_t> fen, BomCell::Formula formula = BomCell::Formula::None)
{
    if (!fen)
        return {};
    return {detail::MoneyText(*fen), BomCell::Kind::Money, double(*fen) / 100, formula};
}

std::string ProjectLabel(const std::string& key)
{
    if (key == "name")
        return "项目名称";
    if (key == "customer")
        return "客户";
    if (key == "author")
        return "编制";
    return "备注";
}

BomTable OrderLines(const BillOfMaterials& bom)
{
    const bool priced = !bom.currency.empty();
    BomTable table{{"序号", "订货号", "型号", "说明", "数量"}, {}};
    if (priced) {
        table.columns.push_back("单价(" + bom.currency + ")");
        table.columns.push_back("金额(" + bom.currency + ")");
    }
    for (const BomLine& line : bom.lines) {
        const std::string mark = line.unknown                ? "【目录中未知】"
                                 : !line.discontinued       ? ""
                                 : line.replacement.empty() ? "【停产】"
                                                            : "【停产，替代型号 " + line.replacement + "】";
        // The quantity of an unknown item is shown, but as a text, so that the 合计 row's sum leaves it out.
        BomRow row{Count(line.number), Text(line.orderNumber), Text(line.partNumber), Text(mark + line.description),
                   line.unknown ? Text(std::to_string(line.quantity)) : Count(line.quantity)};
        if (priced) {
            row.push_back(Money(line.unitPrice));
            row.push_back(Money(line.lineTotal, line.unitPrice ? BomCell::Formula::ProductOfTwoBefore : BomCell::Formula::None));
        }
        table.rows.push_back(std::move(row));
    }
    BomRow total{Text("合计"), {}, {}, {}, Count(bom.totalQuantity, BomCell::Formula::SumAbove)};
    if (priced) {
        total.push_back({});
        total.push_back(Money(bom.totalPrice, BomCell::Formula::SumAbove));
    }
    table.rows.push_back(std::move(total));
    return table;
}

// The modules pinned to a rack and their slots: "ZX-DI16（槽位 1、2），ZX-AO04（槽位 5）".
std::string PinnedModulesText(const BomRack& rack)
{
    std::vector<std::pair<std::string, std::string>> modules;  // code, slots
    for (const std::uint32_t slot : rack.pinnedSlots) {
        const std::string& code = rack.slotCodes[slot - 1];
        if (code == "<")
            continue;  // the rest of a wider module
        if (!modules.empty() && modules.back().first == code)
            modules.back().second += "、" + std::to_string(slot);
        else
            modules.emplace_back(code, std::to_string(slot));
    }
    std::string text;
    for (const auto& [code, slots] : modules)
        text += (text.empty() ? "" : "，") + code + "（槽位 " + slots + "）";
    return text;
}

// A figure with `decimals` places ("236.5"); "未知" when unknown.
std::string Decimal(std::optional<double> value, int decimals = 1)
{
    if (!value)
        return "未知";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}

// "25.7", "至少 25.7", "未知".
std::string HeatText(const BomHeat& heat)
{
    return (heat.atLeast ? "至少 " : "") + Decimal(heat.watts);
}

// The enclosure and what it sheds, as the limits list them.
void AddEnclosure(const BomEnclosure& e, std::vector<std::pair<std::string, BomCell>>& limits)
{
    limits.emplace_back("机柜", Text(std::to_string(e.width) + "×" + std::to_string(e.height) + "×" + std::to_string(e.depth) +
                                       " mm，" + e.installation + "，" + e.material + "（k=" + Decimal(e.coefficient) +
                                       " W/m²K），环境 " + Decimal(e.ambient, 0) + " °C，柜内最高 " + Decimal(e.insideMax, 0) + " °C"));
    limits.emplace_back("机柜散热", Text("散热面积 " + Decimal(e.surface, 2) + " m²，散热 " + Decimal(e.shed) + " W"));
    limits.emplace_back("所需冷却(W)", Text(e.cooling && *e.cooling == 0 ? "无需" : Decimal(e.cooling)));
}

BomTable Engineering(const BillOfMaterials& bom)
{
    BomTable table{{"机架", "基板", "电源", "已用槽位", "可用槽位", "5V电流(mA)", "5V容量(mA)", "24V电流(mA)",
                    "24V容量(mA)", "I/O点数"},
                   {}};
    const bool pinned = std::any_of(bom.racks.begin(), bom.racks.end(), [](const BomRack& r) { return !r.pinnedSlots.empty(); });
    if (pinned)
        table.columns.push_back("固定模块");
    const bool cabinet = bom.totalLoss.has_value();
    if (cabinet) {
        table.columns.push_back("导轨长度(mm)");
        table.columns.push_back("损耗(W)");
    }
    for (const BomRack& rack : bom.racks) {
        table.rows.push_back({Text(rack.label), Text(rack.base), Text(rack.power), Count(rack.slotsUsed), Count(rack.slotCount),
                              Count(rack.current5V), Count(rack.supply5V), Count(rack.current24V), Count(rack.supply24V),
                              Count(rack.ioPoints)});
        if (pinned)
            table.rows.back().push_back(Text(PinnedModulesText(rack)));
        if (cabinet) {
            table.rows.back().push_back(Text(Decimal(rack.railMm)));
            table.rows.back().push_back(Text(HeatText(rack.loss)));
        }
    }
    const BomOverall& o = bom.overall;
    table.rows.push_back({Text("合计"), {}, {}, Count(o.slotsUsed), Count(o.slotCount), Count(o.current5V), Count(o.supply5V),
                          Count(o.current24V), Count(o.supply24V), Count(o.ioPoints)});
    if (cabinet) {
        if (pinned)
            table.rows.back().emplace_back();
        table.rows.back().emplace_back();
        table.rows.back().push_back(Text(HeatText(*bom.totalLoss)));
    }
    return table;
}

// One row of the texts' layout; a header row (a section's title, a table's
// columns) is marked as such in the HTML.
struct ReportRow {
    std::vector<BomCell> cells;
    bool header = false;
};

// The sections as rows: heading, order lines, engineering summary, each
// value in a cell of its own, a blank row between sections.
std::vector<ReportRow> ReportRows(const BomReport& report)
{
    std::vector<ReportRow> rows{{{Text("物料清单")}, true}};
    for (const auto& [label, cell] : report.heading)
        rows.push_back({{Text(label), cell}});
    const auto addTable = [&rows](const BomTable& table) {
        ReportRow columns{{}, true};
        for (const std::string& column : table.columns)
            columns.cells.push_back(Text(column));
        rows.push_back(std::move(columns));
        for (const BomRow& row : table.rows)
            rows.push_back({row});
    };
    rows.emplace_back();
    addTable(report.orderLines);
    rows.emplace_back();
    rows.push_back({{Text("工程数据")}, true});
    addTable(report.engineering);
    for (const auto& [label, cell] : report.limits)
        rows.push_back({{Text(label), cell}});
    for (const std::string& warning : report.warnings)
        rows.push_back({{Text("注意"), Text(warning)}});
    return rows;
}

void AppendCsvField(std::string& csv, const std::string& text)
{
    const std::string field = SpreadsheetSafeText(text);
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        csv += field;
        return;
    }
    csv += '"';
    for (const char c : field) {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}

std::string Escaped(const std::string& text)
{
    std::string html;
    for (const char c : SpreadsheetSafeText(text)) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        default: html += c;
        }
    }
    return html;
}

// A figure shows its separators, and tells a spreadsheet its plain value and number format.
std::string HtmlCell(const BomCell& cell, bool header)
{
    if (header)
        return "<th>" + Escaped(cell.text) + "</th>";
    if (cell.kind != BomCell::Kind::Count && cell.kind != BomCell::Kind::Money)
        return "<td>" + Escaped(cell.text) + "</td>";
    const char* format = cell.kind == BomCell::Kind::Money ? "#,##0.00" : "#,##0";
    return "<td align=\"right\" sdval=\"" + cell.text + "\" sdnum=\"1033;0;" + format + "\">" + ShownText(cell) + "</td>";
}

// "槽位 20%，5V电流 10%" : the limits a reserve is kept of.
std::string ReserveText(const BomReserve& reserve)
{
    std::string text;
    for (const auto& [label, percent] : {std::pair<const char*, std::uint32_t>{"槽位", reserve.slotPercent},
                                         {"5V电流", reserve.current5VPercent},
                                         {"24V电流", reserve.current24VPercent},
                                         {"I/O点数", reserve.ioPointPercent}}) {
        if (percent > 0)
            text += (text.empty() ? "" : "，") + std::string(label) + " " + std::to_string(percent) + "%";
    }
    return text.empty() ? "不留" : text;
}

}  // namespace

std::string ShownText(const BomCell& cell)
{
    std::string text = cell.text;
    if (cell.kind != BomCell::Kind::Count && cell.kind != BomCell::Kind::Money)
        return text;
    const std::size_t sign = text.starts_with('-') ? 1 : 0;
    for (std::size_t at = std::min(text.find('.'), text.size()); at > sign + 3; at -= 3)
        text.insert(at - 3, 1, ',');
    return text;
}

BomReport PurchaseReport(const BillOfMaterials& bom, const std::string& date)
{
    BomReport report;
    for (const auto& [key, text] : bom.project)
        report.heading.emplace_back(ProjectLabel(key), Text(text));
    report.heading.emplace_back("日期", BomCell{date, BomCell::Kind::Date});
    if (!bom.edition.empty())
        report.heading.emplace_back(
            "价格依据", Text("产品目录 " + CatalogEditionText(bom.edition, bom.editionDate)));
    report.orderLines = OrderLines(bom);
    report.engineering = Engineering(bom);
    if (bom.overall.ioPointLimit > 0)
        report.limits.emplace_back("CPU I/O点数上限", Count(bom.overall.ioPointLimit));
    report.limits.emplace_back("基板数", Text(std::to_string(bom.overall.bases) +
                                             (bom.overall.baseLimit > 0 ? "（CPU上限 " + std::to_string(bom.overall.baseLimit) + "）" : "")));
    if (bom.reserve)
        report.limits.emplace_back("预留余量", Text(ReserveText(*bom.reserve)));
    if (bom.totalLoss)
        report.limits.emplace_back("总损耗(W)", Text(HeatText(*bom.totalLoss)));
    if (bom.enclosure)
        AddEnclosure(*bom.enclosure, report.limits);
    report.warnings = bom.warnings;
    report.racks = bom.racks;
    return report;
}

std::string BillOfMaterialsCsv(const BomReport& report)
{
    std::string csv = "\xEF\xBB\xBF";
    for (const ReportRow& row : ReportRows(report)) {
        for (std::size_t column = 0; column < row.cells.size(); ++column) {
            if (column > 0)
                csv += ',';
            AppendCsvField(csv, row.cells[column].text);
        }
        csv += "\r\n";
    }
    return csv;
}

std::string BillOfMaterialsTabSeparated(const BomReport& report)
{
    std::string table;
    for (const ReportRow& row : ReportRows(report)) {
        for (std::size_t column = 0; column < row.cells.size(); ++column)
            table += (column > 0 ? "\t" : "") + SpreadsheetSafeText(row.cells[column].text);
        table += '\n';
    }
    return table;
}

std::string BillOfMaterialsHtml(const BomReport& report)
{
    std::string html = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    for (const ReportRow& row : ReportRows(report)) {
        html += "<tr>";
        for (const BomCell& cell : row.cells)
            html += HtmlCell(cell, row.header);
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace orvane
