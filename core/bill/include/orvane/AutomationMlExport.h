#pragma once
// The selection's hardware as an AutomationML file (.aml, IEC 62714): a CAEX
// document (IEC 62424) laid out as the "Automation Project Configuration"
// application recommendation (AR APC) has it, the exchange that PLC
// engineering and ECAD tools import, so that racks, slots and order numbers
// need not be typed again.
//
//   InstanceHierarchy
//     project (AutomationProject): the project data and the date
//       device (Device): the CPU's system
//         rack (DeviceItem): one per base, PositionNumber 0 for the main one, 1.. the expansion racks
//           power supply, CPU or interface module, I/O and communication modules (DeviceItem)
//             one Channel interface per I/O point: Type Digital/Analog, IoType Input/Output, Number
//
// A device item's PositionNumber is its place on the base from the left: the
// power supply 0, the CPU (main rack) or interface module (expansion rack) 1,
// the module in the bill's slot n at n + 1, its Label being n as the bill and
// the printout number it. TypeIdentifier is "OrderNumber:" and the order
// number, where the catalogue gives one. With a format 3 catalogue, each
// device item has its PowerLoss in W (every point loaded), each rack its
// DINRailLength in mm and the device the total PowerLoss, as the bill gives
// them; a figure that is unknown (or only a lower bound) is left out. The role and interface classes the
// file refers to are defined in the file itself.
//
// IDs are name-based UUIDs of what an object is (project name, rack, place,
// order number, channel), so exporting the same selection again gives the
// same IDs, and a changed module changes only its own (and its channels').
// Two exports of one selection differ only in the time of writing.

#include "orvane/BillOfMaterials.h"
#include "orvane/Catalog.h"
#include "orvane/TextFile.h"

#include <string>

namespace orvane {

enum class CaexVersion {
    V2_15,  // AutomationML edition 1, what most engineering tools' hardware exports write
    V3_0,   // AutomationML edition 2
};

struct AmlExportOptions {
    CaexVersion version = CaexVersion::V2_15;
    std::string fileName;       // the file's own name, which CAEX records
    std::string writtenAt;      // time of writing, ISO 8601 ("2026-12-08T09:30:00"); the project's date is its first ten characters
    std::string writerVersion;  // the program's version
};

// The document for the bill the movie handed over; the catalogue gives each
// module's I/O points (an item it lacks has none).
[[nodiscard]] std::string AutomationMlDocument(const BillOfMaterials& bom, const Catalog& catalog,
                                               const AmlExportOptions& options);

// The document written to path through the program's one save road.
[[nodiscard]] FileWriteResult WriteAutomationMl(const std::string& path, const BillOfMaterials& bom,
                                                const Catalog& catalog, const AmlExportOptions& options);

}  // namespace orvane
