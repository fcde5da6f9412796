#pragma once
// The start benchmark's figures: per subject (the program, its variants, the
// bare and the empty page) the median and spread of each phase and of the PSS
// at ready, and the ratios against the targets.

#include "StartRun.h"

#include <QString>

#include <vector>

struct StartSubject {
    QString name;
    StartRun run;
    std::vector<StartSample> samples;
};

// Phase table: one row per phase (in the order the first subject reaches
// them), one column per subject, "median (min-max)" in ms since process start.
void PrintPhaseTable(const std::vector<StartSubject>& subjects);
// PSS at ready by process kind and in total; CPU time used until ready.
void PrintMemoryTable(const std::vector<StartSubject>& subjects);
// Start to the movie's ready report of each program subject against the bare
// page's (the target), start to its own ready phase against the same, and the
// PSS against its limit; the empty page as the engine's floor.
void PrintTargets(const std::vector<StartSubject>& programs, const StartSubject& barePage,
                  const StartSubject& emptyPage, double pssLimitMiB);
