#pragma once
// What a new catalogue changes against the one in use: the items it adds,
// those it discontinues and those whose list price changes, told to the
// user in a short summary and a full list that can be copied. An item that
// names a replacement is discontinued; it is offered no more.

#include "orvane/Catalog.h"
#include "orvane/SpreadsheetText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct PriceChange {
    std::string code;
    std::int64_t oldFen = 0;
    std::int64_t newFen = 0;
};

struct CatalogChanges {
    std::string edition;          // of the new catalogue
    std::string date;             // of the new catalogue
    std::string previousEdition;  // of the one in use
    std::string currency;         // of the new catalogue
    std::string previousCurrency;
    std::vector<CatalogItem> added;         // offered now, not before
    std::vector<CatalogItem> discontinued;  // offered before, not now; with the replacement the new one names
    // Items offered in both with a list price in both, when the currency
    // stayed the same; in the new catalogue's order.
    std::vector<PriceChange> priceChanges;

    // The change of the largest amount, the first of equal ones.
    [[nodiscard]] std::optional<PriceChange> LargestPriceChange() const;
};

[[nodiscard]] CatalogChanges CompareCatalogs(const Catalog& inUse, const Catalog& update);

// One paragraph: the edition now in use and the number of items added,
// discontinued and changed in price, with the largest change.
[[nodiscard]] std::string ChangeSummaryText(const CatalogChanges& changes);
// Every change, one line each (fields separated by tabs, so that they paste
// into a spreadsheet as columns), under a heading per kind of change. The
// catalogue's texts (codes, order numbers, descriptions) pass
// SpreadsheetSafeText for outlet: bidirectional controls shown as
// "[U+202E]", and for spreadsheet input a leading apostrophe before what a
// spreadsheet would run as a formula.
[[nodiscard]] std::string ChangeListText(const CatalogChanges& changes, TextOutlet outlet);

}  // namespace orvane
