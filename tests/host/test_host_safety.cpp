// The user's work is never lost to the player: events that arrive during a
// movie call wait for the command, a stopped player is restarted and given
// its selection back, a program killed with unsaved changes offers them at
// the next start, and a load that fails part-way ties the selection to no file.
#include "HostTestSupport.h"

#include "orvane/RecoveryStore.h"
#include "orvane/StringTable.h"

#include <QDir>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kChildOption[] = "--leave-unsaved-work";

// The *.zsr files in a folder.
QStringList RecoveryCopies(const std::string& folder)
{
    return QDir(QString::fromStdString(folder)).entryList({QStringLiteral("*.zsr")}, QDir::Files);
}

// The movie announces a change of its selection, and the copy is written.
bool ChangeSelection(HostHarness& host, const std::string& text)
{
    host.movie->saveText = text;
    host.movie->player->SendCall("zSelectionChanged", text);
    return QTest::qWaitFor([&] { return RecoveryCopies(host.recoveryFolder).size() == 1; }, 5000);
}

// Leaves a copy in folder as a run that was killed would: its lock is let go.
void LeaveOrphan(const std::string& folder, const std::string& text)
{
    orvane::RecoveryStore store(folder);
    QVERIFY(store.Open());
    QVERIFY(store.Save(text));
}

// Run as a child process: a window with an unsaved selection and its
// recovery copy in folder, then waits to be killed.
int LeaveUnsavedWork(int argc, char** argv, const char* folder)
{
    QApplication application(argc, argv);
    HostHarness host;
    host.recoveryFolder = folder;
    auto window = host.StartReady();
    std::printf("%s\n", ChangeSelection(host, "unsaved work") ? "ready" : "no copy");
    std::fflush(stdout);
    return application.exec();
}

}  // namespace

class SafetyTest : public QObject {
    Q_OBJECT
private slots:
    void modeChangeInsideLoadIsNotUndone();
    void closeDuringAMovieCallWaitsForTheCommand();
    void timerTickDuringSaveOpensAfterIt();
    void stoppedPlayerIsRestartedAndGetsItsSelectionBack();
    void playerThatStoppedForGoodStillLetsTheUserQuit();
    void programKilledWithUnsavedWorkOffersItAtNextStart_data();
    void programKilledWithUnsavedWorkOffersItAtNextStart();
    void acceptedRestoreIsNotReplacedByTheCommandLineFile();
    void loadThatFailsPartWayTiesTheSelectionToNoFile();
};

void SafetyTest::modeChangeInsideLoadIsNotUndone()
{
    HostHarness host;
    const std::string refused = host.AppFile("refused.zsr");
    QVERIFY(WriteSelectionFile(refused, "a text the movie cannot read"));
    auto window = host.StartReady();
    host.movie->duringCall = [&](const std::string& name) {
        if (name == "zLoad")
            host.movie->player->SendCall("Z_ModeChange");
    };
    host.dialogs->openAnswers = {refused};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QTRY_VERIFY(window->FilePath().empty());

    // So Save asks for a name instead of overwriting the refused file.
    host.movie->duringCall = {};
    host.movie->saveText = "new work";
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(host.dialogs->saveRequests.size(), 1u);
    QCOMPARE(ReadSelectionFile(refused), std::string("a text the movie cannot read"));
}

void SafetyTest::closeDuringAMovieCallWaitsForTheCommand()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    bool closeRequested = false;
    host.movie->duringCall = [&](const std::string& name) {
        if (name == "zSave" && !std::exchange(closeRequested, true))
            window->close();
    };
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.movie->calledNames, (std::vector<std::string>{"zSave", "zNewOpen"}));
    QTRY_COMPARE(quit.size(), 1);
    QCOMPARE(host.movie->calledNames, (std::vector<std::string>{"zSave", "zNewOpen", "zSave"}));
}

void SafetyTest::timerTickDuringSaveOpensAfterIt()
{
    HostHarness host;
    const std::string named = host.AppFile("named.zsr");
    const std::string chosen = host.AppFile("chosen.zsr");
    QVERIFY(WriteSelectionFile(named, "the named file"));
    auto window = host.StartReady({"orvane", named});
    host.movie->saveText = "untitled work";
    host.dialogs->saveAnswers = {chosen};
    // The movie answers slowly enough for timer 1 to tick meanwhile.
    host.movie->duringCall = [](const std::string& name) {
        if (name == "zSave")
            QTest::qWait(300);
    };
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();

    // The untitled work went where the user chose, the named file is intact,
    // and the named file was opened after the save.
    QCOMPARE(ReadSelectionFile(chosen), std::string("untitled work"));
    QTRY_COMPARE(window->FilePath(), named);
    QCOMPARE(ReadSelectionFile(named), std::string("the named file"));
    QCOMPARE(host.movie->loads, std::vector<std::string>{"the named file"});
}

void SafetyTest::stoppedPlayerIsRestartedAndGetsItsSelectionBack()
{
    HostHarness host;
    const std::string saved = host.AppFile("saved.zsr");
    QVERIFY(WriteSelectionFile(saved, "saved work"));
    auto window = host.StartReady({"orvane", saved});
    QTRY_COMPARE(window->FilePath(), saved);
    QVERIFY(ChangeSelection(host, "unsaved work"));

    host.movie->player->Stop(QStringLiteral("render process killed"));
    QCOMPARE(host.movie->restarts, 1);
    QCOMPARE(host.dialogs->boxes.back().text, orvane::LoadResString(orvane::IDS_PLAYER_STOPPED));
    QVERIFY(!FindCommand(*window, ID_TOOL_FILE_SAVE)->isEnabled());
    QCOMPARE(RecoveryCopies(host.recoveryFolder).size(), 1);

    // Ready again: asked first, then the selection comes back, still unsaved
    // and still belonging to the same file; the command-line file is not
    // opened over it.
    host.dialogs->boxAnswers = {MsgResult::Yes};
    host.movie->player->SendCall("zDataLoadEnd");
    QCOMPARE(host.dialogs->boxes.back().text, orvane::LoadResString(orvane::IDS_RESTORE_AFTER_STOP));
    QCOMPARE(host.movie->saveText, std::string("unsaved work"));
    QVERIFY(!window->findChild<QTimer*>(QStringLiteral("timer1"))->isActive());
    QCOMPARE(host.movie->loads, (std::vector<std::string>{"saved work", "unsaved work"}));
    QCOMPARE(window->FilePath(), saved);

    // Refused after a second stop: the saved selection comes back and the
    // copy goes.
    host.movie->player->Stop(QStringLiteral("render process killed"));
    host.dialogs->boxAnswers = {MsgResult::Ok, MsgResult::No};
    host.movie->player->SendCall("zDataLoadEnd");
    QCOMPARE(host.movie->saveText, std::string("saved work"));
    QVERIFY(RecoveryCopies(host.recoveryFolder).isEmpty());
}

void SafetyTest::playerThatStoppedForGoodStillLetsTheUserQuit()
{
    HostHarness host;
    auto window = host.StartReady();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(ChangeSelection(host, "unsaved work"));
    for (int restart = 0; restart < 3; ++restart) {
        host.movie->player->Stop(QStringLiteral("render process killed"));
        host.dialogs->boxAnswers = {MsgResult::Yes};
        host.movie->player->SendCall("zDataLoadEnd");
    }
    host.movie->player->Stop(QStringLiteral("render process killed"));
    QCOMPARE(host.movie->restarts, 3);
    QCOMPARE(host.dialogs->boxes.back().text, orvane::LoadResString(orvane::IDS_PLAYER_GAVE_UP));

    // 退出 and its key stay; what needs the movie is grey.
    QVERIFY(FindCommand(*window, ID_MENU_FILE_EXIT)->isEnabled());
    QVERIFY(window->menuBar()->actions()[0]->isEnabled());
    QVERIFY(!FindCommand(*window, ID_MENU_FILE_SAVE)->isEnabled());
    QVERIFY(!FindCommand(*window, ID_TOOL_FILE_SAVE)->isEnabled());
    const std::size_t boxesBefore = host.dialogs->boxes.size();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    window->close();  // the close box and Alt+F4 alike
    QCOMPARE(quit.size(), 2);
    // Told where the change is, with no failure report; the copy waits for the next start.
    QCOMPARE(host.dialogs->boxes.size(), boxesBefore + 2);
    for (std::size_t box = boxesBefore; box < boxesBefore + 2; ++box)
        QCOMPARE(host.dialogs->boxes[box].text, orvane::LoadResString(orvane::IDS_EXIT_AFTER_PLAYER_GAVE_UP));
    QCOMPARE(RecoveryCopies(host.recoveryFolder).size(), 1);
    window.reset();
    host.dialogs->boxAnswers = {MsgResult::No};
    auto next = host.StartReady();
    QVERIFY(host.dialogs->boxes.back().text.starts_with("找到了上次未正常结束时自动保存的选型数据"));
}

void SafetyTest::programKilledWithUnsavedWorkOffersItAtNextStart_data()
{
    QTest::addColumn<bool>("restore");
    QTest::newRow("restored") << true;
    QTest::newRow("refused") << false;
}

void SafetyTest::programKilledWithUnsavedWorkOffersItAtNextStart()
{
    QFETCH(bool, restore);
    HostHarness host;
    const std::string folder = host.recoveryFolder;

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVANE_TEST_STATE"), QString::fromStdString(folder));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildOption)});
    QVERIFY(child.waitForReadyRead(30000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
    child.kill();  // SIGKILL: nothing of the child's clean-up runs
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(RecoveryCopies(folder).size(), 1);

    host.dialogs->boxAnswers = {restore ? MsgResult::Yes : MsgResult::No};
    auto window = host.StartReady();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QVERIFY(host.dialogs->boxes[0].text.starts_with("找到了上次未正常结束时自动保存的选型数据"));
    QCOMPARE(host.movie->loads,
             restore ? std::vector<std::string>{"unsaved work"} : std::vector<std::string>{});
    // The restored work is this run's own unsaved work now; a refused copy is gone.
    QCOMPARE(RecoveryCopies(folder).size(), restore ? 1 : 0);
    QVERIFY(window->FilePath().empty());
}

void SafetyTest::acceptedRestoreIsNotReplacedByTheCommandLineFile()
{
    HostHarness host;
    const std::string named = host.AppFile("old.zsr");
    QVERIFY(WriteSelectionFile(named, "the named file"));
    LeaveOrphan(host.recoveryFolder, "restored work");

    // Restore: yes. Then the file named on the command line asks before it
    // would replace the restored work: cancel.
    host.dialogs->boxAnswers = {MsgResult::Yes, MsgResult::Cancel};
    auto window = host.StartReady({"orvane", named});
    QTRY_COMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[1].text, std::string("文件“无题.zsr”的内容已经改变。是否需要保存修改？"));
    QCOMPARE(host.movie->loads, std::vector<std::string>{"restored work"});
    QVERIFY(window->FilePath().empty());
    QCOMPARE(RecoveryCopies(host.recoveryFolder).size(), 1);
    // Closing asks, as for any unsaved work.
    host.dialogs->boxAnswers = {MsgResult::Cancel};
    window->close();
    QTRY_COMPARE(host.dialogs->boxes.size(), 3u);
    QCOMPARE(host.dialogs->boxes[2].text, host.dialogs->boxes[1].text);
}

void SafetyTest::loadThatFailsPartWayTiesTheSelectionToNoFile()
{
    HostHarness host;
    const std::string first = host.AppFile("a.zsr");
    const std::string second = host.AppFile("b.zsr");
    QVERIFY(WriteSelectionFile(first, "A"));
    QVERIFY(WriteSelectionFile(second, "B"));
    auto window = host.StartReady({"orvane", first});
    QTRY_COMPARE(window->FilePath(), first);

    // The movie may have taken B when its "zLoad" fails.
    host.movie->duringCall = [&](const std::string& name) {
        if (name == "zLoad")
            throw orvane::FlashCallError("CallFunction: the movie did not answer in time.");
    };
    host.dialogs->openAnswers = {second};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QCOMPARE(host.dialogs->boxes.back().text, orvane::MakeErrorText("(#10001)"));
    QVERIFY(window->FilePath().empty());

    // Save no longer goes to A: it asks for a name.
    host.movie->duringCall = {};
    host.movie->saveText = "B";
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(host.dialogs->saveRequests.size(), 1u);
    QCOMPARE(ReadSelectionFile(first), std::string("A"));
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], kChildOption) == 0)
        return LeaveUnsavedWork(argc, argv, std::getenv("ORVANE_TEST_STATE"));
    QApplication application(argc, argv);
    SafetyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_host_safety.moc"
