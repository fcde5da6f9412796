#include "StartTrace.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QSet>

#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace orvane {

namespace {

double ClockMs(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The process's start on the boot-time clock, from field 22 of /proc/self/stat
// (clock ticks since boot); the trace's origin.
double ProcessStartBootMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return ClockMs(CLOCK_BOOTTIME);
    const QByteArray text = stat.readAll();
    // The fields after the command name start with field 3.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartTimeIndex = 22 - 3;
    if (fields.size() <= kStartTimeIndex)
        return ClockMs(CLOCK_BOOTTIME);
    return fields[kStartTimeIndex].toDouble() * 1e3 / double(::sysconf(_SC_CLK_TCK));
}

class Trace {
public:
    Trace()
    {
        const QByteArray path = qgetenv("ORVANE_START_TRACE");
        if (path.isEmpty())
            return;
        m_startBootMs = ProcessStartBootMs();
        m_file = std::fopen(path.constData(), "w");
    }
    ~Trace()
    {
        if (m_file)
            std::fclose(m_file);
    }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool enabled() const { return m_file != nullptr; }

    void write(const QString& phase, double bootMs)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_seen.contains(phase))
            return;
        m_seen.insert(phase);
        std::fprintf(m_file, "%.1f\t%s\n", bootMs - m_startBootMs, phase.toUtf8().constData());
        std::fflush(m_file);
    }

private:
    std::FILE* m_file = nullptr;
    double m_startBootMs = 0;
    QMutex m_mutex;
    QSet<QString> m_seen;
};

Trace& TheTrace()
{
    static Trace trace;
    return trace;
}

}  // namespace

bool StartTrace::Enabled() { return TheTrace().enabled(); }

void StartTrace::Mark(const QString& phase)
{
    if (Enabled())
        TheTrace().write(phase, ClockMs(CLOCK_BOOTTIME));
}

void StartTrace::MarkAtEpoch(const QString& phase, double epochMs)
{
    if (Enabled())
        TheTrace().write(phase, ClockMs(CLOCK_BOOTTIME) - (ClockMs(CLOCK_REALTIME) - epochMs));
}

}  // namespace orvane
