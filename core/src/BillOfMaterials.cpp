#include "orvane/BillOfMaterials.h"

#include "Wtf8Sequence.h"

#include <charconv>

namespace orvane {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool HasControlCharacter(std::string_view field)
{
    for (const char c : field) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

std::optional<std::uint32_t> ReadNumber(std::string_view field)
{
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

// Figures from three fields; false when one is not a number.
bool ReadFigures(const std::vector<std::string_view>& fields, std::size_t first, BomFigures& figures)
{
    const auto slots = ReadNumber(fields[first]);
    const auto current5V = ReadNumber(fields[first + 1]);
    const auto current24V = ReadNumber(fields[first + 2]);
    if (!slots || !current5V || !current24V)
        return false;
    figures = {*slots, *current5V, *current24V};
    return true;
}

std::vector<std::string> FiguresRow(std::string label, std::string description, std::string quantity,
                                    const BomFigures& figures)
{
    return {std::move(label), std::move(description), std::move(quantity), std::to_string(figures.slotCount),
            std::to_string(figures.current5V), std::to_string(figures.current24V)};
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

// Characters a spreadsheet passes over before it looks for a formula: white
// space of every width, and the quote that opens a quoted cell.
bool IsSkippedBeforeFormula(char32_t c)
{
    return c == ' ' || c == '\t' || c == '"' || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F ||
           c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// What starts a formula, in its ASCII and full-width forms (a Chinese input
// method types the latter, and spreadsheets take them as the former).
bool StartsFormula(char32_t c)
{
    return c == '=' || c == '+' || c == '-' || c == '@' || c == 0xFF1D || c == 0xFF0B || c == 0xFF0D || c == 0xFF20;
}

}  // namespace

std::string SpreadsheetSafeText(const std::string& field)
{
    for (std::size_t pos = 0; pos < field.size();) {
        const detail::Wtf8Sequence sequence = detail::ReadWtf8Sequence(field, pos);
        if (sequence.length == 0)
            break;
        if (StartsFormula(sequence.codePoint) || sequence.codePoint == '\r' || sequence.codePoint == '\n')
            return "'" + field;
        if (!IsSkippedBeforeFormula(sequence.codePoint))
            break;
        pos += sequence.length;
    }
    return field;
}

std::optional<BillOfMaterials> ParseBillOfMaterials(std::string_view text)
{
    const std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.front() != "TZBOM/1")
        return std::nullopt;
    BillOfMaterials bom;
    bool haveTotal = false, haveCapacity = false, haveIo = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        for (const std::string_view field : fields) {
            if (HasControlCharacter(field))
                return std::nullopt;
        }
        const std::string_view kind = fields.front();
        if (kind == "item" && fields.size() == 7) {
            BomItem item{std::string(fields[1]), std::string(fields[2]), 0, {}};
            const auto quantity = ReadNumber(fields[3]);
            if (item.partNumber.empty() || !quantity || !ReadFigures(fields, 4, item.figures))
                return std::nullopt;
            item.quantity = *quantity;
            bom.items.push_back(std::move(item));
        } else if (kind == "total" && fields.size() == 4 && !haveTotal) {
            haveTotal = ReadFigures(fields, 1, bom.total);
            if (!haveTotal)
                return std::nullopt;
        } else if (kind == "capacity" && fields.size() == 4 && !haveCapacity) {
            haveCapacity = ReadFigures(fields, 1, bom.capacity);
            if (!haveCapacity)
                return std::nullopt;
        } else if (kind == "io" && fields.size() == 3 && !haveIo) {
            const auto points = ReadNumber(fields[1]);
            const auto limit = ReadNumber(fields[2]);
            if (!points || !limit)
                return std::nullopt;
            bom.ioPoints = *points;
            bom.ioPointLimit = *limit;
            haveIo = true;
        } else if (kind == "warning" && fields.size() == 2 && !fields[1].empty()) {
            bom.warnings.emplace_back(fields[1]);
        } else {
            return std::nullopt;
        }
    }
    if (bom.items.empty() || !haveTotal || !haveCapacity || !haveIo)
        return std::nullopt;
    return bom;
}

std::vector<std::vector<std::string>> BillOfMaterialsRows(const BillOfMaterials& bom)
{
    std::vector<std::vector<std::string>> rows{{"型号", "说明", "数量", "占用槽位", "5V电流(mA)", "24V电流(mA)"}};
    for (const BomItem& item : bom.items)
        rows.push_back(FiguresRow(item.partNumber, item.description, std::to_string(item.quantity), item.figures));
    rows.push_back(FiguresRow("合计", "", "", bom.total));
    rows.push_back(FiguresRow("可用", "基板槽位与电源容量", "", bom.capacity));
    rows.push_back({"I/O点数", bom.ioPointLimit == 0 ? "" : "CPU上限 " + std::to_string(bom.ioPointLimit),
                    std::to_string(bom.ioPoints), "", "", ""});
    for (const std::string& warning : bom.warnings)
        rows.push_back({"注意", warning, "", "", "", ""});
    return rows;
}

std::string BillOfMaterialsCsv(const BillOfMaterials& bom)
{
    std::string csv = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : BillOfMaterialsRows(bom)) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                csv += ',';
            AppendCsvField(csv, row[column]);
        }
        csv += "\r\n";
    }
    return csv;
}

std::string BillOfMaterialsTabSeparated(const BillOfMaterials& bom)
{
    std::string table;
    for (const std::vector<std::string>& row : BillOfMaterialsRows(bom)) {
        for (std::size_t column = 0; column < row.size(); ++column)
            table += (column > 0 ? "\t" : "") + SpreadsheetSafeText(row[column]);
        table += '\n';
    }
    return table;
}

}  // namespace orvane
