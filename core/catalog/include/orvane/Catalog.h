#pragma once
// The product catalogue the selection movie reads (orvane_catalog.xml), read
// with the movie's rules and limits (CatalogLimits.h): what the movie would refuse is refused
// here with the reason it gives, and the items it would skip are skipped
// (among them an item whose `accessories` name what the catalogue does not
// offer as an accessory, kind "acc").
// The root carries the catalogue's edition, compared like the program's
// version, and its date:
//   <catalog format="2" currency="CNY" edition="2026.1" date="2026-12-01">
// Format 3 is format 2 with each item's rail width and power loss:
//   width="35" loss="4.5" lossperpoint="0.2"
// (mm; W without load; W per loaded I/O point). An item without `width`
// has an unknown width, one with neither loss attribute an unknown loss;
// a malformed or too large figure makes the item damaged. Formats 1 and 2
// leave them unknown.

#include "orvane/CatalogLimits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The I/O points of a module, or a CPU's built-in points, per kind.
struct CatalogPoints {
    std::uint32_t digitalIn = 0, digitalOut = 0, analogIn = 0, analogOut = 0;
};

struct CatalogItem {
    std::string code;
    std::string kind;           // cpu, power, base, di, do, ai, ao, comm, expbase, expif, cable, acc
    std::string orderNumber;    // "" when the item has none
    std::optional<std::int64_t> priceFen;  // list price in hundredths of the currency
    std::string description;    // trimmed, cut to kMaxDescriptionCharacters, control characters as spaces
    std::string replacement;    // the code of the item that replaces this discontinued one, or ""
    CatalogPoints points;       // di, do, ai, ao
    std::optional<long> widthTenthMm{};   // rail width in 0.1 mm (format 3), unknown when not stated
    std::optional<long> lossMilliwatt{};  // power loss without load in mW (format 3), unknown when not stated
    long lossPerPointMilliwatt = 0;     // power loss per loaded I/O point in mW
};

struct Catalog {
    std::string format;    // "1", "2" or "3"
    std::string currency;  // "" when the catalogue has no prices
    std::string edition;   // "" when the root names none
    std::string date;      // "" when the root names none
    std::vector<CatalogItem> items;  // the usable ones, in file order
    int skipped = 0;                 // damaged or repeated

    [[nodiscard]] const CatalogItem* Find(std::string_view code) const;
};

enum class CatalogFault {
    None,
    Empty,
    TooLarge,        // over kMaxCatalogBytes
    TooDeep,         // elements nest deeper than kMaxCatalogNesting
    NotUtf8,         // bytes or a declared encoding other than UTF-8
    TooManyItems,    // more item elements than kMaxCatalogItems
    NotXml,
    NoCatalogRoot,
    UnknownFormat,   // format other than 1, 2 and 3
    BadCurrency,
    BadEdition,      // edition other than digits separated by dots
    BadDate,         // date other than YYYY-MM-DD
    MissingKind,     // no usable CPU, power supply or base
};

struct CatalogReading {
    CatalogFault fault = CatalogFault::None;
    std::string reason;  // for the user, in Chinese; "" when read
    Catalog catalog;     // meaningful only without a fault
    explicit operator bool() const { return fault == CatalogFault::None; }
};

[[nodiscard]] CatalogReading ReadCatalog(std::string_view bytes);

// Whether a catalogue of edition candidate is newer than one of edition
// inUse, compared as the program's versions are (IsServerVersionNewer). A
// catalogue without an edition is older than every one that has one.
[[nodiscard]] bool IsNewerEdition(const std::string& inUse, const std::string& candidate);

// A catalogue's edition as every text of the program names it: "2026.2 版",
// with a date "2026.2 版（2026-12-07）"; "未标版本号" when it names none.
[[nodiscard]] std::string CatalogEditionText(const std::string& edition, const std::string& date = {});

}  // namespace orvane
