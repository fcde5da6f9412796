#pragma once
// The program's player: Ruffle in a Qt WebEngine view, with its runtime
// installed beside the executable.

#include "FlashPlayer.h"
#include "RufflePlayer.h"

#include <QString>

#include <chrono>

namespace orvane {

// A factory for players whose runtime lies in appDir (the executable's
// folder), taken for hung after hangLimit without a sign of life.
FlashPlayerFactory RufflePlayerFactory(const QString& appDir,
                                       std::chrono::milliseconds hangLimit = RufflePlayer::kHangLimit);

}  // namespace orvane
