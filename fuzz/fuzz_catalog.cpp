// The catalogue reader on arbitrary bytes: a catalogue it accepts keeps the
// movie's limits, and its edition compares as the update check compares it.
// The change summary of the catalogue against itself is empty.

#include "orvane/CatalogChanges.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const orvane::CatalogReading reading = orvane::ReadCatalog({reinterpret_cast<const char*>(data), size});
    if (!reading) {
        if (reading.reason.empty())
            std::abort();
        return 0;
    }
    const orvane::Catalog& catalog = reading.catalog;
    for (const char* kind : {"cpu", "power", "base"}) {
        if (std::none_of(catalog.items.begin(), catalog.items.end(), [&](const auto& item) { return item.kind == kind; }))
            std::abort();
    }
    if (catalog.items.size() > 500 || orvane::IsNewerEdition(catalog.edition, catalog.edition))
        std::abort();
    const orvane::CatalogChanges changes = orvane::CompareCatalogs(catalog, catalog);
    if (!changes.added.empty() || !changes.discontinued.empty() || !changes.priceChanges.empty())
        std::abort();
    [[maybe_unused]] const std::string text = orvane::ChangeSummaryText(changes) + orvane::ChangeListText(changes, orvane::TextOutlet::Shown) +
                                               orvane::ChangeListText(changes, orvane::TextOutlet::SpreadsheetInput);
    return 0;
}
