// The command frame: menu and toolbar twins, the handler guard, closing,
// the command-line timer, the movie's calls and the about box.
#include "HostTestSupport.h"

#include "orvane/StringTable.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

bool HasRecord(const std::string& operation, const std::string& step, const std::string& message)
{
    for (const LogRecord& record : ReadErrorLog()) {
        if (record.operation == operation && record.step == step && record.message == message)
            return true;
    }
    return false;
}

QTimer* CommandLineTimer(const COrvaneDlg& window)
{
    return window.findChild<QTimer*>(QStringLiteral("timer1"));
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void exceptionIsRecordedUnderTheHandlersOwnLabel_data();
    void exceptionIsRecordedUnderTheHandlersOwnLabel();
    void menuAndToolbarTwinsDoTheSame();
    void exitAndCloseBoxAskTheSame();
    void movieUnreachableWhileClosingLetsTheUserClose();
    void commandLineFileOpensAfterEachReadyReport();
    void zeroOrSeveralArgumentsOpenNothing_data();
    void zeroOrSeveralArgumentsOpenNothing();
    void oneEmptyArgumentAsksForAFile();
    void movieRequestsThatAreNotUnderstood();
    void modeChangeMakesSelectionUntitled();
    void aboutBoxShowsVersionFile();
    void aboutBoxWithoutCommonInfo();
    void thirdPartyNoticesNameEachShippedComponent();
    void standardShortcutsWorkOnlyWhileCommandsAreEnabled();
    void droppedSelectionFileOpensAfterTheSavePrompt();
    void titleStaysTheProgramsWhateverFileIsOpen();
    void logoutAsksLikeClosing();
};

void CommandsTest::exceptionIsRecordedUnderTheHandlersOwnLabel_data()
{
    QTest::addColumn<unsigned>("id");
    QTest::addColumn<bool>("toolbar");
    QTest::addColumn<QString>("label");
    QTest::newRow("menu new") << 32783u << false << "COrvaneDlg::OnMenuFileNew()";
    QTest::newRow("tool new") << 32777u << true << "COrvaneDlg::OnToolFileNew()";
    QTest::newRow("menu open") << 32782u << false << "COrvaneDlg::OnMenuFileOpen()";
    QTest::newRow("tool open") << 32778u << true << "COrvaneDlg::OnToolFileOpen()";
    QTest::newRow("menu save") << 32771u << false << "COrvaneDlg::OnMenuFileSave()";
    QTest::newRow("tool save") << 32779u << true << "COrvaneDlg::OnToolFileSave()";
    QTest::newRow("menu save as") << 32776u << false << "COrvaneDlg::OnMenuFileSaveAs()";
    QTest::newRow("tool save as") << 32780u << true << "COrvaneDlg::OnToolFileSaveAs()";
    QTest::newRow("menu export bill") << 32808u << false << "COrvaneDlg::OnMenuFileExportBom()";
    QTest::newRow("menu export hardware") << 32814u << false << "COrvaneDlg::OnMenuFileExportAml()";
    QTest::newRow("menu copy bill") << 32809u << false << "COrvaneDlg::OnMenuFileCopyBom()";
    QTest::newRow("menu print bill") << 32810u << false << "COrvaneDlg::OnMenuFilePrintBom()";
}

void CommandsTest::exceptionIsRecordedUnderTheHandlersOwnLabel()
{
    QFETCH(unsigned, id);
    QFETCH(bool, toolbar);
    QFETCH(QString, label);
    HostHarness host;
    auto window = host.StartReady();
    host.movie->callError = "movie call failed, code 7";
    if (toolbar)
        ClickToolButton(*window, id);
    else
        FindCommand(*window, id)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("不能继续处理。(#10001)"));
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QVERIFY(host.dialogs->boxes[0].icon == MsgIcon::Error);
    const auto records = ReadErrorLog();
    QCOMPARE(records.size(), 1u);
    QCOMPARE(records[0].operation, label.toStdString());
    QCOMPARE(records[0].step, label.toStdString());
    QCOMPARE(records[0].message, std::string("movie call failed, code 7"));
    QVERIFY(window->isVisible());
}

void CommandsTest::menuAndToolbarTwinsDoTheSame()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->saveText = "A";
    host.dialogs->saveAnswers = {host.AppFile("menu.zsr"), host.AppFile("tool.zsr")};
    FindCommand(*window, ID_MENU_FILE_SAVEAS)->trigger();
    ClickToolButton(*window, ID_TOOL_FILE_SAVEAS);
    QCOMPARE(host.dialogs->saveRequests.size(), 2u);
    QCOMPARE(ReadSelectionFile(host.AppFile("menu.zsr")), std::string("A"));
    QCOMPARE(ReadSelectionFile(host.AppFile("tool.zsr")), std::string("A"));

    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    ClickToolButton(*window, ID_TOOL_FILE_NEW);
    QCOMPARE(host.movie->newOpens, 2);

    host.dialogs->openAnswers = {host.AppFile("menu.zsr"), host.AppFile("tool.zsr")};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    ClickToolButton(*window, ID_TOOL_FILE_OPEN);
    QCOMPARE(host.movie->loads, (std::vector<std::string>{"A", "A"}));
    QCOMPARE(window->FilePath(), host.AppFile("tool.zsr"));
    QVERIFY(host.dialogs->boxes.empty());
}

void CommandsTest::exitAndCloseBoxAskTheSame()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->saveText = "changed";

    host.dialogs->boxAnswers = {MsgResult::Cancel, MsgResult::Cancel};
    FindCommand(*window, ID_MENU_FILE_EXIT)->trigger();
    window->close();
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, host.dialogs->boxes[1].text);
    QCOMPARE(quit.size(), 0);
    QVERIFY(window->isVisible());

    host.dialogs->boxAnswers = {MsgResult::No};
    window->close();
    QCOMPARE(quit.size(), 1);
    QCOMPARE(quit[0][0].toInt(), 0);
    QVERIFY(host.movie->loads.empty() && host.movie->newOpens == 0);

    // Nothing unsaved: no prompt at all.
    host.movie->saveText.clear();
    FindCommand(*window, ID_MENU_FILE_EXIT)->trigger();
    QCOMPARE(quit.size(), 2);
    QCOMPARE(host.dialogs->boxes.size(), 3u);
}

void CommandsTest::movieUnreachableWhileClosingLetsTheUserClose()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->callError = "gone";
    host.dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
    window->close();
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("不能继续处理。(#10001)"));
    QVERIFY(HasRecord("COrvaneDlg::OnClose()", "COrvaneDlg::OnClose()", "gone"));
    QCOMPARE(host.dialogs->boxes[1].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QCOMPARE(quit.size(), 1);
    QCOMPARE(quit[0][0].toInt(), 0);
}

void CommandsTest::commandLineFileOpensAfterEachReadyReport()
{
    HostHarness host;
    const std::string path = host.AppFile("given.zsr");
    QVERIFY(WriteSelectionFile(path, "from the command line"));
    auto window = host.Start({"orvane", path});

    QTimer* timer = CommandLineTimer(*window);
    QVERIFY(timer && !timer->isActive());
    QCOMPARE(timer->interval(), 100);
    host.movie->player->SendCall("zDataLoadEnd");
    QVERIFY(timer->isActive());
    QVERIFY(host.movie->loads.empty());
    QSignalSpy ticks(timer, &QTimer::timeout);
    QVERIFY(ticks.wait(2000));
    QVERIFY(!timer->isActive());
    QCOMPARE(host.movie->loads, std::vector<std::string>{"from the command line"});
    QCOMPARE(window->FilePath(), path);
    QVERIFY(host.dialogs->openRequests.empty());
    QVERIFY(host.dialogs->boxes.empty());

    // Again at the next ready report; changes made since are offered to be
    // saved first instead of being replaced silently.
    host.movie->saveText = "unsaved work";
    host.dialogs->boxAnswers = {MsgResult::No};
    host.movie->player->SendCall("zDataLoadEnd");
    QVERIFY(ticks.wait(2000));
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, "文件“" + path + "”的内容已经改变。是否需要保存修改？");
    QCOMPARE(host.movie->loads.size(), 2u);
    QVERIFY(!timer->isActive());
}

void CommandsTest::zeroOrSeveralArgumentsOpenNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("none") << QStringList{"orvane"};
    QTest::newRow("two") << QStringList{"orvane", "a.zsr", "b.zsr"};
}

void CommandsTest::zeroOrSeveralArgumentsOpenNothing()
{
    QFETCH(QStringList, arguments);
    HostHarness host;
    std::vector<std::string> commandLine;
    for (const QString& argument : arguments)
        commandLine.push_back(argument.toStdString());
    auto window = host.StartReady(commandLine);
    QVERIFY(window->menuBar()->actions()[0]->isEnabled());
    QTimer* timer = CommandLineTimer(*window);
    QVERIFY(timer);
    QVERIFY(!timer->isActive());
}

void CommandsTest::oneEmptyArgumentAsksForAFile()
{
    HostHarness host;
    auto window = host.StartReady({"orvane", ""});
    QSignalSpy ticks(CommandLineTimer(*window), &QTimer::timeout);
    QVERIFY(ticks.wait(2000));
    QCOMPARE(host.dialogs->openRequests.size(), 1u);
    QCOMPARE(host.dialogs->openRequests[0].filter, orvane::LoadResString(orvane::IDS_OPEN_FILTER));
    QVERIFY(host.movie->loads.empty());
}

void CommandsTest::movieRequestsThatAreNotUnderstood()
{
    HostHarness host;
    auto window = host.Start();
    const auto& boxes = host.dialogs->boxes;

    host.movie->player->SendRequest(QStringLiteral("zDataLoadEnd"));
    QCOMPARE(boxes.size(), 1u);
    QCOMPARE(boxes[0].text, std::string("不能继续处理。(#1005)"));
    QCOMPARE(boxes[0].caption, std::string("错误"));
    QVERIFY(boxes[0].icon == MsgIcon::Error);

    host.movie->player->SendRequest(QStringLiteral("<string>zDataLoadEnd</string>"));
    QCOMPARE(boxes.size(), 2u);
    QCOMPARE(boxes[1].text, std::string("不能继续处理。(#1007)"));

    host.movie->player->SendRequest(QStringLiteral("<invoke returntype=\"xml\"/>"));
    QCOMPARE(boxes.size(), 3u);
    QCOMPARE(boxes[2].text, std::string("不能继续处理。(#1005)"));

    host.movie->player->SendCall("zdataloadend");
    QCOMPARE(boxes.size(), 3u);
    QVERIFY(!window->menuBar()->actions()[0]->isEnabled());
    // A message of the movie's that is not understood is shown, never recorded.
    QVERIFY(RecordLabels().empty());
}

void CommandsTest::modeChangeMakesSelectionUntitled()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->saveText = "kept";
    host.dialogs->saveAnswers = {host.AppFile("kept.zsr")};
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(window->FilePath(), host.AppFile("kept.zsr"));

    host.movie->player->SendCall("Z_ModeChange");
    QVERIFY(window->FilePath().empty());
    QVERIFY(window->SaveData().empty());
    QVERIFY(window->menuBar()->actions()[0]->isEnabled());
    // The same text now counts as unsaved.
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("文件“无题.zsr”的内容已经改变。是否需要保存修改？"));
}

void CommandsTest::aboutBoxShowsVersionFile()
{
    HostHarness host;
    host.WriteVersionFile(VersionFile{.version = "1.02", .copyright = "Copyright (C) Torvex, 2026"}.Text());
    auto window = host.StartReady();
    QStringList shown;
    host.dialogs->onModal = [&](QDialog& dialog) {
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("control1003"));
        shown << version->text() << QString::number(version->font().pixelSize())
              << dialog.findChild<QLabel*>(QStringLiteral("control1008"))->text()
              << QString::number(dialog.findChild<QLabel*>(QStringLiteral("control1009"))->font().pixelSize())
              << dialog.findChild<QPlainTextEdit*>(QStringLiteral("control1013"))->toPlainText()
              << dialog.windowTitle();
    };
    FindCommand(*window, ID_MENU_ABOUT)->trigger();
    QCOMPARE(shown.size(), 6);
    QCOMPARE(shown[0], QStringLiteral("Ver. 1.02"));
    QCOMPARE(shown[1], QStringLiteral("12"));
    QCOMPARE(shown[2], QStringLiteral("Copyright (C) Torvex, 2026"));
    QCOMPARE(shown[3], QStringLiteral("15"));
    QVERIFY(shown[4].startsWith(QStringLiteral("请在使用此系统之前,仔细阅读下列使用条例与注意事项。\n\n＜使用条例＞\n")));
    QVERIFY(shown[4].contains(QStringLiteral("Adobe Flash Player 9")));
    QCOMPARE(shown[5], QStringLiteral("版本"));
    QCOMPARE(host.dialogs->modalDialogs, std::vector<std::string>{"CAboutDlg"});
}

void CommandsTest::thirdPartyNoticesNameEachShippedComponent()
{
    HostHarness host;
    auto window = host.StartReady();
    QString shown;
    host.dialogs->onModal = [&](QDialog& dialog) {
        shown = dialog.windowTitle() + '\n' + dialog.findChild<QPlainTextEdit*>("notices")->toPlainText();
    };
    FindCommand(*window, ID_MENU_NOTICES)->trigger();
    QCOMPARE(host.dialogs->modalDialogs, std::vector<std::string>{"orvane::ThirdPartyNoticesDialog"});
    QVERIFY(shown.startsWith("第三方组件许可\nFormat: https://www.debian.org/"));
    QVERIFY(shown.contains("Ruffle LLC") && shown.contains("WenQuanYi") && shown.contains("Haxe Foundation"));
}

void CommandsTest::aboutBoxWithoutCommonInfo()
{
    HostHarness host;
    host.WriteVersionFile("<?xml version=\"1.0\"?><dataroot><OTHER/></dataroot>");
    auto window = host.StartReady();
    QVERIFY(host.dialogs->boxes.empty());
    QStringList shown;
    host.dialogs->onModal = [&](QDialog& dialog) {
        shown << dialog.findChild<QLabel*>(QStringLiteral("control1003"))->text()
              << dialog.findChild<QLabel*>(QStringLiteral("control1008"))->text();
    };
    FindCommand(*window, ID_MENU_ABOUT)->trigger();
    QCOMPARE(shown, QStringList({QStringLiteral("Ver. "), QString()}));
}

void CommandsTest::standardShortcutsWorkOnlyWhileCommandsAreEnabled()
{
    HostHarness host;
    auto window = host.Start();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QMenu* fileMenu = window->menuBar()->actions()[0]->menu();
    QStringList shortcuts;
    for (QAction* item : fileMenu->actions()) {
        if (!item->isSeparator())
            shortcuts << item->shortcut().toString();
    }
    QCOMPARE(shortcuts, QStringList({"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "", "", "", "Ctrl+P", "Ctrl+Q"}));

    host.movie->saveText = "work";
    host.dialogs->saveAnswers = {host.AppFile("keys.zsr")};
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(host.movie->calledNames.empty());

    host.movie->player->SendCall("zDataLoadEnd");
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadSelectionFile(host.AppFile("keys.zsr")), std::string("work"));
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(quit.size(), 1);
}

void CommandsTest::droppedSelectionFileOpensAfterTheSavePrompt()
{
    // The drops the window takes: the desktop room's tests.
    HostHarness host;
    const std::string dropped = host.AppFile("dropped.zsr");
    QVERIFY(WriteSelectionFile(dropped, "dropped"));
    auto window = host.StartReady();
    host.movie->saveText = "unsaved";
    host.dialogs->boxAnswers = {MsgResult::Cancel, MsgResult::No};
    for (std::size_t drops = 1; drops <= 2; ++drops) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
        QDragEnterEvent enter(window->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(window->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QTRY_COMPARE(host.dialogs->boxes.size(), drops);
    }
    QTRY_COMPARE(host.movie->loads, std::vector<std::string>{"dropped"});  // after the prompt's No, not its Cancel
    QCOMPARE(window->FilePath(), dropped);
}

void CommandsTest::titleStaysTheProgramsWhateverFileIsOpen()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy currentFile(window.get(), &COrvaneDlg::currentFileChanged);
    const QString program = QStringLiteral("Torvex-Z series 选型系统");
    const std::string path = host.AppFile("线路 A.zsr");
    QVERIFY(WriteSelectionFile(path, "A"));
    host.dialogs->openAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    host.movie->player->SendCall("Z_ModeChange");
    QCOMPARE(window->windowTitle(), program);
    // The window tells of its current file otherwise.
    QCOMPARE(currentFile.size(), 2);
    QCOMPARE(currentFile[0][0].toByteArray(), QByteArray::fromStdString(path));
    QCOMPARE(currentFile[1][0].toByteArray(), QByteArray());
}

void CommandsTest::logoutAsksLikeClosing()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->saveText = "changed";
    host.dialogs->boxAnswers = {MsgResult::Cancel, MsgResult::No};
    auto* desktop = window->findChild<orvane::DesktopRequests*>();
    QVERIFY(desktop);
    QVERIFY(!desktop->QueryEndSession(true));
    QVERIFY(desktop->QueryEndSession(true));
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("文件“无题.zsr”的内容已经改变。是否需要保存修改？"));
    // Without interaction nobody is asked.
    QVERIFY(desktop->QueryEndSession(false));
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(quit.size(), 0);
}

QTEST_MAIN(CommandsTest)
#include "test_host_commands.moc"
