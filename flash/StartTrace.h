#pragma once
// The opt-in start-up trace. With ORVANE_START_TRACE naming a file, each phase
// of the start is written to it once, the first time it is reached, as a line
//   <milliseconds since process start>\t<phase>
// (process start as the kernel records it, to 1/USER_HZ s). Without the
// variable, a mark costs one test of a flag. bench/player/bench_player_startup
// reads the file.

#include <QString>

namespace orvane {

namespace StartTrace {

// Whether ORVANE_START_TRACE names a file (read once).
[[nodiscard]] bool Enabled();

// Records the phase now; a phase already recorded keeps its first time.
void Mark(const QString& phase);

// Records a phase reached at a wall-clock time in milliseconds since the
// Unix epoch (a page's performance.timeOrigin + performance.now()).
void MarkAtEpoch(const QString& phase, double epochMs);

}  // namespace StartTrace

}  // namespace orvane
