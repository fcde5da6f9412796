#pragma once
// PSS counted among a group of processes only: a page one of them alone maps
// counts in full for it, a page several of them map counts in equal parts for
// each; other programs that map the same pages (the engine's libraries, used
// by every other program of the same engine on the machine) count for nothing.
// The kernel's PSS moves whenever such programs start or end; this does not.

#include <QtGlobal>

#include <map>
#include <vector>

// By process, in MiB; empty when the page frames cannot be read (they can as root).
[[nodiscard]] std::map<qint64, double> PssAloneMiB(const std::vector<qint64>& pids);
