#pragma once
// The program's player: Ruffle in a Qt WebEngine view, with its runtime
// installed beside the executable.

#include "FlashPlayer.h"

#include <QString>

namespace orvane {

// A factory for players whose runtime lies in appDir (the executable's folder).
FlashPlayerFactory RufflePlayerFactory(const QString& appDir);

}  // namespace orvane
