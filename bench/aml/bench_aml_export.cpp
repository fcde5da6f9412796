// Times the AutomationML export of the largest plant: 1,000 I/O modules on
// eight racks (a CPU drives eight bases at most) with the shipped catalogue,
// as CAEX 2.15 and 3.0: the document made (the export's own work, target 50
// ms), and then written through the save road, which flushes it to disk (the
// disk's time, apart). Prints the median and range of the rounds, the file's
// size and its channels. The file goes to the temporary folder ($TMPDIR).
// Usage: bench_aml_export [rounds] (default 21)

#include "orvane/AutomationMlExport.h"
#include "orvane/TextFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kModules = 1000;
constexpr int kRacks = 8;
constexpr double kTargetMs = 50;
const char* const kModuleCodes[] = {"ZX-DI16", "ZX-DI32", "ZX-DO16T", "ZX-DO32T", "ZX-AI08", "ZX-AO04", "ZX-DI64", "ZX-DO16R"};

// The movie's bill of the plant: 125 modules on each rack.
std::string PlantBill()
{
    std::string text = "TZBOM/2\nproject\tname\t最大装置\n"
                       "line\t1\tTZ-C0320-00\tZC-320\t高性能\t1\t\t\n"
                       "line\t2\tTZ-P0050-00\tZP-P50\t电源\t8\t\t\n"
                       "line\t3\tTZ-B0008-00\tZB-B08\t8 槽基板\t1\t\t\n"
                       "line\t4\tTZ-E0112-00\tZB-E12\t12 槽扩展基板\t7\t\t\n"
                       "line\t5\tTZ-E0201-00\tZX-IF01\t扩展接口模块\t7\t\t\n"
                       "sum\t1024\t\n";
    for (int rack = 0; rack < kRacks; ++rack) {
        text += "rack\t" + (rack == 0 ? std::string("主基板") : "扩展基板 " + std::to_string(rack)) + "\t" +
                (rack == 0 ? "ZB-B08" : "ZB-E12") + "\tZP-P50\t125\t125\t0\t0\t0\t0\t0\nslots";
        for (int slot = 0; slot < kModules / kRacks; ++slot)
            text += std::string("\t") + kModuleCodes[(rack + slot) % std::size(kModuleCodes)];
        text += "\n";
    }
    return text + "overall\t1000\t1000\t0\t0\t0\t0\t0\t2048\t8\t8";
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::ifstream catalogFile(ORVANE_SHIPPED_CATALOG, std::ios::binary);
    const orvane::CatalogReading catalog =
        orvane::ReadCatalog(std::string(std::istreambuf_iterator<char>(catalogFile), std::istreambuf_iterator<char>()));
    const std::optional<orvane::BillOfMaterials> bom = orvane::ParseBillOfMaterials(PlantBill());
    if (!catalog || !bom) {
        std::fprintf(stderr, "the catalogue or the plant's bill cannot be read\n");
        return 1;
    }
    const std::string path = (std::filesystem::temp_directory_path() / "bench_aml_export.aml").string();
    std::printf("AutomationML export, %d I/O modules on %d racks, %d rounds (median, min-max)\n", kModules, kRacks, rounds);
    bool met = true;
    for (const auto& [version, name] : {std::pair{orvane::CaexVersion::V2_15, "2.15"}, {orvane::CaexVersion::V3_0, "3.0"}}) {
        const orvane::AmlExportOptions options{version, "plant.aml", "2026-12-08T09:30:00", "bench"};
        std::vector<double> made, written;
        std::size_t bytes = 0, channels = 0;
        for (int round = 0; round < rounds; ++round) {
            auto start = std::chrono::steady_clock::now();
            const std::string document = orvane::AutomationMlDocument(*bom, catalog.catalog, options);
            made.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            start = std::chrono::steady_clock::now();
            if (!orvane::WriteWholeFile(path, document)) {
                std::fprintf(stderr, "%s cannot be written\n", path.c_str());
                return 1;
            }
            written.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            bytes = document.size();
            channels = 0;
            for (std::size_t at = 0; (at = document.find("<ExternalInterface ", at)) != std::string::npos; ++at)
                ++channels;
        }
        const auto [minMade, maxMade] = std::minmax_element(made.begin(), made.end());
        const auto [minWritten, maxWritten] = std::minmax_element(written.begin(), written.end());
        std::printf("CAEX %-4s  document %5.1f ms (%.1f-%.1f)  its file written and flushed %5.1f ms (%.1f-%.1f)  %.1f MB, %zu channels\n",
                    name, Median(made), *minMade, *maxMade, Median(written), *minWritten, *maxWritten, bytes / 1e6, channels);
        met = met && Median(made) <= kTargetMs;
    }
    std::filesystem::remove(path);
    std::printf("target: the document in at most %.0f ms: %s\n", kTargetMs, met ? "met" : "NOT met");
    return 0;
}
