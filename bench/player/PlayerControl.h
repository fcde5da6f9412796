#pragma once
// The Flash control the benchmarks play a movie in: the Ruffle player of the
// program folder, attached with the host's initial properties, shown at the
// movie's size.

#include "ShockwaveFlash.h"

#include <memory>

// Null when the player cannot be made.
std::unique_ptr<CShockwaveFlash> ShownPlayerControl();
