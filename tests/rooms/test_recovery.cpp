// The recovery room on a stand-in for the window: the copy kept while the
// selection is unsaved, copies left by runs that did not end cleanly, a folder
// that is not the user's.
#include "recovery/WorkRecovery.h"

#include "ScriptedUserDialogs.h"

#include "orvane/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct RecoveryRoom {
    QTemporaryDir files;
    QWidget owner;
    ScriptedUserDialogs dialogs;
    std::string saved;  // the selection as last saved or loaded
    std::vector<std::string> loads;
    std::unique_ptr<orvane::WorkRecovery> recovery;

    std::string Folder() const { return files.filePath(QStringLiteral("state")).toStdString() + "/"; }
    QStringList Copies() const { return QDir(QString::fromStdString(Folder())).entryList({QStringLiteral("*.zsr")}, QDir::Files); }
    void Start(const std::string& folder)
    {
        recovery = std::make_unique<orvane::WorkRecovery>(
            orvane::WorkRecovery::Window{&owner, &dialogs, [this] { return saved; },
                                         [this](const std::string& text) { loads.push_back(text); }, [] {},
                                         [](std::function<void()> step) { step(); }},
            folder);
        recovery->Open();
    }
};

// Leaves a copy in folder as a run that was killed would (its lock let go),
// dated modified.
void LeaveOrphan(const std::string& folder, const std::string& text, std::time_t modified)
{
    {
        orvane::RecoveryStore store(folder);
        QVERIFY(store.Open());
        QVERIFY(store.Save(text));
    }
    for (const orvane::RecoveryOrphan& orphan : orvane::RecoveryStore(folder).FindOrphans())
        if (orvane::RecoveryStore::Read(orphan.path) == text) {
            const timespec times[2] = {{modified, 0}, {modified, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, orphan.path.c_str(), times, 0), 0);
        }
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void aCopyIsKeptExactlyWhileTheSelectionIsUnsaved();
    void damagedCopyIsToldAndTheNewestGoodOneOffered();
    void aFolderThatIsNotTheUsersIsToldOnceAndNotUsed();
};

void RecoveryTest::aCopyIsKeptExactlyWhileTheSelectionIsUnsaved()
{
    RecoveryRoom room;
    room.Start(room.Folder());
    room.recovery->SelectionSeen("work");
    QTRY_COMPARE(room.Copies().size(), 1);  // within the copy delay
    room.saved = "work";
    room.recovery->SelectionSettled("work");
    QVERIFY(room.Copies().isEmpty());
    room.recovery->SelectionSeen("more work");
    room.recovery->DiscardCopy();  // the user chose to lose it
    room.recovery->KeepNow();
    QCOMPARE(room.Copies().size(), 1);  // a later change is kept again
}

void RecoveryTest::damagedCopyIsToldAndTheNewestGoodOneOffered()
{
    RecoveryRoom room;
    QVERIFY(QDir().mkpath(QString::fromStdString(room.Folder())));
    LeaveOrphan(room.Folder(), "older work", 1'700'000'000);
    LeaveOrphan(room.Folder(), "newer work", 1'700'000'100);
    QDir folder(QString::fromStdString(room.Folder()));
    const QStringList copies = folder.entryList({QStringLiteral("*.zsr")}, QDir::Files, QDir::Time);
    QCOMPARE(copies.size(), 2);
    {
        QFile newest(folder.filePath(copies.first()));
        QVERIFY(newest.open(QIODevice::ReadWrite));
        newest.seek(newest.size() - 1);
        newest.write("?");  // its digest no longer matches
    }
    room.dialogs.boxAnswers = {MsgResult::Ok, MsgResult::Yes};
    room.Start(room.Folder());
    QVERIFY(!room.recovery->MovieReady());
    QCOMPARE(room.dialogs.boxes.size(), 2u);
    QVERIFY(room.dialogs.boxes[0].text.starts_with("上次自动保存的一份选型数据已损坏"));
    QVERIFY(room.dialogs.boxes[0].text.find(copies.first().toStdString() + ".damaged") != std::string::npos);
    QCOMPARE(room.loads, std::vector<std::string>{"older work"});
    QVERIFY(folder.exists(copies.first() + QStringLiteral(".damaged")));
}

void RecoveryTest::aFolderThatIsNotTheUsersIsToldOnceAndNotUsed()
{
    RecoveryRoom room;
    const QString shared = room.files.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(shared));
    const std::string linked = room.files.filePath(QStringLiteral("linked")).toStdString() + "/";
    QVERIFY(QFile::link(shared, room.files.filePath(QStringLiteral("linked"))));
    room.Start(linked);
    room.recovery->MovieReady();
    QCOMPARE(room.dialogs.boxes.size(), 1u);
    QVERIFY(room.dialogs.boxes[0].text.starts_with("自动恢复文件夹“" + linked + "”不属于当前用户或是一个链接"));
    room.recovery->SelectionSeen("unsaved work");
    room.recovery->KeepNow();
    QVERIFY(QDir(shared).isEmpty());
    QCOMPARE(room.dialogs.boxes.size(), 1u);
}

QTEST_MAIN(RecoveryTest)
#include "test_recovery.moc"
