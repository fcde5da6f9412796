#pragma once
// A process and its descendants from /proc: their ids, and their PSS by
// Chromium process kind: "browser" for the program itself, "renderer" for a
// zygote's child, else the value of its --type= option (zygote, gpu-process,
// utility).

#include <QString>

#include <map>
#include <vector>

// The process and all its descendants, the process first.
[[nodiscard]] std::vector<qint64> ProcessTree(qint64 root);

struct ProcessPss {
    qint64 pid = 0;
    QString kind;
    double pssMiB = 0;
    // Its anonymous part: what other programs on the machine cannot take a
    // share of, as they do of the libraries' pages.
    double anonMiB = 0;
};

// PSS in MiB of each process in the tree, the process first.
[[nodiscard]] std::vector<ProcessPss> TreePssMiB(qint64 root);

// PSS in MiB of each kind of process in the tree.
[[nodiscard]] std::map<QString, double> TreePssMiBByKind(qint64 root);

// CPU time (user and system) in ms the tree's processes have used so far.
[[nodiscard]] double TreeCpuMs(qint64 root);
