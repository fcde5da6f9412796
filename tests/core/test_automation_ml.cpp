// The AutomationML export of generated selections, checked by other readers:
// each file is written with its bill and listed in a manifest, and one run of
// check_aml_exports.py validates them against the CAEX schemas (xmllint) and
// compares the tree read with lxml with the bill and the catalogue.
#include "orvane/AutomationMlExport.h"

#include "FileBytes.h"
#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>

namespace {

const orvane::Catalog& Shipped()
{
    static const orvane::Catalog catalog = orvane::ReadCatalog(ReadFileBytes(ORVANE_SHIPPED_CATALOG)).catalog;
    return catalog;
}

struct Rack {
    std::string base, power;
    std::vector<std::string> slots;  // "" free, "<" the module to the left goes on
};

struct Selection {
    std::vector<std::pair<std::string, std::string>> project;
    std::string cpu = "ZC-320";
    std::vector<Rack> racks;
    bool orderNumbers = true;  // as a format 1 catalogue gives none
    bool cabinet = false;      // the bill gives each rack's rail length and the total loss (TZBOM/5)
};

// The movie's bill of the selection (its figures do not matter to the export).
std::string BillText(const Selection& selection)
{
    std::vector<std::string> codes{selection.cpu};
    for (const Rack& rack : selection.racks) {
        codes.insert(codes.end(), {rack.power, rack.base});
        if (&rack != &selection.racks.front())
            codes.push_back("ZX-IF01");
        codes.insert(codes.end(), rack.slots.begin(), rack.slots.end());
    }
    std::map<std::string, int> quantity;
    std::vector<std::string> order;
    for (const std::string& code : codes) {
        if (!code.empty() && code != "<" && quantity[code]++ == 0)
            order.push_back(code);
    }
    std::string text = selection.cabinet ? "TZBOM/5\n" : "TZBOM/2\n";
    for (const auto& [key, value] : selection.project)
        text += "project\t" + key + "\t" + value + "\n";
    for (std::size_t i = 0; i < order.size(); ++i) {
        const orvane::CatalogItem* item = Shipped().Find(order[i]);
        text += "line\t" + std::to_string(i + 1) + "\t" + (item && selection.orderNumbers ? item->orderNumber : "") + "\t" +
                order[i] + "\t" + (item ? item->description : "") + "\t" + std::to_string(quantity[order[i]]) + "\t\t\n";
    }
    text += "sum\t" + std::to_string(codes.size()) + "\t\n";
    for (std::size_t r = 0; r < selection.racks.size(); ++r) {
        const Rack& rack = selection.racks[r];
        text += "rack\t" + (r == 0 ? std::string("主基板") : "扩展基板 " + std::to_string(r)) + "\t" + rack.base + "\t" +
                rack.power + "\t0\t" + std::to_string(rack.slots.size()) + "\t0\t0\t0\t0\t0\nslots";
        for (const std::string& slot : rack.slots)
            text += "\t" + slot;
        text += "\n";
        if (selection.cabinet) {
            const orvane::CatalogItem* base = Shipped().Find(rack.base);
            const std::string rail = base && base->widthTenthMm ? std::to_string(*base->widthTenthMm / 10 + 19) + "." +
                                                                      std::to_string(*base->widthTenthMm % 10)
                                                                : "";
            text += "cabinet\t" + rail + "\t12.5\t\n";
        }
    }
    text += "overall\t0\t0\t0\t0\t0\t0\t0\t0\t" + std::to_string(selection.racks.size()) + "\t8";
    // A total loss known in part is no figure to export.
    return text + (selection.cabinet ? "\nheat\t" + std::string(selection.racks.size() == 2 ? "25.0\t1" : "37.5\t") : "");
}

std::vector<std::string> CodesOfKinds(std::initializer_list<std::string_view> kinds)
{
    std::vector<std::string> codes;
    for (const orvane::CatalogItem& item : Shipped().items)
        if (std::find(kinds.begin(), kinds.end(), item.kind) != kinds.end())
            codes.push_back(item.code);
    return codes;
}

// Every module kind, planned plants of one to eight racks, and hostile project texts.
std::vector<Selection> Selections()
{
    std::vector<Selection> selections;
    const std::vector<std::string> modules = CodesOfKinds({"di", "do", "ai", "ao", "comm"});
    for (const std::string& module : modules)
        selections.push_back({{{"name", "单模块 " + module}}, "ZC-220", {{"ZB-B04", "ZP-P15", {module, "", module, ""}}}});
    const std::vector<std::string> powers = CodesOfKinds({"power"});
    for (const std::string& cpu : CodesOfKinds({"cpu"}))
        for (const std::string& base : CodesOfKinds({"base"}))
            selections.push_back({{}, cpu, {{base, powers[selections.size() % powers.size()], {"ZX-DI16", "ZX-DO16T", "", ""}}}});
    for (std::size_t racks = 1; racks <= 8; ++racks) {
        Selection plant{{{"name", "车间 " + std::to_string(racks)}, {"customer", "华东"}}, "ZC-350R", {}, true, true};
        for (std::size_t r = 0; r < racks; ++r) {
            Rack rack{r == 0 ? "ZB-B08" : "ZB-E12", r % 3 == 2 ? "" : "ZP-P50", {}};
            for (std::size_t s = 0; s < (r == 0 ? 8u : 12u); ++s)
                rack.slots.push_back((r + s) % 5 == 4 ? "" : modules[(r * 7 + s) % modules.size()]);
            plant.racks.push_back(rack);
        }
        selections.push_back(plant);
    }
    // A module the catalogue lacks, a wide one, a rack without base, no order numbers.
    selections.push_back({{}, "ZC-220", {{"ZB-B04", "ZP-P30", {"ZX-XX99", "ZX-DI64", "<", ""}}, {"", "", {}}}, true, true});
    selections.push_back({{{"name", "目录一"}}, "ZC-220", {{"ZB-B04", "ZP-P30", {"ZX-AI04", "ZX-AO04", "", ""}}}, false});
    const std::vector<std::string> hostile{
        "\"引号\" 'apostrophes' <b>&amp;</b> ]]> &#0; &lt;",
        "=CMD|' /C calc'!A0",
        "\xE2\x80\xAE右至左 \xE2\x80\x8F标记",
        "lone surrogate \xED\xA0\x80 and \xEF\xBF\xBE \xEF\xBF\xBF",
        "bad bytes \xFF\xFE \xC3 end",
        "control \x01\x02\x1B\x7F\r characters",
        std::string(2000, 'x') + "长",
        "二号线 — 包装车间（扩建）",
        "  spaces at the ends  ",
        "emoji 😀 and 𠀀",
        "C1 \xC2\x85\xC2\x9F controls",
        "/ slash / path [x] \\ back",
    };
    for (std::size_t i = 0; i < hostile.size(); ++i)
        selections.push_back({{{"name", hostile[i]}, {"customer", hostile[(i + 1) % hostile.size()]},
                               {"author", hostile[(i + 2) % hostile.size()]}, {"note", hostile[(i + 3) % hostile.size()]}},
                              "ZC-120", {{"ZB-B04", "ZP-P15", {"ZX-DI08", "", "", "ZX-AO02"}}}});
    return selections;
}

// The bill as the export takes it. The parser refuses the control
// characters the movie never sends: they are put into the parsed bill.
orvane::BillOfMaterials Bill(const Selection& selection)
{
    Selection parseable = selection;
    for (auto& [key, text] : parseable.project)
        std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
    std::optional<orvane::BillOfMaterials> bom = orvane::ParseBillOfMaterials(BillText(parseable));
    EXPECT_TRUE(bom);
    if (bom)
        bom->project = selection.project;
    return bom.value_or(orvane::BillOfMaterials{});
}

orvane::AmlExportOptions Options(orvane::CaexVersion version, const std::string& writtenAt = "2026-12-08T09:30:00")
{
    return {version, "plant.aml", writtenAt, "1.00"};
}

std::vector<std::string> Ids(const std::string& document)
{
    static const std::regex id(" ID=\"([^\"]*)\"");
    std::vector<std::string> ids;
    for (auto it = std::sregex_iterator(document.begin(), document.end(), id); it != std::sregex_iterator(); ++it)
        ids.push_back((*it)[1]);
    return ids;
}

}  // namespace

TEST(AutomationMl, EveryExportPassesTheSchemasAndReadsBackAsItsBill)
{
    const ScopedTempFolder folder;
    std::string manifest = "[\n";
    const std::vector<Selection> selections = Selections();
    ASSERT_GE(selections.size(), 50u);
    for (std::size_t i = 0; i < selections.size(); ++i) {
        const std::string stem = (folder.path() / ("selection" + std::to_string(i))).string();
        WriteFileBytes(stem + ".bill", BillText(selections[i]));
        for (const auto& [version, name] : {std::pair{orvane::CaexVersion::V2_15, "2.15"}, {orvane::CaexVersion::V3_0, "3.0"}}) {
            const std::string aml = stem + "-" + name + ".aml";
            ASSERT_TRUE(orvane::WriteAutomationMl(aml, Bill(selections[i]), Shipped(), Options(version)));
            manifest += std::string(manifest.size() > 2 ? ",\n" : "") + "{\"aml\": \"" + aml + "\", \"bill\": \"" + stem +
                        ".bill\", \"version\": \"" + name + "\"}";
        }
    }
    WriteFileBytes(folder.path() / "manifest.json", manifest + "\n]\n");

    // Debian's own Python, where python3-lxml is installed.
    const std::string command = std::string("/usr/bin/python3 ") + ORVANE_AML_CHECKER + " " + ORVANE_SHIPPED_CATALOG + " " +
                                ORVANE_CAEX_SCHEMAS + " " + (folder.path() / "manifest.json").string() + " 2>&1";
    FILE* run = ::popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    std::string output;
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, run);)
        output += buffer;
    EXPECT_EQ(::pclose(run), 0) << output;
}

TEST(AutomationMl, ExportsOfOneSelectionDifferOnlyInTheTimeAndAChangedModuleOnlyInItsOwnIds)
{
    Selection selection{{{"name", "二号线"}}, "ZC-220", {{"ZB-B08", "ZP-P30", {"ZX-DI16", "ZX-DO16T", "ZX-AI04", ""}}}};
    for (const orvane::CaexVersion version : {orvane::CaexVersion::V2_15, orvane::CaexVersion::V3_0}) {
        const std::string first = orvane::AutomationMlDocument(Bill(selection), Shipped(), Options(version));
        std::string later = orvane::AutomationMlDocument(Bill(selection), Shipped(),
                                                         Options(version, "2027-01-31T23:59:59"));
        for (const auto& [from, to] : {std::pair{"2027-01-31T23:59:59", "2026-12-08T09:30:00"}, {"2027-01-31", "2026-12-08"}})
            for (std::size_t at; (at = later.find(from)) != std::string::npos;)
                later.replace(at, std::string(from).size(), to);
        EXPECT_EQ(later, first);

        Selection changed = selection;
        changed.racks[0].slots[1] = "ZX-DO16R";
        const std::vector<std::string> before = Ids(first);
        const std::vector<std::string> after = Ids(orvane::AutomationMlDocument(Bill(changed), Shipped(), Options(version)));
        ASSERT_EQ(before.size(), after.size());  // both modules have 16 outputs
        std::size_t differing = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            differing += before[i] != after[i];
        EXPECT_EQ(differing, 1u + 16u);  // the module and its channels
        EXPECT_EQ(std::set<std::string>(before.begin(), before.end()).size(), before.size());
    }
}
