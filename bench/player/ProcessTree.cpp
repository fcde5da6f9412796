#include "ProcessTree.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QByteArray ReadProcFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString CommandLineKind(qint64 pid)
{
    for (const QByteArray& argument : ReadProcFile(pid, "cmdline").split('\0'))
        if (argument.startsWith("--type="))
            return QString::fromUtf8(argument.mid(7));
    return QStringLiteral("browser");
}

// Fields 3 and on of /proc/PID/stat (those after the command name).
QList<QByteArray> StatFields(qint64 pid)
{
    const QByteArray stat = ReadProcFile(pid, "stat");
    return stat.mid(stat.lastIndexOf(')') + 2).split(' ');
}

qint64 ParentOf(qint64 pid)
{
    const QList<QByteArray> fields = StatFields(pid);
    return fields.size() > 1 ? fields[4 - 3].toLongLong() : 0;
}

// A zygote's children keep its command line: they are the renderers.
QString ProcessKind(qint64 pid)
{
    const QString kind = CommandLineKind(pid);
    if (kind == QLatin1String("zygote") && CommandLineKind(ParentOf(pid)) == QLatin1String("zygote"))
        return QStringLiteral("renderer");
    return kind;
}

// A field of /proc/PID/smaps_rollup ("Pss:", "Pss_Anon:"), in MiB.
double RollupMiB(const QByteArray& rollup, const QByteArray& field)
{
    for (const QByteArray& line : rollup.split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

}  // namespace

std::vector<qint64> ProcessTree(qint64 root)
{
    std::multimap<qint64, qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        children.emplace(ParentOf(pid), pid);
    }
    std::vector<qint64> tree{root};
    for (std::size_t next = 0; next < tree.size(); ++next)
        for (auto [it, end] = children.equal_range(tree[next]); it != end; ++it)
            tree.push_back(it->second);
    return tree;
}

std::vector<ProcessPss> TreePssMiB(qint64 root)
{
    std::vector<ProcessPss> processes;
    for (const qint64 pid : ProcessTree(root)) {
        const QByteArray rollup = ReadProcFile(pid, "smaps_rollup");
        processes.push_back({pid, ProcessKind(pid), RollupMiB(rollup, "Pss:"), RollupMiB(rollup, "Pss_Anon:")});
    }
    return processes;
}

std::map<QString, double> TreePssMiBByKind(qint64 root)
{
    std::map<QString, double> pss;
    for (const ProcessPss& process : TreePssMiB(root))
        pss[process.kind] += process.pssMiB;
    return pss;
}

double TreeCpuMs(qint64 root)
{
    double ticks = 0;
    for (const qint64 pid : ProcessTree(root)) {
        const QList<QByteArray> fields = StatFields(pid);
        if (fields.size() > 15 - 3)
            ticks += fields[14 - 3].toDouble() + fields[15 - 3].toDouble();
    }
    return ticks * 1e3 / double(::sysconf(_SC_CLK_TCK));
}
