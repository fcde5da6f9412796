#include "PssAlone.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <unordered_map>

#include <unistd.h>

namespace {

constexpr std::uint64_t kPresent = std::uint64_t(1) << 63;
constexpr std::uint64_t kFrameMask = (std::uint64_t(1) << 55) - 1;

// The page frames of the pages pid has in memory, from /proc/PID/pagemap,
// for every mapping that can hold pages (reservations without access cannot).
std::vector<std::uint64_t> ResidentFrames(qint64 pid, std::uint64_t pageSize)
{
    std::vector<std::uint64_t> frames;
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    QFile pagemap(QStringLiteral("/proc/%1/pagemap").arg(pid));
    if (!maps.open(QIODevice::ReadOnly) || !pagemap.open(QIODevice::ReadOnly))
        return frames;
    std::vector<std::uint64_t> entries;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2 || fields[1].startsWith("---"))
            continue;
        const QList<QByteArray> range = fields[0].split('-');
        const std::uint64_t first = range.value(0).toULongLong(nullptr, 16) / pageSize;
        const std::uint64_t end = range.value(1).toULongLong(nullptr, 16) / pageSize;
        if (end <= first || !pagemap.seek(qint64(first * sizeof(std::uint64_t))))
            continue;
        entries.resize(end - first);
        const qint64 bytes = pagemap.read(reinterpret_cast<char*>(entries.data()),
                                          qint64(entries.size() * sizeof(std::uint64_t)));
        for (qint64 i = 0; i < bytes / qint64(sizeof(std::uint64_t)); ++i)
            if (entries[i] & kPresent)
                frames.push_back(entries[i] & kFrameMask);
    }
    return frames;
}

}  // namespace

std::map<qint64, double> PssAloneMiB(const std::vector<qint64>& pids)
{
    const auto pageSize = std::uint64_t(::sysconf(_SC_PAGESIZE));
    std::map<qint64, std::vector<std::uint64_t>> framesOf;
    std::unordered_map<std::uint64_t, int> mappers;
    for (const qint64 pid : pids)
        for (const std::uint64_t frame : framesOf[pid] = ResidentFrames(pid, pageSize))
            ++mappers[frame];
    // Without the right to see them, every frame reads as 0.
    if (mappers.size() == 1 && mappers.begin()->first == 0)
        return {};
    std::map<qint64, double> pss;
    for (const auto& [pid, frames] : framesOf) {
        double pages = 0;
        for (const std::uint64_t frame : frames)
            pages += 1.0 / mappers[frame];
        pss[pid] = pages * double(pageSize) / (1024.0 * 1024.0);
    }
    return pss;
}
