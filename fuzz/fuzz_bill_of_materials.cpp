// The movie's bill of materials text: any text is read without fault, and a
// bill that is read gives a report whose CSV, clipboard rows and HTML say
// what it holds, with no markup of its texts let through, and whose
// AutomationML export holds no markup but its own either.

#include "orvane/AutomationMlExport.h"
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
    if (bom->lines.empty() || bom->racks.empty())
        std::abort();
    const orvane::BomReport report = orvane::PurchaseReport(*bom, "2026-01-01");
    const std::string csv = orvane::BillOfMaterialsCsv(report);
    const std::string rows = orvane::BillOfMaterialsTabSeparated(report);
    const std::string html = orvane::BillOfMaterialsHtml(report);
    if (!csv.starts_with("\xEF\xBB\xBF") || !csv.ends_with("\r\n") || !rows.ends_with('\n'))
        std::abort();
    for (const auto& line : bom->lines) {
        if (rows.find(orvane::SpreadsheetSafeText(line.partNumber)) == std::string::npos)
            std::abort();
    }
    // Every tag of the HTML is the report's own: a text's "<" is always escaped.
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const std::string_view tag = std::string_view(html).substr(at + 1, 3);
        if (!tag.starts_with("t") && !tag.starts_with("/t"))
            std::abort();
    }
    // Every element of the AutomationML file is one the export writes: a text's "<" is always escaped.
    const std::string aml = orvane::AutomationMlDocument(*bom, {}, {orvane::CaexVersion::V3_0, "f.aml", "2026-01-01T00:00:00", "1"});
    for (std::size_t at = aml.find('<'); at != std::string::npos; at = aml.find('<', at + 1)) {
        const std::string_view tag = std::string_view(aml).substr(at + 1, 2);
        if (tag != "?x" && tag != "CA" && tag != "/C" && tag != "Su" && tag != "/S" && tag != "So" && tag != "In" && tag != "/I" &&
            tag != "At" && tag != "/A" && tag != "Va" && tag != "/V" && tag != "De" && tag != "/D" && tag != "Ro" &&
            tag != "/R" && tag != "Ex" && tag != "/E")
            std::abort();
    }
    return 0;
}
