// The movie's bill of materials text: any text is read without fault, and a
// bill that is read gives a CSV and clipboard rows that say what it holds.

#include "orvane/BillOfMaterials.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const auto bom = orvane::ParseBillOfMaterials(text);
    if (!bom)
        return 0;
    if (bom->items.empty())
        std::abort();
    const std::string csv = orvane::BillOfMaterialsCsv(*bom);
    const std::string rows = orvane::BillOfMaterialsTabSeparated(*bom);
    // A header row and one row per item at least, each row ended.
    if (!csv.starts_with("\xEF\xBB\xBF") || !csv.ends_with("\r\n") || !rows.ends_with('\n'))
        std::abort();
    for (const auto& item : bom->items)
        if (rows.find(item.partNumber) == std::string::npos)
            std::abort();
    return 0;
}
