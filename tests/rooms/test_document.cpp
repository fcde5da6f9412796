// The document room: what the current file was on disk, and its names.
#include "document/FileIdentity.h"
#include "document/FileNames.h"

#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void aFileChangedBehindTheProgramsBackIsTold();
    void namesAreTheFileSystemsBytes();
};

void DocumentTest::aFileChangedBehindTheProgramsBackIsTold()
{
    const QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("a.zsr")).toStdString();
    std::ofstream(path) << "ours";
    const std::optional<orvane::FileIdentity> ours = orvane::FileIdentity::Of(path);
    QVERIFY(ours);
    QVERIFY(!orvane::ChangedOnDisk(path, ours));
    QVERIFY(!orvane::ChangedOnDisk(path, std::nullopt));  // nothing remembered, nothing to lose

    // A byte changed in place, its time of modification put back: same file,
    // same size, same time; the kernel's time of change tells. It moves with
    // the clock's next tick.
    QVERIFY(QTest::qWaitFor([&] {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        return now.tv_sec != ours->changed.tv_sec || now.tv_nsec != ours->changed.tv_nsec;
    }));
    const int file = ::open(path.c_str(), O_WRONLY);
    QVERIFY(file >= 0);
    QCOMPARE(::pwrite(file, "O", 1, 0), ssize_t(1));
    const timespec times[2] = {{0, UTIME_OMIT}, ours->modified};
    QCOMPARE(::futimens(file, times), 0);
    ::close(file);
    QVERIFY(orvane::ChangedOnDisk(path, ours));

    ::unlink(path.c_str());
    QVERIFY(!orvane::ChangedOnDisk(path, ours));  // gone: written again without asking
}

void DocumentTest::namesAreTheFileSystemsBytes()
{
    QCOMPARE(orvane::DisplayFileName("/data/线路 A.zsr"), QStringLiteral("线路 A.zsr"));
    QCOMPARE(orvane::FileStem("/data/线路 A.v2.zsr"), std::string("线路 A.v2"));
    QCOMPARE(orvane::FileStem("/data/linie-\xE4.zsr"), std::string("linie-\xE4"));  // not UTF-8, kept as it is
}

QTEST_GUILESS_MAIN(DocumentTest)
#include "test_document.moc"
