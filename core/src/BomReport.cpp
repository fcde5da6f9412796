// The purchaser's report of a bill and its texts: CSV, tab-separated rows
// and HTML tables. Every figure is the movie's; the report only lays it out.
#include "orvane/BillOfMaterials.h"

#include "MoneyText.h"

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

BomTable Engineering(const BillOfMaterials& bom)
{
    BomTable table{{"机架", "基板", "电源", "已用槽位", "可用槽位", "5V电流(mA)", "5V容量(mA)", "24V电流(mA)",
                    "24V容量(mA)", "I/O点数"},
                   {}};
    for (const BomRack& rack : bom.racks)
        table.rows.push_back({Text(rack.label), Text(rack.base), Text(rack.power), Count(rack.slotsUsed), Count(rack.slotCount),
                              Count(rack.current5V), Count(rack.supply5V), Count(rack.current24V), Count(rack.supply24V),
                              Count(rack.ioPoints)});
    const BomOverall& o = bom.overall;
    table.rows.push_back({Text("合计"), {}, {}, Count(o.slotsUsed), Count(o.slotCount), Count(o.current5V), Count(o.supply5V),
                          Count(o.current24V), Count(o.supply24V), Count(o.ioPoints)});
    return table;
}

// The sections as rows of texts: heading, order lines, engineering summary.
std::vector<std::vector<std::string>> TextRows(const BomReport& report)
{
    std::vector<std::vector<std::string>> rows{{"物料清单"}};
    for (const auto& [label, cell] : report.heading)
        rows.push_back({label, cell.text});
    const auto addTable = [&rows](const BomTable& table) {
        rows.push_back(table.columns);
        for (const BomRow& row : table.rows) {
            std::vector<std::string> texts;
            for (const BomCell& cell : row)
                texts.push_back(cell.text);
            rows.push_back(std::move(texts));
        }
    };
    rows.emplace_back();
    addTable(report.orderLines);
    rows.emplace_back();
    rows.push_back({"工程数据"});
    addTable(report.engineering);
    for (const auto& [label, text] : report.limits)
        rows.push_back({label, text});
    for (const std::string& warning : report.warnings)
        rows.push_back({"注意", warning});
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

std::string HtmlTable(const std::vector<std::string>& columns, const std::vector<BomRow>& rows)
{
    std::string html = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    if (!columns.empty()) {
        html += "<tr>";
        for (const std::string& column : columns)
            html += "<th>" + Escaped(column) + "</th>";
        html += "</tr>\n";
    }
    for (const BomRow& row : rows) {
        html += "<tr>";
        for (const BomCell& cell : row)
            html += (cell.kind == BomCell::Kind::Text ? "<td>" : "<td align=\"right\">") + Escaped(cell.text) + "</td>";
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

BomRow TextPair(const std::string& label, const std::string& text) { return {Text(label), Text(text)}; }

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

BomReport PurchaseReport(const BillOfMaterials& bom, const std::string& date)
{
    BomReport report;
    for (const auto& [key, text] : bom.project)
        report.heading.emplace_back(ProjectLabel(key), Text(text));
    report.heading.emplace_back("日期", BomCell{date, BomCell::Kind::Date});
    if (!bom.edition.empty())
        report.heading.emplace_back(
            "价格依据", Text("产品目录 " + bom.edition + " 版" + (bom.editionDate.empty() ? "" : "（" + bom.editionDate + "）")));
    report.orderLines = OrderLines(bom);
    report.engineering = Engineering(bom);
    if (bom.overall.ioPointLimit > 0)
        report.limits.emplace_back("CPU I/O点数上限", std::to_string(bom.overall.ioPointLimit));
    report.limits.emplace_back("基板数", std::to_string(bom.overall.bases) +
                                             (bom.overall.baseLimit > 0 ? "（CPU上限 " + std::to_string(bom.overall.baseLimit) + "）" : ""));
    if (bom.reserve)
        report.limits.emplace_back("预留余量", ReserveText(*bom.reserve));
    report.warnings = bom.warnings;
    report.racks = bom.racks;
    return report;
}

std::string BillOfMaterialsCsv(const BomReport& report)
{
    std::string csv = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : TextRows(report)) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                csv += ',';
            AppendCsvField(csv, row[column]);
        }
        csv += "\r\n";
    }
    return csv;
}

std::string BillOfMaterialsTabSeparated(const BomReport& report)
{
    std::string table;
    for (const std::vector<std::string>& row : TextRows(report)) {
        for (std::size_t column = 0; column < row.size(); ++column)
            table += (column > 0 ? "\t" : "") + SpreadsheetSafeText(row[column]);
        table += '\n';
    }
    return table;
}

std::string BillOfMaterialsHtml(const BomReport& report)
{
    std::vector<BomRow> heading;
    for (const auto& [label, cell] : report.heading)
        heading.push_back(TextPair(label, cell.text));
    std::vector<BomRow> notes;
    for (const auto& [label, text] : report.limits)
        notes.push_back(TextPair(label, text));
    for (const std::string& warning : report.warnings)
        notes.push_back(TextPair("注意", warning));
    return "<h3>物料清单</h3>\n" + HtmlTable({}, heading) + "<br>\n" +
           HtmlTable(report.orderLines.columns, report.orderLines.rows) + "<h3>工程数据</h3>\n" +
           HtmlTable(report.engineering.columns, report.engineering.rows) + HtmlTable({}, notes);
}

}  // namespace orvane
