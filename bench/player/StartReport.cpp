#include "StartReport.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <set>

namespace {

struct Spread {
    double median = 0, min = 0, max = 0;
    bool any = false;
};

Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median =
        values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {median, values.front(), values.back(), true};
}

Spread PhaseSpread(const StartSubject& subject, const QString& phase)
{
    std::vector<double> values;
    for (const StartSample& sample : subject.samples)
        if (const auto it = sample.phaseMs.find(phase); it != sample.phaseMs.end())
            values.push_back(it->second);
    return SpreadOf(values);
}

double TotalPss(const StartSample& sample)
{
    return std::accumulate(sample.pssMiB.begin(), sample.pssMiB.end(), 0.0,
                           [](double sum, const auto& kind) { return sum + kind.second; });
}

Spread PssSpread(const StartSubject& subject, const QString& kind)
{
    std::vector<double> values;
    for (const StartSample& sample : subject.samples)
        values.push_back(kind.isEmpty() ? TotalPss(sample) : sample.pssMiB.count(kind) ? sample.pssMiB.at(kind) : 0);
    return SpreadOf(values);
}

QString Cell(const Spread& spread, const char* format)
{
    if (!spread.any)
        return QStringLiteral("-");
    return QString::asprintf(format, spread.median, spread.min, spread.max);
}

void PrintRow(const QString& label, const QStringList& cells)
{
    std::printf("| %-22s |", qPrintable(label));
    for (const QString& cell : cells)
        std::printf(" %-22s |", qPrintable(cell));
    std::printf("\n");
}

void PrintHeader(const QString& first, const std::vector<StartSubject>& subjects)
{
    QStringList names, rules;
    for (const StartSubject& subject : subjects) {
        names << subject.name;
        rules << QString(22, '-');
    }
    PrintRow(first, names);
    PrintRow(QString(22, '-'), rules);
}

}  // namespace

void PrintPhaseTable(const std::vector<StartSubject>& subjects)
{
    std::vector<std::pair<double, QString>> ordered;
    std::set<QString> seen;
    for (const StartSubject& subject : subjects)
        for (const StartSample& sample : subject.samples)
            for (const auto& [phase, ms] : sample.phaseMs)
                if (seen.insert(phase).second)
                    ordered.emplace_back(PhaseSpread(subject, phase).median, phase);
    std::sort(ordered.begin(), ordered.end());

    std::printf("\nPhases, ms since process start: median (min-max)\n\n");
    PrintHeader(QStringLiteral("phase"), subjects);
    for (const auto& [order, phase] : ordered) {
        QStringList cells;
        for (const StartSubject& subject : subjects)
            cells << Cell(PhaseSpread(subject, phase), "%.0f (%.0f-%.0f)");
        PrintRow(phase, cells);
    }
}

void PrintMemoryTable(const std::vector<StartSubject>& subjects)
{
    std::set<QString> kinds;
    for (const StartSubject& subject : subjects)
        for (const StartSample& sample : subject.samples)
            for (const auto& [kind, pss] : sample.pssMiB)
                kinds.insert(kind);

    std::printf("\nPSS at ready, MiB: median (min-max)\n\n");
    PrintHeader(QStringLiteral("process kind"), subjects);
    for (const QString& kind : kinds) {
        QStringList cells;
        for (const StartSubject& subject : subjects)
            cells << Cell(PssSpread(subject, kind), "%.1f (%.1f-%.1f)");
        PrintRow(kind, cells);
    }
    QStringList totals;
    for (const StartSubject& subject : subjects)
        totals << Cell(PssSpread(subject, {}), "%.1f (%.1f-%.1f)");
    PrintRow(QStringLiteral("all processes"), totals);

    std::printf("\nCPU time of all processes at ready, ms: median (min-max)\n\n");
    PrintHeader(QStringLiteral("CPU"), subjects);
    QStringList cpu;
    for (const StartSubject& subject : subjects) {
        std::vector<double> values;
        for (const StartSample& sample : subject.samples)
            values.push_back(sample.cpuMs);
        cpu << Cell(SpreadOf(values), "%.0f (%.0f-%.0f)");
    }
    PrintRow(QStringLiteral("user + system"), cpu);
}

void PrintTargets(const std::vector<StartSubject>& programs, const StartSubject& barePage,
                  const StartSubject& emptyPage, double pssLimitMiB)
{
    const Spread bare = PhaseSpread(barePage, barePage.run.readyPhase);
    const Spread empty = PhaseSpread(emptyPage, emptyPage.run.readyPhase);
    std::printf("\nTargets (medians of %zu rounds)\n", barePage.samples.size());
    // Each round's own ratio as well: both ran then, under the same load.
    const auto printRatio = [&](const StartSubject& program, const QString& phase, const char* target) {
        const Spread ready = PhaseSpread(program, phase);
        std::vector<double> roundRatios;
        for (std::size_t round = 0; round < program.samples.size() && round < barePage.samples.size(); ++round)
            roundRatios.push_back(program.samples[round].phaseMs.at(phase)
                                  / barePage.samples[round].phaseMs.at(barePage.run.readyPhase));
        const Spread perRound = SpreadOf(roundRatios);
        std::printf("%s: start to \"%s\" %.0f ms / bare page to \"%s\" %.0f ms = %.2f%s; per round %.2f (%.2f-%.2f)\n",
                    qPrintable(program.name), qPrintable(phase), ready.median, qPrintable(barePage.run.readyPhase),
                    bare.median, ready.median / bare.median, target, perRound.median, perRound.min, perRound.max);
    };
    for (const StartSubject& program : programs) {
        // The same event in both: the movie's ready report.
        printRatio(program, barePage.run.readyPhase, " (target <= 0.90)");
        // What the user waits for: the ready report, the window's 100 ms timer and the document's load.
        printRatio(program, program.run.readyPhase, "");
        const Spread pss = PssSpread(program, {});
        std::printf("%s: PSS at ready peak %.1f MiB, median %.1f MiB (target <= %.0f MiB peak)\n",
                    qPrintable(program.name), pss.max, pss.median, pssLimitMiB);
    }
    std::printf("floor, the same engine with an empty page: ready %.0f ms, PSS %.1f MiB; bare page PSS %.1f MiB\n",
                empty.median, PssSpread(emptyPage, {}).median, PssSpread(barePage, {}).median);
}
