// Reading the movie's bill (TZBOM/2, /3, /4 and /5).
#include "orvane/BillOfMaterials.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

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

// A price with two decimals ("680.00") in fen.
std::optional<std::int64_t> ReadMoney(std::string_view field)
{
    const std::size_t point = field.find('.');
    if (point == std::string_view::npos || point == 0 || point > 15 || field.size() != point + 3)
        return std::nullopt;
    std::int64_t fen = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (i == point)
            continue;
        if (field[i] < '0' || field[i] > '9')
            return std::nullopt;
        fen = fen * 10 + (field[i] - '0');
    }
    return fen;
}

// Figures from fields[first] on into the given members; false when one is not a number.
bool ReadFigures(const std::vector<std::string_view>& fields, std::size_t first,
                 std::initializer_list<std::uint32_t*> figures)
{
    for (std::uint32_t* figure : figures) {
        const auto value = ReadNumber(fields[first++]);
        if (!value)
            return false;
        *figure = *value;
    }
    return true;
}

// An empty field is no price; anything else must be one, and only with a currency.
bool ReadPrice(std::string_view field, const BillOfMaterials& bom, std::optional<std::int64_t>& price)
{
    if (field.empty())
        return true;
    price = ReadMoney(field);
    return price && !bom.currency.empty();
}

// A plain decimal ("456.5", "-179.5", "12"); negative only when allowed.
std::optional<double> ReadDecimal(std::string_view field, bool signedFigure)
{
    std::string_view digits = field;
    if (signedFigure && !digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view("0") : digits.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return !part.empty() && part.size() <= 9 && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!allDigits(whole) || !allDigits(fraction))
        return std::nullopt;
    double value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return value;
}

// LOSS and ATLEAST: an empty LOSS is unknown (and no bound), ATLEAST "1" or "".
bool ReadHeat(std::string_view watts, std::string_view atLeast, BomHeat& heat)
{
    if (!watts.empty() && !(heat.watts = ReadDecimal(watts, false)))
        return false;
    heat.atLeast = atLeast == "1";
    return (atLeast.empty() || atLeast == "1") && !(watts.empty() && heat.atLeast);
}

bool ReadRackCabinet(const std::vector<std::string_view>& fields, BomRack& rack)
{
    if (rack.hasCabinetFigures || (!fields[1].empty() && !(rack.railMm = ReadDecimal(fields[1], false))))
        return false;
    rack.hasCabinetFigures = true;
    return ReadHeat(fields[2], fields[3], rack.loss);
}

bool ReadEnclosure(const std::vector<std::string_view>& fields, BillOfMaterials& bom)
{
    BomEnclosure e;
    e.installation = fields[4];
    e.material = fields[5];
    const auto coefficient = ReadDecimal(fields[6], false);
    const auto ambient = ReadDecimal(fields[7], true);
    const auto inside = ReadDecimal(fields[8], true);
    const auto surface = ReadDecimal(fields[9], false);
    const auto shed = ReadDecimal(fields[10], true);
    if (!ReadFigures(fields, 1, {&e.width, &e.height, &e.depth}) || e.installation.empty() || e.material.empty() || !coefficient ||
        !ambient || !inside || !surface || !shed || (!fields[11].empty() && !(e.cooling = ReadDecimal(fields[11], false))))
        return false;
    e.coefficient = *coefficient;
    e.ambient = *ambient;
    e.insideMax = *inside;
    e.surface = *surface;
    e.shed = *shed;
    bom.enclosure = std::move(e);
    return true;
}

bool IsProjectKey(std::string_view key)
{
    return key == "name" || key == "customer" || key == "author" || key == "note";
}

bool ReadLine(const std::vector<std::string_view>& fields, BillOfMaterials& bom)
{
    BomLine line{0, std::string(fields[2]), std::string(fields[3]), std::string(fields[4]), 0, {}, {}, false, {}};
    const auto number = ReadNumber(fields[1]);
    const auto quantity = ReadNumber(fields[5]);
    if (!number || *number != bom.lines.size() + 1 || line.partNumber.empty() || !quantity ||
        !ReadPrice(fields[6], bom, line.unitPrice) || !ReadPrice(fields[7], bom, line.lineTotal))
        return false;
    line.number = *number;
    line.quantity = *quantity;
    bom.lines.push_back(std::move(line));
    return true;
}

bool ReadRack(const std::vector<std::string_view>& fields, BillOfMaterials& bom)
{
    BomRack rack;
    rack.label = fields[1];
    rack.base = fields[2];
    rack.power = fields[3];
    if (rack.label.empty() || !ReadFigures(fields, 4, {&rack.slotsUsed, &rack.slotCount, &rack.current5V, &rack.supply5V,
                                                        &rack.current24V, &rack.supply24V, &rack.ioPoints}))
        return false;
    bom.racks.push_back(std::move(rack));
    return true;
}

// The slots of a rack whose modules are pinned to it: ascending numbers of slots that hold a module.
bool ReadPinnedSlots(const std::vector<std::string_view>& fields, BomRack& rack)
{
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto slot = ReadNumber(fields[i]);
        if (!slot || *slot == 0 || *slot > rack.slotCodes.size() || rack.slotCodes[*slot - 1].empty() ||
            (!rack.pinnedSlots.empty() && *slot <= rack.pinnedSlots.back()))
            return false;
        rack.pinnedSlots.push_back(*slot);
    }
    return !rack.pinnedSlots.empty();
}

}  // namespace

std::optional<BillOfMaterials> ParseBillOfMaterials(std::string_view text)
{
    const std::vector<std::string_view> lines = Split(text, '\n');
    const bool version5 = lines.front() == "TZBOM/5";
    const bool version4 = lines.front() == "TZBOM/4" || version5;
    const bool version3 = lines.front() == "TZBOM/3" || version4;
    if (lines.front() != "TZBOM/2" && !version3)
        return std::nullopt;
    BillOfMaterials bom;
    bool haveSum = false, haveOverall = false, slotsDue = false;
    std::string_view previousKind;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        for (const std::string_view field : fields) {
            if (HasControlCharacter(field))
                return std::nullopt;
        }
        const std::string_view kind = fields.front();
        const std::size_t count = fields.size();
        bool read = false;
        if (kind == "slots") {
            read = slotsDue;
            if (read)
                bom.racks.back().slotCodes.assign(fields.begin() + 1, fields.end());
        } else if (slotsDue) {
            return std::nullopt;  // a rack's slots come right after it
        } else if (kind == "project" && count == 3) {
            read = IsProjectKey(fields[1]) && !fields[2].empty();
            for (const auto& [key, value] : bom.project)
                read = read && key != fields[1];
            if (read)
                bom.project.emplace_back(fields[1], fields[2]);
        } else if (kind == "currency" && count == 2) {
            read = bom.currency.empty() && bom.lines.empty() && fields[1].size() == 3 &&
                   std::all_of(fields[1].begin(), fields[1].end(), [](char c) { return c >= 'A' && c <= 'Z'; });
            bom.currency = fields[1];
        } else if (kind == "line" && count == 8) {
            read = ReadLine(fields, bom);
        } else if (kind == "sum" && count == 3 && !haveSum) {
            const auto quantity = ReadNumber(fields[1]);
            read = haveSum = quantity && ReadPrice(fields[2], bom, bom.totalPrice);
            bom.totalQuantity = quantity.value_or(0);
        } else if (kind == "rack" && count == 11) {
            read = slotsDue = ReadRack(fields, bom);
        } else if (kind == "overall" && count == 11 && !haveOverall) {
            BomOverall& o = bom.overall;
            read = haveOverall = ReadFigures(fields, 1, {&o.slotsUsed, &o.slotCount, &o.current5V, &o.supply5V, &o.current24V,
                                                          &o.supply24V, &o.ioPoints, &o.ioPointLimit, &o.bases, &o.baseLimit});
        } else if (kind == "edition" && count == 3 && version3 && bom.edition.empty() && bom.lines.empty()) {
            read = !fields[1].empty();
            bom.edition = fields[1];
            bom.editionDate = fields[2];
        } else if (kind == "discontinued" && count == 3 && version3 && previousKind == "line") {
            read = ReadNumber(fields[1]) == bom.lines.back().number;
            bom.lines.back().discontinued = true;
            bom.lines.back().replacement = fields[2];
        } else if (kind == "unknown" && count == 2 && version4 && previousKind == "line") {
            read = ReadNumber(fields[1]) == bom.lines.back().number;
            bom.lines.back().unknown = true;
        } else if (kind == "reserve" && count == 5 && version3 && !bom.reserve) {
            BomReserve& r = bom.reserve.emplace();
            read = ReadFigures(fields, 1, {&r.slotPercent, &r.current5VPercent, &r.current24VPercent, &r.ioPointPercent}) &&
                   std::max({r.slotPercent, r.current5VPercent, r.current24VPercent, r.ioPointPercent}) <= 100;
        } else if (kind == "pinned" && version4 && previousKind == "slots") {
            read = ReadPinnedSlots(fields, bom.racks.back());
        } else if (kind == "cabinet" && count == 4 && version5 && (previousKind == "slots" || previousKind == "pinned")) {
            read = ReadRackCabinet(fields, bom.racks.back());
        } else if (kind == "heat" && count == 3 && version5 && previousKind == "overall") {
            read = ReadHeat(fields[1], fields[2], bom.totalLoss.emplace());
        } else if (kind == "enclosure" && count == 12 && version5 && previousKind == "heat" && !bom.enclosure) {
            read = ReadEnclosure(fields, bom);
        } else if (kind == "warning" && count == 2 && !fields[1].empty()) {
            read = true;
            bom.warnings.emplace_back(fields[1]);
        }
        if (!read)
            return std::nullopt;
        if (kind == "slots")
            slotsDue = false;
        previousKind = kind;
    }
    if (bom.lines.empty() || bom.racks.empty() || !haveSum || !haveOverall || slotsDue)
        return std::nullopt;
    return bom;
}

}  // namespace orvane
