#include "orvane/Catalog.h"

#include "orvane/VersionCompare.h"
#include "orvane/Wtf8.h"

#include "XmlLoader.h"
#include "XmlNesting.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace orvane {

namespace {

// The accessories an item requires: code and how many go with each piece.
using Accessories = std::vector<std::pair<std::string, int>>;

struct KindRule {
    const char* name;
    bool slotModule;  // occupies I/O slots: one unless it says otherwise
    bool format2Only;
};
constexpr std::array<KindRule, 12> kKinds{{
    {"cpu", false, false},
    {"power", false, false},
    {"base", false, false},
    {"di", true, false},
    {"do", true, false},
    {"ai", true, false},
    {"ao", true, false},
    {"comm", true, false},
    {"expbase", false, true},
    {"expif", false, true},
    {"cable", false, true},
    {"acc", false, true},
}};
// The kinds a catalogue cannot do without, with the movie's names for them.
constexpr std::array<std::pair<const char*, const char*>, 3> kRequiredKinds{{
    {"cpu", "CPU 单元"}, {"power", "电源"}, {"base", "基板"},
}};
constexpr std::array<const char*, 10> kNumbers{"di", "do", "ai", "ao", "slots", "i5v", "i24v", "out5v", "out24v", "maxio"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// White space as the movie trims it: tab to carriage return, and space.
bool IsTrimmedSpace(char c) { return (c > 8 && c < 14) || c == ' '; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsTrimmedSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmedSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A letter or digit, then up to maxLength - 1 letters, digits or others.
bool IsIdentifier(std::string_view text, std::size_t maxLength, std::string_view others)
{
    return !text.empty() && text.size() <= maxLength && IsAlnum(text.front()) &&
           std::all_of(text.begin(), text.end(),
                       [&](char c) { return IsAlnum(c) || others.find(c) != std::string_view::npos; });
}

bool IsCode(std::string_view text) { return IsIdentifier(text, kMaxItemCodeLength, "._-"); }

std::size_t DigitRun(std::string_view text)
{
    return static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), IsDigit) - text.begin());
}

// Whole digits, then optionally a point and one or two digits.
bool IsPrice(std::string_view text)
{
    const std::size_t whole = DigitRun(text);
    if (whole < 1 || whole > kMaxPriceWholeDigits)
        return false;
    if (whole == text.size())
        return true;
    const std::string_view fraction = text.substr(whole + 1);
    return text[whole] == '.' && !fraction.empty() && fraction.size() <= kMaxPriceFractionDigits &&
           DigitRun(fraction) == fraction.size();
}

std::int64_t PriceFen(std::string_view text)
{
    const std::size_t point = text.find('.');
    std::int64_t fen = std::stoll(std::string(text.substr(0, point))) * 100;
    if (point != std::string_view::npos) {
        const std::string fraction = (std::string(text.substr(point + 1)) + "0").substr(0, 2);
        fen += std::stoll(fraction);
    }
    return fen;
}

// Whether a figure attribute is malformed or too large; a missing one is not.
constexpr long kFigureDamaged = -1;

// A decimal figure times scale (10 or 1000, with as many decimals at most):
// nullopt when missing, kFigureDamaged when malformed or over max.
std::optional<long> ReadScaled(const pugi::xml_attribute& attribute, long scale, long max)
{
    if (!attribute)
        return std::nullopt;
    const std::string_view text = Trim(attribute.value());
    const std::size_t whole = DigitRun(text);
    const std::size_t maxFraction = scale == 10 ? 1 : 3;
    if (whole < 1 || whole > kMaxFigureWholeDigits)
        return kFigureDamaged;
    long value = std::stol(std::string(text.substr(0, whole))) * scale;
    if (whole < text.size()) {
        const std::string_view fraction = text.substr(whole + 1);
        if (text[whole] != '.' || fraction.empty() || fraction.size() > maxFraction || DigitRun(fraction) != fraction.size())
            return kFigureDamaged;
        long unit = scale / 10;
        for (const char digit : fraction) {
            value += (digit - '0') * unit;
            unit /= 10;
        }
    }
    return value > max ? kFigureDamaged : value;
}

// A format 3 item's width and loss; false when one is damaged.
bool ReadFigures(const pugi::xml_node& element, CatalogItem& item)
{
    const std::optional<long> width = ReadScaled(element.attribute("width"), 10, kMaxWidthTenthMm);
    const std::optional<long> loss = ReadScaled(element.attribute("loss"), 1000, kMaxLossMilliwatt);
    const std::optional<long> perPoint = ReadScaled(element.attribute("lossperpoint"), 1000, kMaxLossPerPointMilliwatt);
    if (width == kFigureDamaged || loss == kFigureDamaged || perPoint == kFigureDamaged)
        return false;
    item.widthTenthMm = width;
    if (loss || perPoint)
        item.lossMilliwatt = loss.value_or(0);
    item.lossPerPointMilliwatt = perPoint.value_or(0);
    return true;
}

bool IsEdition(std::string_view text)
{
    if (text.empty() || text.size() > kMaxCatalogEditionLength)
        return false;
    for (std::size_t at = 0;;) {
        const std::size_t digits = DigitRun(text.substr(at));
        if (digits == 0)
            return false;
        at += digits;
        if (at == text.size())
            return true;
        if (text[at++] != '.')
            return false;
    }
}

bool IsDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || DigitRun(text) != 4 ||
        DigitRun(text.substr(5)) != 2 || DigitRun(text.substr(8)) != 2)
        return false;
    const int month = std::stoi(std::string(text.substr(5, 2)));
    const int day = std::stoi(std::string(text.substr(8, 2)));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// A missing number is 0; nullopt for one that is not 1 to kMaxNumberDigits digits.
std::optional<long> ReadNumber(const pugi::xml_attribute& attribute)
{
    if (!attribute)
        return 0;
    const std::string_view text = Trim(attribute.value());
    if (text.empty() || text.size() > kMaxNumberDigits || DigitRun(text) != text.size())
        return std::nullopt;
    return std::stol(std::string(text));
}

std::string CleanDescription(std::string_view text)
{
    std::string clean;
    std::size_t characters = 0;
    for (const char c : Trim(text)) {
        const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (starts && characters++ == kMaxDescriptionCharacters)
            break;
        const bool control = static_cast<unsigned char>(c) < 32 || c == 127;
        clean += control ? ' ' : c;
    }
    return clean;
}

const KindRule* FindKind(const char* name)
{
    const auto found = std::find_if(kKinds.begin(), kKinds.end(),
                                    [&](const KindRule& rule) { return std::strcmp(rule.name, name) == 0; });
    return found == kKinds.end() ? nullptr : &*found;
}

// Whether an item's figures suit its kind, as the movie checks them.
bool FitsKind(std::string_view kind, const std::map<std::string, long>& value, long slots)
{
    if (kind == "power")
        return value.at("out5v") > 0;
    if (kind == "base" || kind == "expbase")
        return slots >= 1 && slots <= kMaxBaseSlots;
    if (kind == "comm")
        return slots >= 1 && slots <= kMaxModuleSlots;
    if (kind == "di" || kind == "do" || kind == "ai" || kind == "ao") {
        const long own = value.at(std::string(kind));
        const long total = value.at("di") + value.at("do") + value.at("ai") + value.at("ao");
        return slots >= 1 && slots <= kMaxModuleSlots && own > 0 && total == own;
    }
    return true;
}

// CODE:n,CODE:n (n 1 to 99, each code once); none when missing, nullopt when malformed.
std::optional<Accessories> ReadAccessories(const pugi::xml_attribute& attribute)
{
    Accessories found;
    if (!attribute)
        return found;
    const std::string_view text = Trim(attribute.value());
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::string_view entry = text.substr(start, end - start);
        const std::size_t colon = entry.find(':');
        const std::string_view code = entry.substr(0, colon);
        const std::string_view count = colon == std::string_view::npos ? std::string_view() : entry.substr(colon + 1);
        if (found.size() == kMaxAccessoriesPerItem || !IsCode(code) || count.empty() || count.size() > 2 ||
            count[0] == '0' || DigitRun(count) != count.size() ||
            std::any_of(found.begin(), found.end(), [&](const auto& need) { return need.first == code; }))
            return std::nullopt;
        found.emplace_back(code, std::stoi(std::string(count)));
        start = end + 1;
    }
    return found;
}

std::optional<CatalogItem> ReadItem(const pugi::xml_node& element, bool format2, bool priced, bool format3)
{
    const KindRule* kind = FindKind(element.attribute("kind").value());
    const pugi::xml_attribute code = element.attribute("code");
    if (!kind || !code || !IsCode(code.value()) || (!format2 && kind->format2Only))
        return std::nullopt;
    CatalogItem item{code.value(), kind->name, {}, {}, CleanDescription(element.attribute("desc").value()), {}, {}};

    const pugi::xml_attribute order = element.attribute("order");
    const pugi::xml_attribute price = element.attribute("price");
    const pugi::xml_attribute replacement = element.attribute("replacement");
    if (format2 && order && !IsIdentifier(order.value(), kMaxOrderNumberLength, "._/-"))
        return std::nullopt;
    if (format2 && priced && price && !IsPrice(Trim(price.value())))
        return std::nullopt;
    if (format2 && replacement && !IsCode(replacement.value()))
        return std::nullopt;
    const std::optional<long> bases = format2 && item.kind == "cpu" ? ReadNumber(element.attribute("maxbases")) : 1;
    if (!bases || *bases > kMaxBasesPerCpu)
        return std::nullopt;
    std::map<std::string, long> value;
    for (const char* name : kNumbers) {
        const std::optional<long> number = ReadNumber(element.attribute(name));
        if (!number)
            return std::nullopt;
        value[name] = *number;
    }
    const long slots = kind->slotModule && !element.attribute("slots") ? 1 : value["slots"];
    if (!FitsKind(item.kind, value, slots) || (format3 && !ReadFigures(element, item)))
        return std::nullopt;
    item.points = {std::uint32_t(value["di"]), std::uint32_t(value["do"]), std::uint32_t(value["ai"]), std::uint32_t(value["ao"])};
    if (format2) {
        item.orderNumber = order.value();
        item.replacement = replacement.value();
        if (priced && price)
            item.priceFen = PriceFen(Trim(price.value()));
    }
    return item;
}

// Whether an element names an attribute twice, which the movie's XML reader
// refuses; walks without recursion.
class RepeatedAttributeFinder : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& node) override
    {
        std::vector<std::string_view> names;
        for (const pugi::xml_attribute& attribute : node.attributes())
            names.emplace_back(attribute.name());
        std::sort(names.begin(), names.end());
        m_found = std::adjacent_find(names.begin(), names.end()) != names.end();
        return !m_found;
    }
    bool found() const { return m_found; }

private:
    bool m_found = false;
};

// The movie reads the catalogue as UTF-8 whatever it declares, so the program reads it so too:
// well-formed UTF-8 (a byte-order mark allowed, no lone surrogates), and an XML declaration that
// names an encoding names UTF-8.
bool IsUtf8Catalogue(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (!IsWtf8(bytes))
        return false;
    for (std::size_t at = bytes.find('\xED'); at != std::string_view::npos; at = bytes.find('\xED', at + 1))
        if (at + 1 < bytes.size() && static_cast<unsigned char>(bytes[at + 1]) >= 0xA0)
            return false;  // a lone surrogate: WTF-8, not UTF-8
    static const std::regex declared(R"(^<\?xml\s[^?]*encoding\s*=\s*["']([^"']*)["'])");
    std::match_results<std::string_view::const_iterator> found;
    if (!std::regex_search(bytes.begin(), bytes.end(), found, declared))
        return true;
    std::string name = found[1].str();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return name == "utf-8" || name == "utf8";
}

CatalogReading Refused(CatalogFault fault, std::string reason)
{
    CatalogReading reading;
    reading.fault = fault;
    reading.reason = std::move(reason);
    return reading;
}

}  // namespace

const CatalogItem* Catalog::Find(std::string_view code) const
{
    const auto found = std::find_if(items.begin(), items.end(), [&](const CatalogItem& item) { return item.code == code; });
    return found == items.end() ? nullptr : &*found;
}

CatalogReading ReadCatalog(std::string_view bytes)
{
    if (bytes.empty())
        return Refused(CatalogFault::Empty, "目录文件为空");
    if (bytes.size() > kMaxCatalogBytes)
        return Refused(CatalogFault::TooLarge, "目录文件过大");
    if (detail::XmlNestsDeeperThan(bytes, kMaxCatalogNesting))
        return Refused(CatalogFault::TooDeep, "目录文件的元素嵌套层次过深");
    if (!IsUtf8Catalogue(bytes))
        return Refused(CatalogFault::NotUtf8, "目录文件须为 UTF-8 编码");
    pugi::xml_document document;
    std::string error;
    RepeatedAttributeFinder repeated;
    if (!ParseXmlBytes(bytes, document, error) || !document.traverse(repeated))
        return Refused(CatalogFault::NotXml, "目录文件不是有效的 XML");
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "catalog") != 0)
        return Refused(CatalogFault::NoCatalogRoot, "目录文件缺少 catalog 根元素");

    CatalogReading reading;
    Catalog& catalog = reading.catalog;
    catalog.format = root.attribute("format").value();
    if (catalog.format != "1" && catalog.format != "2" && catalog.format != "3")
        return Refused(CatalogFault::UnknownFormat, "不支持的目录格式版本");
    const bool format3 = catalog.format == "3";
    const bool format2 = catalog.format == "2" || format3;
    const pugi::xml_attribute currency = root.attribute("currency");
    const std::string_view currencyText = currency.value();
    if (format2 && currency &&
        (currencyText.size() != 3 || !std::all_of(currencyText.begin(), currencyText.end(),
                                                  [](char c) { return c >= 'A' && c <= 'Z'; })))
        return Refused(CatalogFault::BadCurrency, "目录的货币代码无效");
    if (format2)
        catalog.currency = currencyText;
    const pugi::xml_attribute edition = root.attribute("edition");
    const pugi::xml_attribute date = root.attribute("date");
    if (edition && !IsEdition(edition.value()))
        return Refused(CatalogFault::BadEdition, "目录的版本号无效");
    if (date && !IsDate(date.value()))
        return Refused(CatalogFault::BadDate, "目录的日期无效");
    catalog.edition = edition.value();
    catalog.date = date.value();

    const auto elements = root.children("item");
    if (const auto count = static_cast<std::size_t>(std::distance(elements.begin(), elements.end()));
        count > kMaxCatalogItems)
        return Refused(CatalogFault::TooManyItems, "目录中有 " + std::to_string(count) + " 项产品，超过了程序能读取的 " +
                                                        std::to_string(kMaxCatalogItems) + " 项");
    std::set<std::string> seen, seenOrders;
    std::vector<CatalogItem> items;
    std::map<std::string, Accessories> required;
    for (const pugi::xml_node& element : elements) {
        std::optional<CatalogItem> item = ReadItem(element, format2, !catalog.currency.empty(), format3);
        std::optional<Accessories> accessories = format2 ? ReadAccessories(element.attribute("accessories")) : Accessories();
        if (!item || !accessories || (item->kind == "acc" && !accessories->empty()) || seen.count(item->code) ||
            seenOrders.count(item->orderNumber)) {
            ++catalog.skipped;
            continue;
        }
        seen.insert(item->code);
        if (!item->orderNumber.empty())
            seenOrders.insert(item->orderNumber);
        required[item->code] = std::move(*accessories);
        items.push_back(std::move(*item));
    }
    // An item requiring what the catalogue does not offer as an accessory is damaged.
    std::set<std::string> accessoryCodes;
    for (const CatalogItem& item : items) {
        if (item.kind == "acc")
            accessoryCodes.insert(item.code);
    }
    for (CatalogItem& item : items) {
        const Accessories& needs = required[item.code];
        const bool complete = std::all_of(needs.begin(), needs.end(),
                                          [&](const auto& need) { return accessoryCodes.count(need.first) > 0; });
        if (complete)
            catalog.items.push_back(std::move(item));
        else
            ++catalog.skipped;
    }
    for (const auto& [kind, label] : kRequiredKinds) {
        if (std::none_of(catalog.items.begin(), catalog.items.end(),
                         [kind = kind](const CatalogItem& item) { return item.kind == kind; }))
            return Refused(CatalogFault::MissingKind, std::string("目录中没有可用的") + label);
    }
    return reading;
}

bool IsNewerEdition(const std::string& inUse, const std::string& candidate)
{
    return !candidate.empty() && (inUse.empty() || IsServerVersionNewer(inUse, candidate));
}

std::string CatalogEditionText(const std::string& edition, const std::string& date)
{
    if (edition.empty())
        return "未标版本号";
    return edition + " 版" + (date.empty() ? "" : "（" + date + "）");
}

}  // namespace orvane
