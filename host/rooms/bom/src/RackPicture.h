#pragma once
// One rack's base slot by slot as a picture for the printout: its name, base
// and power supply above, then each slot a box with its number and the code
// of the module in it, free slots marked 空, a module the user pinned to the
// rack with a blue corner, rows of eight slots.

#include "orvane/BillOfMaterials.h"

#include <QImage>

namespace orvane {

// The picture is drawn this many times larger than it is shown, so it stays sharp on paper.
inline constexpr int kRackPictureScale = 3;

// What the blue corner means, said under the pictures.
inline constexpr const char* kPinnedMarkLegend =
    "槽位右上角的蓝色三角：该模块固定在此基板上。";

[[nodiscard]] QImage DrawRackPicture(const BomRack& rack);

}  // namespace orvane
