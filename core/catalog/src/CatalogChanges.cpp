#include "orvane/CatalogChanges.h"
#include "orvane/SpreadsheetText.h"

#include "MoneyText.h"

#include <cstdlib>

namespace orvane {

namespace {

bool Offered(const CatalogItem* item) { return item && item->replacement.empty(); }

std::string PriceText(std::int64_t fen, const std::string& currency) { return detail::MoneyText(fen) + " " + currency; }

std::string SignedMoneyText(std::int64_t fen) { return (fen > 0 ? "+" : "") + detail::MoneyText(fen); }

// The catalogue's texts pass the one safe-text rule; the program's own
// figures stay as they are, so that a spreadsheet reads them as numbers.
std::string ItemLine(const CatalogItem& item, const std::string& currency, TextOutlet outlet)
{
    const auto safe = [outlet](const std::string& text) { return SpreadsheetSafeText(text, outlet); };
    std::string line = safe(item.code) + "\t" + safe(item.orderNumber) + "\t" + safe(item.description);
    if (item.priceFen)
        line += "\t" + PriceText(*item.priceFen, currency);
    if (!item.replacement.empty())
        line += "\t替代型号：" + safe(item.replacement);
    return line + "\n";
}

// Prices in different currencies are not compared: said once, or "".
std::string CurrencyNote(const CatalogChanges& changes)
{
    if (changes.currency == changes.previousCurrency || changes.previousCurrency.empty() || changes.currency.empty())
        return {};
    return "货币由 " + changes.previousCurrency + " 改为 " + changes.currency + "，价格未作比较。";
}

}  // namespace

std::optional<PriceChange> CatalogChanges::LargestPriceChange() const
{
    std::optional<PriceChange> largest;
    for (const PriceChange& change : priceChanges) {
        if (!largest || std::llabs(change.newFen - change.oldFen) > std::llabs(largest->newFen - largest->oldFen))
            largest = change;
    }
    return largest;
}

CatalogChanges CompareCatalogs(const Catalog& inUse, const Catalog& update)
{
    CatalogChanges changes{update.edition, update.date, inUse.edition, update.currency, inUse.currency, {}, {}, {}};
    const bool samePrices = update.currency == inUse.currency;
    for (const CatalogItem& item : update.items) {
        const CatalogItem* before = inUse.Find(item.code);
        if (!Offered(&item))
            continue;
        if (!Offered(before))
            changes.added.push_back(item);
        else if (samePrices && item.priceFen && before->priceFen && *item.priceFen != *before->priceFen)
            changes.priceChanges.push_back({item.code, *before->priceFen, *item.priceFen});
    }
    for (const CatalogItem& item : inUse.items) {
        const CatalogItem* now = update.Find(item.code);
        if (!Offered(&item) || Offered(now))
            continue;
        CatalogItem gone = item;
        gone.replacement = now ? now->replacement : std::string();
        changes.discontinued.push_back(std::move(gone));
    }
    return changes;
}

std::string ChangeSummaryText(const CatalogChanges& changes)
{
    std::string text = "产品目录已更新为 " + CatalogEditionText(changes.edition, changes.date) + "。新增 " +
                       std::to_string(changes.added.size()) + " 项，停产 " + std::to_string(changes.discontinued.size()) +
                       " 项，价格变动 " + std::to_string(changes.priceChanges.size()) + " 项";
    if (const std::optional<PriceChange> largest = changes.LargestPriceChange()) {
        text += "，变动最大的是 " + largest->code + "：" + detail::MoneyText(largest->oldFen) + " → " +
                PriceText(largest->newFen, changes.currency);
    }
    return text + "。" + CurrencyNote(changes);
}

std::string ChangeListText(const CatalogChanges& changes, TextOutlet outlet)
{
    std::string text = "产品目录 " + CatalogEditionText(changes.edition, changes.date) + "，此前为 " +
                       CatalogEditionText(changes.previousEdition) + "\n";
    if (const std::string note = CurrencyNote(changes); !note.empty())
        text += note + "\n";
    text += "新增 " + std::to_string(changes.added.size()) + " 项：\n";
    for (const CatalogItem& item : changes.added)
        text += ItemLine(item, changes.currency, outlet);
    text += "停产 " + std::to_string(changes.discontinued.size()) + " 项：\n";
    for (const CatalogItem& item : changes.discontinued)
        text += ItemLine(item, changes.previousCurrency, outlet);
    text += "价格变动 " + std::to_string(changes.priceChanges.size()) + " 项：\n";
    for (const PriceChange& change : changes.priceChanges) {
        text += SpreadsheetSafeText(change.code, outlet) + "\t" + detail::MoneyText(change.oldFen) + " → " +
                PriceText(change.newFen, changes.currency) + "\t" + SignedMoneyText(change.newFen - change.oldFen) + "\n";
    }
    return text;
}

}  // namespace orvane
