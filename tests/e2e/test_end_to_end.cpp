// End to end: COrvaneDlg with the Ruffle player and orvane.swf from the
// program folder. Boxes and file dialogs are answered by the test; the movie
// is driven through its own calls and with real mouse clicks.

#include "CatalogPair.h"
#include "FileBytes.h"
#include "HostTestSupport.h"
#include "LoopbackHttpServer.h"
#include "VersionFile.h"
#include "dialogs/QtUserDialogs.h"
#include "RufflePlayerFactory.h"
#include "ShockwaveFlash.h"

#include "orvane/CatalogSignature.h"
#include "orvane/CatalogStore.h"
#include "orvane/ExternalValue.h"
#include "orvane/InvokeMessage.h"
#include "orvane/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QMimeData>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include <csignal>

#include <sys/stat.h>

namespace {

constexpr int kReadyTimeoutMs = 60000;

// A selection as the movie writes it: module mode, CPU, power supply, base
// and hand-set module quantities.
const std::string kSelection =
    "TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-DI16:3\nqty=ZX-EN01:1";

// A project name and an expansion rack: six input modules fill the main
// base's four slots and go on into the expansion base.
const std::string kTwoRacks = "TZSEL/3\nmode=module\nname=%E4%BA%8C%E5%8F%B7%E7%BA%BF\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B04\n"
                              "rack=ZB-E06/ZP-P15\nqty=ZX-DI16:6";

std::string Decode(const std::string& path, int* exitCode = nullptr)
{
    QProcess zsr;
    zsr.start(QStringLiteral(ZSR_TOOL), {QStringLiteral("decode"), QString::fromStdString(path)});
    zsr.waitForFinished(30000);
    if (exitCode)
        *exitCode = zsr.exitCode();
    return zsr.readAllStandardOutput().toStdString();
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    std::shared_ptr<ScriptedUserDialogs> m_dialogs;
    std::unique_ptr<COrvaneDlg> m_window;

    std::string FilePath(const char* name) const { return m_files.filePath(QString::fromLatin1(name)).toStdString(); }

    // programFolder: where the program is, and the movie and its files with
    // it; beforeStart runs once the window exists, before its movie is loaded.
    // realDialogs: the user's own boxes and file dialogs instead of the scripted ones.
    // hangLimit: how long the player may leave a sign of life unanswered.
    void StartProgram(QStringList arguments, const QString& programFolder = QStringLiteral(ORVANE_BIN_DIR),
                      const std::function<void()>& beforeStart = {}, bool realDialogs = false,
                      std::chrono::milliseconds hangLimit = orvane::RufflePlayer::kHangLimit)
    {
        m_dialogs = std::make_shared<ScriptedUserDialogs>();
        std::shared_ptr<orvane::UserDialogs> dialogs = m_dialogs;
        if (realDialogs)
            dialogs = std::make_shared<orvane::QtUserDialogs>();
        std::vector<std::string> commandLine;
        for (const QString& argument : arguments)
            commandLine.push_back(QFile::encodeName(argument).toStdString());
        COrvaneDlg::Environment environment{dialogs, std::make_shared<orvane::WindowResources>(), std::move(commandLine),
                                            programFolder + QStringLiteral("/orvane"),
                                            m_files.filePath(QStringLiteral("state")).toStdString(), {},
                                            std::chrono::seconds(30), CatalogFolder()};
        m_window = std::make_unique<COrvaneDlg>(orvane::RufflePlayerFactory(QStringLiteral(ORVANE_BIN_DIR), hangLimit),
                                                std::move(environment));
        if (beforeStart)
            beforeStart();
        QVERIFY(m_window->Create());
        QVERIFY(m_window->OnInitDialog());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QAction* Command(unsigned id) const { return FindCommand(*m_window, id); }
    std::string CatalogFolder() const { return m_files.filePath(QStringLiteral("data")).toStdString() + "/"; }

    void WaitUntilReady()
    {
        QTRY_VERIFY_WITH_TIMEOUT(Command(32779)->isEnabled(), kReadyTimeoutMs);
    }

    CShockwaveFlash& Flash() const { return *m_window->findChild<CShockwaveFlash*>(); }

    std::string MovieSelection() const
    {
        std::string text;
        try {
            const auto reply = Flash().CallFunction(QString::fromStdString(_MakeInvokeXml("zSave", ""))).toStdString();
            return orvane::ParseReturnString(reply, text) == orvane::ReplyStatus::Ok ? text : "<unusable reply: " + reply + ">";
        } catch (const orvane::FlashCallError& error) {
            return std::string("<call failed: ") + error.what() + ">";
        }
    }

    // A user clicks the CPU unit ZC-220 in the movie (the third row of its
    // first panel) until the selection shows it.
    void ClickCpuUnit()
    {
        auto* view = Flash().findChild<QWebEngineView*>();
        QVERIFY(view);
        QWidget* input = view->focusProxy() ? view->focusProxy() : view;
        const QPoint zc220(60, 132);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QTest::mouseClick(input, Qt::LeftButton, {}, zc220);
                QTest::qWait(200);
                return MovieSelection().find("cpu=ZC-220") != std::string::npos;
            }(),
            20000);
    }

    // Keys as the user types them into the movie.
    void Press(Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(MovieInput(), key);
    }

    QWidget* MovieInput() const
    {
        auto* view = Flash().findChild<QWebEngineView*>();
        return view->focusProxy() ? view->focusProxy() : view;
    }

    // The program started with path (holding selection) on its command line,
    // once the movie shows that file.
    void StartWithSelectionFile(const std::string& path, const std::string& selection = kSelection)
    {
        QVERIFY(WriteSelectionFile(path, selection));
        StartProgram({QStringLiteral("orvane"), QString::fromStdString(path)});
        WaitUntilReady();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->FilePath(), path, 10000);
    }

    // Save As through the menu, answering the save dialog with path.
    void SaveAs(const std::string& path)
    {
        m_dialogs->saveAnswers.push_back(path);
        Command(32776)->trigger();
    }

private slots:
    void init()
    {
        QVERIFY(m_files.isValid());
        ClearErrorLog();
    }

    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
        // A window that ends without closing keeps its unsaved work for the
        // next start: each test starts without the work of the one before.
        QDir(m_files.filePath(QStringLiteral("state"))).removeRecursively();
    }

    void commandLineFileIsShownAndSavesBackUnchanged()
    {
        const std::string source = FilePath("from-command-line.zsr");
        QVERIFY(WriteSelectionFile(source, kSelection));
        StartProgram({QStringLiteral("orvane"), QString::fromStdString(source)});
        QVERIFY(!Command(32779)->isEnabled());  // grey until the movie is ready

        WaitUntilReady();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->FilePath(), source, 10000);
        QVERIFY(m_dialogs->openRequests.empty());
        QCOMPARE(m_window->SaveData(), kSelection);
        QCOMPARE(MovieSelection(), kSelection);

        const std::string copy = FilePath("copy.zsr");
        SaveAs(copy);
        QCOMPARE(m_window->FilePath(), copy);
        int exitCode = -1;
        QCOMPARE(Decode(copy, &exitCode), kSelection);
        QCOMPARE(exitCode, 0);
        QVERIFY(m_dialogs->boxes.empty());
    }

    // The movie's bill of a two-rack selection, as CSV: the interface module
    // and cable added, prices and totals, each rack's budget; the selection
    // file, untouched, is what the movie saves.
    void billOfMaterialsIsExportedAsCsv()
    {
        const std::string source = FilePath("line-2.zsr");
        StartWithSelectionFile(source, kTwoRacks);
        QCOMPARE(MovieSelection(), kTwoRacks);

        const std::string csv = FilePath("line-2.csv");
        m_dialogs->saveAnswers.push_back(csv);
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        QCOMPARE(m_dialogs->saveRequests.back().initialName, std::string("line-2.xlsx"));
        const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
        QCOMPARE(ReadFileBytes(csv), "\xEF\xBB\xBF"
                                 "物料清单\r\n项目名称,二号线\r\n日期," + today + "\r\n"
                                 "价格依据,产品目录 2026.2 版（2026-12-07）\r\n\r\n"
                                 "序号,订货号,型号,说明,数量,单价(CNY),金额(CNY)\r\n"
                                 "1,TZ-C0220-00,ZC-220,高性能，1024 点，以太网 2 口,1,6980.00,6980.00\r\n"
                                 "2,TZ-P0015-00,ZP-P15,交流输入，5V 1.5A，24V 0.3A,1,560.00,560.00\r\n"
                                 "3,TZ-P0030-00,ZP-P30,交流输入，5V 3.0A，24V 0.6A,1,880.00,880.00\r\n"
                                 "4,TZ-B0004-00,ZB-B04,4 槽基板,1,320.00,320.00\r\n"
                                 "5,TZ-E0106-00,ZB-E06,6 槽扩展基板,1,450.00,450.00\r\n"
                                 "6,TZ-E0201-00,ZX-IF01,扩展接口模块，装在扩展基板的接口位,1,380.00,380.00\r\n"
                                 "7,TZ-E0306-00,ZX-CB06,扩展电缆 0.6 m,1,95.00,95.00\r\n"
                                 "8,TZ-D1016-00,ZX-DI16,16 点 DC24V 输入，源型/漏型,6,680.00,4080.00\r\n"
                                 "合计,,,,13,,13745.00\r\n\r\n"
                                 "工程数据\r\n"
                                 "机架,基板,电源,已用槽位,可用槽位,5V电流(mA),5V容量(mA),24V电流(mA),24V容量(mA),I/O点数,"
                                 "导轨长度(mm),损耗(W)\r\n"
                                 "主基板,ZB-B04,ZP-P30,4,4,800,3000,0,600,64,236.5,25.7\r\n"
                                 "扩展基板 1,ZB-E06,ZP-P15,2,6,290,1500,0,300,32,281.5,12.2\r\n"
                                 "合计,,,6,10,1090,4500,0,900,96,,37.9\r\n"
                                 "CPU I/O点数上限,1024\r\n基板数,2（CPU上限 4）\r\n总损耗(W),37.9\r\n");
        SaveAs(FilePath("line-2-copy.zsr"));
        QCOMPARE(Decode(FilePath("line-2-copy.zsr")), kTwoRacks);
    }

    void billOfMaterialsIsPrintedToPdf()
    {
        StartWithSelectionFile(FilePath("printed.zsr"));
        const std::string pdf = FilePath("printed.pdf");
        m_dialogs->printAnswers.push_back(pdf);
        Command(ID_MENU_FILE_PRINT_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        QCOMPARE(m_dialogs->proposedPdfFiles.back(), pdf);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        for (const QString& expected : {QStringLiteral("printed.zsr"), QStringLiteral("TZ-B0006-00"),
                                        QStringLiteral("以太网通信模块"), QStringLiteral("12,790.00"), QStringLiteral("1,055")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in: ") + text));
    }

    void billOfMaterialsIsCopiedAsRowsAndTable()
    {
        StartWithSelectionFile(FilePath("copied.zsr"));
        Command(ID_MENU_FILE_COPY_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        const QString rows = QGuiApplication::clipboard()->text();
        QVERIFY2(rows.startsWith(QStringLiteral("物料清单\n日期,").replace(QLatin1Char(','), QLatin1Char('\t'))) &&
                     rows.contains(QStringLiteral("5\tTZ-N0001-00\tZX-EN01\t以太网通信模块，2 口，Modbus TCP\t1\t2480.00\t2480.00\n"
                                                  "合计\t\t\t\t7\t\t12790.00\n")),
                 qPrintable(rows));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->html().contains(QStringLiteral("<td>ZX-EN01</td>")));
    }

    void newClearsAndOpenRestores()
    {
        const std::string saved = FilePath("saved.zsr");
        QVERIFY(WriteSelectionFile(saved, kSelection));
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        QCOMPARE(MovieSelection(), std::string());

        m_dialogs->openAnswers.push_back(saved);
        Command(32782)->trigger();
        QCOMPARE(m_window->FilePath(), saved);
        QCOMPARE(MovieSelection(), kSelection);

        Command(32783)->trigger();  // New: nothing changed, so no prompt
        QVERIFY(m_dialogs->boxes.empty());
        QCOMPARE(m_window->FilePath(), std::string());
        QCOMPARE(MovieSelection(), std::string());

        Command(32771)->trigger();  // Save of the empty selection
        QCOMPARE(m_dialogs->boxes.size(), std::size_t(1));
        QCOMPARE(m_dialogs->boxes[0].text, orvane::LoadResString(orvane::IDS_NO_DATA_TO_SAVE));

        m_dialogs->openAnswers.push_back(saved);
        Command(32782)->trigger();
        QCOMPARE(MovieSelection(), kSelection);
        QCOMPARE(m_window->SaveData(), kSelection);
    }

    void damagedFileChangesNothing()
    {
        const std::string good = FilePath("good.zsr");
        const std::string damaged = FilePath("damaged.zsr");
        QVERIFY(WriteSelectionFile(good, kSelection));
        std::string bytes = ReadFileBytes(good);
        bytes.back() = static_cast<char>(bytes.back() ^ 0x01);
        WriteFileBytes(damaged, bytes);

        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        m_dialogs->openAnswers.push_back(good);
        Command(32782)->trigger();
        QCOMPARE(m_window->FilePath(), good);

        m_dialogs->openAnswers.push_back(damaged);
        Command(32782)->trigger();
        QCOMPARE(m_dialogs->boxes.size(), std::size_t(1));
        QCOMPARE(m_dialogs->boxes[0].text, damaged + "\n" + orvane::LoadResString(orvane::IDS_FILE_DAMAGED));
        QCOMPARE(m_window->FilePath(), good);
        QCOMPARE(m_window->SaveData(), kSelection);
        QCOMPARE(MovieSelection(), kSelection);
    }

    // A file whose text the movie cannot read (an older program's selection,
    // say) does not become the current file: a later Save asks for a name
    // instead of overwriting it with the selection on screen.
    void unreadableSelectionIsNeverOverwritten()
    {
        const std::string good = FilePath("good.zsr");
        const std::string older = FilePath("older.zsr");
        QVERIFY(WriteSelectionFile(good, kSelection));
        QVERIFY(WriteSelectionFile(older, "SELECTION OF AN OLDER PROGRAM\r\nCPU=Z-100"));
        const std::string olderBytes = ReadFileBytes(older);

        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        m_dialogs->openAnswers.push_back(good);
        Command(32782)->trigger();
        QCOMPARE(m_window->FilePath(), good);

        m_dialogs->openAnswers.push_back(older);
        Command(32782)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->FilePath(), std::string(), 10000);
        QCOMPARE(m_window->SaveData(), std::string());
        QCOMPARE(MovieSelection(), kSelection);  // the movie kept what it showed

        m_dialogs->saveAnswers.push_back(std::nullopt);  // the user cancels the save dialog
        Command(32771)->trigger();
        QCOMPARE(m_dialogs->saveRequests.size(), std::size_t(1));
        QCOMPARE(ReadFileBytes(older), olderBytes);
        QVERIFY(m_dialogs->boxes.empty());
    }

    // A user clicks a CPU unit in the movie; the change makes Exit ask to save,
    // and the saved file holds what the movie shows.
    void clickInMovieIsSavedWithThePrompt()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        ClickCpuUnit();

        const std::string saved = FilePath("clicked.zsr");
        m_dialogs->boxAnswers.push_back(MsgResult::Yes);
        m_dialogs->saveAnswers.push_back(saved);
        bool quit = false;
        connect(m_window.get(), &COrvaneDlg::quitPosted, this, [&quit] { quit = true; });
        Command(32773)->trigger();  // Exit
        QCOMPARE(m_dialogs->boxes.size(), std::size_t(1));
        QCOMPARE(m_dialogs->boxes[0].caption, orvane::LoadResString(orvane::IDS_SAVE_CAPTION));
        QVERIFY(quit);
        const std::string text = Decode(saved);
        QVERIFY(text.find("cpu=ZC-220") != std::string::npos);
        QCOMPARE(text, m_window->SaveData());
    }

    // The keyboard alone, through the real window: Tab goes from area to area
    // (the header, each choice list, the filter, the module tabs, the module
    // list) and the arrows move inside one, skipping grey controls; a typed
    // quantity takes digits only and is taken with Enter, the numbers on the
    // way never; Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo and redo, what was typed
    // into a field as one step. Each change reaches the
    // host as zSelectionChanged with the text zSave gives.
    void keyboardAndUndoDriveTheMovie()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        std::vector<std::string> announced;
        connect(&Flash(), &CShockwaveFlash::FlashCall, this, [&announced](const QString& request) {
            const auto call = orvane::ReadInvoke(request.toStdString());
            if (call && call->name == "zSelectionChanged" && call->arguments.size() == 1)
                announced.push_back(call->arguments[0].text);
        });
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(400, 20));  // the page takes the keys

        const std::string cpu = "TZSEL/1\nmode=module\ncpu=ZC-220";
        Press(Qt::Key_Tab, 2);   // the header (撤销 and 重做 are grey: 按模块选型), then the CPU list at ZC-110
        Press(Qt::Key_Down, 2);  // ZC-220
        Press(Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), cpu, 10000);
        Press(Qt::Key_Tab, 5);  // power supplies, bases, filter, module tabs, then ZX-DI08's quantity (its − is grey)
        Press(Qt::Key_Down);    // ZX-DI16's quantity
        QTest::keyClicks(MovieInput(), QStringLiteral("1x2"));
        Press(Qt::Key_Return);  // the count typed is taken
        const std::string typed = cpu + "\nqty=ZX-DI16:12";
        QTRY_COMPARE_WITH_TIMEOUT(announced.back(), typed, 10000);
        Press(Qt::Key_Right);  // its + button
        Press(Qt::Key_Return);
        const std::string stepped = cpu + "\nqty=ZX-DI16:13";
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), stepped, 10000);

        QTest::keyClick(MovieInput(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), typed, 10000);
        QTest::keyClick(MovieInput(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), cpu, 10000);
        QTest::keyClick(MovieInput(), Qt::Key_Y, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), typed, 10000);
        QTest::keyClick(MovieInput(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), stepped, 10000);

        const auto joined = [](const std::vector<std::string>& texts) {
            std::string all;
            for (const std::string& text : texts)
                all += text + "|";
            return all;
        };
        QTRY_COMPARE_WITH_TIMEOUT(joined(announced),
                                  joined({cpu, typed, stepped, typed, cpu, typed, stepped}), 10000);
        const std::string saved = FilePath("typed.zsr");
        SaveAs(saved);
        QCOMPARE(Decode(saved), stepped);
    }

    // The project data typed into the movie's dialog and an expansion rack
    // added with its button reach the selection text (version 3).
    void projectDataAndRackAreEnteredInTheMovie()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(508, 22));  // 项目信息
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(500, 240));  // the project name field
        QTest::keyClicks(MovieInput(), QStringLiteral("Line 2"));
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(588, 387));  // 确定
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), std::string("TZSEL/3\nmode=module\nname=Line%202"), 10000);
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(71, 511));  // ＋ 添加扩展基板
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), std::string("TZSEL/3\nmode=module\nname=Line%202\nrack=/"), 10000);
    }

    qint64 PagePid() const { return Flash().findChild<QWebEngineView*>()->page()->renderProcessPid(); }

    // The player stops or hangs soon after a change: the program says so,
    // starts the player afresh and, asked, gives the movie its selection back.
    void ExpectSelectionBackAfterStop(const std::string& changed)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialogs->boxes.empty(), 30000);
        QCOMPARE(m_dialogs->boxes[0].text, orvane::LoadResString(orvane::IDS_PLAYER_STOPPED));
        WaitUntilReady();
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), changed, 20000);
        QCOMPARE(m_dialogs->boxes.size(), std::size_t(2));
        QCOMPARE(m_dialogs->boxes[1].text, orvane::LoadResString(orvane::IDS_RESTORE_AFTER_STOP));
    }

    // Killed a moment after the user's change, nobody having asked the movie
    // for its selection since: the change is not lost.
    void killedPlayerComesBackWithTheSelection()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        ClickCpuUnit();
        const std::string changed = MovieSelection();
        QTest::qWait(1000);
        m_dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
        QCOMPARE(::kill(PagePid(), SIGKILL), 0);
        ExpectSelectionBackAfterStop(changed);
    }

    // The value of a script in the player's page.
    QVariant PageValue(const QString& script)
    {
        std::optional<QVariant> value;
        Flash().findChild<QWebEngineView*>()->page()->runJavaScript(script, [&](const QVariant& v) { value = v; });
        (void)QTest::qWaitFor([&] { return value.has_value(); }, 10000);
        return value.value_or(QVariant(QStringLiteral("<no answer>")));
    }

    // A selection that nobody works on costs nothing: the player runs no
    // frames (and so draws nothing) over a quiet second, and runs them again
    // at the next click, whose result shows. Minimised, the movie still
    // answers the host.
    void quietMovieRunsNoFramesUntilSomebodyWorks()
    {
        StartWithSelectionFile(FilePath("quiet.zsr"));
        QTest::qWait(3000);  // the player stays awake 2 s after the last input or call
        const int quiet = PageValue(QStringLiteral("orvaneTicks()")).toInt();
        QTest::qWait(1000);
        QCOMPARE(PageValue(QStringLiteral("orvaneTicks()")).toInt(), quiet);

        auto* view = Flash().findChild<QWebEngineView*>();
        QTest::mouseClick(view->focusProxy() ? view->focusProxy() : view, Qt::LeftButton, {}, QPoint(60, 110));
        QTRY_VERIFY_WITH_TIMEOUT(MovieSelection().find("cpu=ZC-120") != std::string::npos, 10000);
        // The click is handled at once; the frame it wakes follows at the
        // page's next animation frame.
        QTRY_VERIFY_WITH_TIMEOUT(PageValue(QStringLiteral("orvaneTicks()")).toInt() > quiet, 5000);

        view->page()->setVisible(false);  // as when the window is minimised
        QTRY_VERIFY_WITH_TIMEOUT(PageValue(QStringLiteral("document.hidden")).toBool(), 10000);
        QVERIFY(MovieSelection().find("cpu=ZC-120") != std::string::npos);
        view->page()->setVisible(true);
    }

    // A FIFO where the movie reads its catalogue is refused at once: the
    // movie reports the failure well before its loader's time limit (15 s),
    // and no thread of the engine is left waiting on it.
    void fifoBesideTheMovieIsRefusedAtOnce()
    {
        const QDir folder(m_files.filePath(QStringLiteral("program")));
        QVERIFY(QDir().mkpath(folder.path()));
        for (const char* name : {"orvane.swf", "orvane_font.swf", "z_ver.xml", "ruffle"})
            QVERIFY(QFile::link(QStringLiteral(ORVANE_BIN_DIR "/") + QLatin1String(name),
                                folder.filePath(QLatin1String(name))));
        QCOMPARE(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("orvane_catalog.xml"))).constData(), 0600), 0);

        std::unique_ptr<QSignalSpy> spy;
        StartProgram({QStringLiteral("orvane")}, folder.path(),
                     [&] { spy = std::make_unique<QSignalSpy>(&Flash(), &CShockwaveFlash::FlashCall); });
        const QSignalSpy& calls = *spy;
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(calls.cbegin(), calls.cend(),
                                             [](const QList<QVariant>& call) {
                                                 return call.at(0).toString().contains(QLatin1String("\"zError\""));
                                             }),
                                 10000);
    }

    // A catalogue update the user installed is what the movie reads: a
    // selection naming a module only it has loads and saves back whole.
    void installedCatalogueUpdateIsWhatTheMovieReads()
    {
        const QDir folder(m_files.filePath(QStringLiteral("program-with-update")));
        QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("catalog-keys"))));
        for (const char* name : {"orvane.swf", "orvane_font.swf", "z_ver.xml", "ruffle", "orvane_catalog.xml"})
            QVERIFY(QFile::link(QStringLiteral(ORVANE_BIN_DIR "/") + QLatin1String(name), folder.filePath(QLatin1String(name))));
        const auto key = orvane::MakeCatalogKeyPair();
        QVERIFY(key);
        WriteFileBytes(folder.filePath(QStringLiteral("catalog-keys/test.pem")).toStdString(), key->publicPem);
        std::string catalogue = WithEdition(ReadFileBytes(ORVANE_BIN_DIR "/orvane_catalog.xml"), "2099.1");  // newer than the shipped one
        catalogue.insert(catalogue.rfind("</catalog>"),
                         "<item kind=\"di\" code=\"ZX-DI16N\" order=\"TZ-D1017-00\" price=\"760.00\" desc=\"16 点新型输入\" di=\"16\"/>\n");
        QVERIFY(InstallCatalogPair(catalogue, *orvane::SignCatalog(key->privatePem, catalogue), CatalogFolder()));

        StartProgram({QStringLiteral("orvane")}, folder.path());
        WaitUntilReady();
        const std::string selection = "TZSEL/1\nmode=module\nqty=ZX-DI16N:2";
        Flash().CallFunction(QString::fromStdString(_MakeInvokeXml("zLoad", selection)));
        QCOMPARE(MovieSelection(), selection);
        // Its key is in this program folder only: the later starts would be told it no longer verifies.
        QCOMPARE(orvane::RestoreShippedCatalog(CatalogFolder()), 0);
    }

    // The movie reads the catalogue the program checked at its start, from
    // memory: one changed on disk afterwards does not reach it, even when the
    // player starts afresh and loads the catalogue again.
    void catalogueChangedOnDiskAfterTheCheckNeverReachesTheMovie()
    {
        const QDir folder(m_files.filePath(QStringLiteral("program-changed-catalogue")));
        QVERIFY(QDir().mkpath(folder.path()));
        for (const char* name : {"orvane.swf", "orvane_font.swf", "z_ver.xml", "ruffle"})
            QVERIFY(QFile::link(QStringLiteral(ORVANE_BIN_DIR "/") + QLatin1String(name), folder.filePath(QLatin1String(name))));
        const std::string catalogue = folder.filePath(QStringLiteral("orvane_catalog.xml")).toStdString();
        WriteFileBytes(catalogue, ReadFileBytes(ORVANE_BIN_DIR "/orvane_catalog.xml"));
        StartProgram({QStringLiteral("orvane")}, folder.path());
        WaitUntilReady();
        ClickCpuUnit();
        const std::string changed = MovieSelection();

        WriteFileBytes(catalogue, "<catalog format=\"1\"/>");  // a catalogue the movie would refuse
        m_dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
        QCOMPARE(::kill(PagePid(), SIGKILL), 0);
        ExpectSelectionBackAfterStop(changed);
    }

    // A page that no longer answers is found, ended and treated like one that stopped.
    void hungPlayerIsRestartedWithTheSelection()
    {
        StartProgram({QStringLiteral("orvane")}, QStringLiteral(ORVANE_BIN_DIR), {}, false, std::chrono::milliseconds(2000));
        WaitUntilReady();
        ClickCpuUnit();
        const std::string changed = MovieSelection();
        m_dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
        const qint64 hung = PagePid();
        QCOMPARE(::kill(hung, SIGSTOP), 0);
        ExpectSelectionBackAfterStop(changed);
        QVERIFY(::kill(hung, 0) != 0);  // the halted process was ended
        QVERIFY(ReadErrorLog().back().message.starts_with("the page did not answer"));
    }

    // The player stops while it takes another file: the selection belongs to
    // neither file, so Save asks for a name instead of writing into the first.
    void openThatFailsPartWayWritesIntoNoFile()
    {
        const std::string first = FilePath("first.zsr");
        StartWithSelectionFile(first);
        const std::string second = FilePath("second.zsr");
        QVERIFY(WriteSelectionFile(second, "TZSEL/1\nmode=module\ncpu=ZC-220"));

        // The player halts while the file is chosen, so that "zLoad" waits,
        // and ends half a second later.
        const qint64 page = PagePid();
        m_dialogs->whileOpenDialogShows = [page] {
            ::kill(page, SIGSTOP);
            QTimer::singleShot(500, [page] { ::kill(page, SIGKILL); });
        };
        m_dialogs->openAnswers = {second};
        m_dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Yes};
        Command(32782)->trigger();
        QVERIFY(m_window->FilePath().empty());
        // The call failed, then the player was found stopped and, started
        // afresh, offered the selection back.
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), std::size_t(3), 30000);
        QCOMPARE(m_dialogs->boxes[2].text, orvane::LoadResString(orvane::IDS_RESTORE_AFTER_STOP));
        m_dialogs->saveAnswers = {std::nullopt};
        Command(32771)->trigger();
        QCOMPARE(m_dialogs->saveRequests.size(), std::size_t(1));
        QCOMPARE(Decode(first), kSelection);
    }

    // Answers the next modal dialog as the user would, once it shows.
    void WhenModalShows(std::function<void(QWidget*)> answer)
    {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, answer = std::move(answer)] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                poll->stop();
                poll->deleteLater();
                answer(dialog);
            }
        });
        poll->start(20);
    }

    // A modifier the user held when the keyboard left the page (the Alt of
    // Alt+F, the Ctrl of Ctrl+S or Ctrl+N) comes up in the menu or the dialog,
    // never in the page; the movie must not go on taking it for pressed. After
    // the menu, the keyboard is the movie's again (Ctrl+Z undoes there), and
    // after the menu, the save dialog and the save prompt, a digit typed into
    // a quantity field arrives. The boxes and dialogs are the user's own.
    void keysHeldWhenTheKeyboardLeftThePageAreLetGo()
    {
        StartProgram({QStringLiteral("orvane")}, QStringLiteral(ORVANE_BIN_DIR), {}, true);
        WaitUntilReady();
        m_window->activateWindow();  // the window the user types into
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const auto typeQuantity = [&](int row, Qt::Key digit) {
            QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(591, 129 + 40 * row));  // ZX-DI08, ZX-DI16, ZX-DI32
            QTest::keyClick(MovieInput(), digit);
        };
        // Whether the selection comes to hold these module quantities.
        const auto holds = [&](const std::string& quantities) {
            const std::string expected = quantities.empty() ? "" : "TZSEL/1\nmode=module" + quantities;
            return QTest::qWaitFor([&] { return MovieSelection() == expected; }, 10000);
        };
        typeQuantity(0, Qt::Key_3);
        QVERIFY2(holds("\nqty=ZX-DI08:3"), MovieSelection().c_str());

        QTest::keyPress(MovieInput(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(MovieInput(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());

        QTest::keyRelease(QApplication::activePopupWidget(), Qt::Key_F, Qt::AltModifier);
        QTest::keyRelease(QApplication::activePopupWidget(), Qt::Key_Alt);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        m_window->activateWindow();  // as the window manager does once the menu has gone
        QTRY_VERIFY(m_window->isActiveWindow());
        QTRY_COMPARE(m_window->focusWidget(), MovieInput());  // Qt would leave it with the menu bar
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(holds(""), MovieSelection().c_str());
        typeQuantity(1, Qt::Key_8);
        QVERIFY2(holds("\nqty=ZX-DI16:8"), MovieSelection().c_str());

        const std::string saved = FilePath("held-keys.zsr");
        WhenModalShows([&saved](QWidget* dialog) {
            QTest::keyRelease(dialog, Qt::Key_S, Qt::ControlModifier);
            QTest::keyRelease(dialog, Qt::Key_Control);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QString::fromStdString(saved));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::keyPress(MovieInput(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyPress(MovieInput(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_window->FilePath(), saved);
        typeQuantity(2, Qt::Key_5);
        QVERIFY2(holds("\nqty=ZX-DI16:8\nqty=ZX-DI32:5"), MovieSelection().c_str());

        WhenModalShows([](QWidget* box) {
            QTest::keyRelease(box, Qt::Key_N, Qt::ControlModifier);
            QTest::keyRelease(box, Qt::Key_Control);
            QTest::keyClick(box, Qt::Key_Escape);  // 取消
        });
        QTest::keyPress(MovieInput(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyPress(MovieInput(), Qt::Key_N, Qt::ControlModifier);
        typeQuantity(0, Qt::Key_2);
        QVERIFY2(holds("\nqty=ZX-DI08:2\nqty=ZX-DI16:8\nqty=ZX-DI32:5"), MovieSelection().c_str());
        QCOMPARE(Decode(saved), "TZSEL/1\nmode=module\nqty=ZX-DI16:8");
    }

    // After every dialog of the host's the keyboard is the movie's again, in
    // the quantity field where it was, its number selected as when the field
    // is entered: the next digit replaces it. Without a dialog (Ctrl+S on a
    // named file) the digit goes on with the number. The dialogs are the
    // user's own, each closed as the user would close it.
    void keysComeBackToTheFieldAfterEveryDialog()
    {
        LoopbackHttpServer updates(std::string{});
        updates.HoldRequests(true);  // the catalogue update is still on its way when 取消 is pressed
        const QDir folder(m_files.filePath(QStringLiteral("program-held-update")));
        QVERIFY(QDir().mkpath(folder.path()));
        for (const char* name : {"orvane.swf", "orvane_font.swf", "ruffle", "orvane_catalog.xml", "catalog-keys"})
            QVERIFY(QFile::link(QStringLiteral(ORVANE_BIN_DIR "/") + QLatin1String(name), folder.filePath(QLatin1String(name))));
        WriteFileBytes(folder.filePath(QStringLiteral("z_ver.xml")).toStdString(),
                       VersionFile{.catalogUpdateUrl = updates.Url("/")}.Text());
        StartProgram({QStringLiteral("orvane")}, folder.path(), {}, true);
        WaitUntilReady();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        Qt::Key held = Qt::Key_unknown;  // the key of a shortcut, with Ctrl, until it comes up in the dialog
        using Answer = std::function<void(QWidget*)>;
        // open shows the dialogs that answers close, one after the other (none
        // without answers); then digit is typed where the keyboard is, and the
        // selection holds quantities.
        const auto typeAfter = [&](const std::function<void()>& open, const std::vector<Answer>& answers, Qt::Key digit,
                                   const std::string& quantities) {
            std::size_t answered = 0;
            std::function<void()> answerNext = [&] {
                if (answered < answers.size())
                    WhenModalShows([&](QWidget* dialog) {
                        dialog->activateWindow();  // the dialog takes the keyboard, as under a window manager
                        QVERIFY(QTest::qWaitForWindowActive(dialog));
                        QTRY_COMPARE(PageValue(QStringLiteral("document.hasFocus()")), QVariant(false));
                        if (const Qt::Key key = std::exchange(held, Qt::Key_unknown); key != Qt::Key_unknown)
                            for (const Qt::Key up : {key, Qt::Key_Control})
                                QTest::keyRelease(dialog, up, Qt::ControlModifier);
                        answers[answered++](dialog);
                        answerNext();
                    });
            };
            answerNext();
            open();
            QTRY_VERIFY(answered == answers.size() && !QApplication::activeModalWidget());
            m_window->activateWindow();  // as the window manager does once the dialog has gone
            QTRY_COMPARE(QApplication::focusWidget(), MovieInput());
            QTest::keyClick(QApplication::focusWidget(), digit);
            const std::string expected = "TZSEL/1\nmode=module" + quantities;
            QVERIFY2(QTest::qWaitFor([&] { return MovieSelection() == expected; }, 10000), MovieSelection().c_str());
        };
        const auto shortcut = [&](Qt::Key key) {
            return [&, key] {
                held = key;
                QTest::keyPress(MovieInput(), Qt::Key_Control, Qt::ControlModifier);
                QTest::keyPress(MovieInput(), key, Qt::ControlModifier);
            };
        };
        const Answer escape = [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
        const auto button = [](const char* text) -> Answer {
            return [text](QWidget* dialog) {
                for (QPushButton* candidate : dialog->findChildren<QPushButton*>())
                    if (candidate->isVisible() && candidate->text() == QString::fromUtf8(text))
                        return candidate->click();
                QTest::keyClick(dialog, Qt::Key_Escape);  // another dialog than meant: closed, so that the test goes on to fail
                QFAIL(text);
            };
        };
        const auto command = [this](unsigned id) { return [this, id] { Command(id)->trigger(); }; };

        const std::string saved = FilePath("after-dialogs.zsr");
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(591, 129));  // ZX-DI08's quantity
        QTest::keyClick(MovieInput(), Qt::Key_1);
        typeAfter(shortcut(Qt::Key_S), {[&](QWidget* dialog) {  // the save dialog of an untitled selection
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QString::fromStdString(saved));
            QTest::keyClick(name, Qt::Key_Return);
        }}, Qt::Key_2, "\nqty=ZX-DI08:2");
        QCOMPARE(Decode(saved), "TZSEL/1\nmode=module\nqty=ZX-DI08:1");
        typeAfter(shortcut(Qt::Key_S), {}, Qt::Key_3, "\nqty=ZX-DI08:23");
        held = Qt::Key_unknown;  // no dialog took the keys of Ctrl+S

        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(591, 169));  // ZX-DI16's quantity
        QTest::keyClick(MovieInput(), Qt::Key_4);
        const struct {
            const char* what;
            std::function<void()> open;
            std::vector<Answer> answers;
        } dialogs[] = {
            {"另存为, cancelled", command(ID_MENU_FILE_SAVEAS), {escape}},
            {"另存为 from the keyboard: Alt+F, three times ↓, Enter", [this] {
                 QTest::keyClick(MovieInput(), Qt::Key_F, Qt::AltModifier);
                 QTRY_VERIFY(QApplication::activePopupWidget());
                 for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
                     QTest::keyClick(QApplication::activePopupWidget(), key);
             }, {escape}},
            {"the save prompt of Ctrl+N, 取消", shortcut(Qt::Key_N), {escape}},
            {"打开: the save prompt's 否, then the open dialog cancelled", command(ID_MENU_FILE_OPEN), {button("否(&N)"), escape}},
            {"导出物料清单…, cancelled", command(ID_MENU_FILE_EXPORT_BOM), {escape}},
            {"导出到工程软件…, cancelled", command(ID_MENU_FILE_EXPORT_AML), {escape}},
            {"打印…: the preview closed", shortcut(Qt::Key_P), {[](QWidget* preview) { preview->close(); }}},
            {"更新产品目录…: 取消 while it is fetched", command(ID_MENU_CATALOG_UPDATE), {button("取消")}},
            {"恢复随程序安装的产品目录: its box", command(ID_MENU_CATALOG_RESTORE), {escape}},
            {"第三方组件许可", command(ID_MENU_NOTICES), {escape}},
            {"版本", command(ID_MENU_ABOUT), {escape}},
        };
        int count = 4;
        for (const auto& dialog : dialogs) {
            count = count % 9 + 1;
            typeAfter(dialog.open, dialog.answers, Qt::Key(Qt::Key_0 + count), "\nqty=ZX-DI08:23\nqty=ZX-DI16:" + std::to_string(count));
            QVERIFY2(!QTest::currentTestFailed(), dialog.what);
        }
    }

    // The project dialog opens on its first field however it was left: a
    // name with a space, Tab to the next field and Enter go into the dialog,
    // and nothing behind it changes.
    void keysTypedIntoTheProjectDialogStayThere()
    {
        StartWithSelectionFile(FilePath("project.zsr"));
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(508, 22));  // 项目信息
        Press(Qt::Key_Tab, 4);  // 客户, 编制, 备注, 确定
        Press(Qt::Key_Escape);
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(508, 22));
        QTest::keyClicks(MovieInput(), QStringLiteral("ACME Foods"));
        Press(Qt::Key_Tab);
        QTest::keyClicks(MovieInput(), QStringLiteral("Li Lei"));
        Press(Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), "TZSEL/3\nmode=module\nname=ACME%20Foods\ncustomer=Li%20Lei" + kSelection.substr(19), 10000);
    }

    // A file saved with a later catalogue edition names a module this one
    // lacks: it opens unchanged, and 保持原样 (Esc) in the movie's question
    // keeps it so; the host forgets the file, and saved elsewhere it is the
    // same text byte for byte. Its bill lists the unknown module, marked and
    // counted in no total.
    void fileWithItemsTheCatalogueLacksOpensUnchanged()
    {
        const std::string later = "TZSEL/4\nmode=io\nedition=2026.3\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B12\n"
                                  "reserve=slots:10,5V:0,24V:0,points:0\nneed=DI:320,DO:0,AI:0,AO:0\n"
                                  "pick=DI:ZX-DI32B,DO:ZX-DO16T,AI:ZX-AI04,AO:ZX-AO04\norder=ZX-DI32B:2@0,ZX-DI32B:8";
        StartWithSelectionFile(FilePath("later-edition.zsr"), later);
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(400, 20));  // the page takes the keys
        Press(Qt::Key_Escape);  // 保持原样
        QTRY_COMPARE_WITH_TIMEOUT(m_window->FilePath(), std::string(), 10000);
        SaveAs(FilePath("kept.zsr"));
        QCOMPARE(Decode(FilePath("kept.zsr")), later);
        m_dialogs->saveAnswers.push_back(FilePath("kept.csv"));
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        const std::string bill = ReadFileBytes(FilePath("kept.csv"));
        QVERIFY2(bill.find(",ZX-DI32B,【目录中未知】,10,,\r\n合计,,,,3,,") != std::string::npos, bill.c_str());
    }

    // Typed as fast as the keys come, keys go where the focus is: in the
    // project dialog each key after Tab or an arrow key goes to the field the
    // focus reached, and Enter in a field presses 确定 (the host hears the new
    // selection without asking for it); a quantity field entered with an
    // arrow key is selected whole, so BackSpace and a digit replace it.
    void keysGoWhereTheFocusIsHoweverFastTheyCome()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        const QSignalSpy calls(&Flash(), &CShockwaveFlash::FlashCall);
        const auto announced = [&calls] {
            std::vector<std::string> texts;
            for (const QList<QVariant>& call : calls)
                if (const auto invoke = orvane::ReadInvoke(call.at(0).toString().toStdString());
                    invoke && invoke->name == "zSelectionChanged")
                    texts.push_back(invoke->arguments.at(0).text);
            return texts;
        };
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(508, 22));   // 项目信息
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(500, 240));  // the project name field
        QTest::keyClicks(MovieInput(), QStringLiteral("Line 2"));
        Press(Qt::Key_Tab);
        QTest::keyClicks(MovieInput(), QStringLiteral("East"));
        Press(Qt::Key_Down);
        QTest::keyClicks(MovieInput(), QStringLiteral("Li"));
        Press(Qt::Key_Return);
        const std::string project = "TZSEL/3\nmode=module\nname=Line%202\ncustomer=East\nauthor=Li";
        QTRY_COMPARE_WITH_TIMEOUT(announced(), std::vector<std::string>{project}, 10000);

        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(621, 170));  // ZX-DI16's +
        Press(Qt::Key_Left);  // its quantity, 1
        Press(Qt::Key_Backspace);
        QTest::keyClicks(MovieInput(), QStringLiteral("8"));
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), project + "\nqty=ZX-DI16:8", 10000);

        // The host reads the selection while the dialog is open: what it holds
        // is taken as 确定 would take it, one step to undo.
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(508, 22));   // 项目信息
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(500, 330));  // the note field
        QTest::keyClicks(MovieInput(), QStringLiteral("Q"));
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), project + "\nnote=Q\nqty=ZX-DI16:8", 10000);
        QTest::keyClick(MovieInput(), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), project + "\nqty=ZX-DI16:8", 10000);
    }

    // By I/O need with a fifth of the slots kept free, the planner adds an
    // expansion rack with its power supply, interface module and cable; the
    // connector-type outputs bring their cables and terminal blocks; the
    // exported bill states the reserve. A module taken to the expansion rack
    // with "移到…" stays pinned there, and the file keeps it.
    void plannedRacksReserveAndAPinnedModuleReachEveryOutput()
    {
        const std::string need = "TZSEL/4\nmode=io\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nreserve=slots:20,5V:0,24V:0,points:0\n"
                                 "need=DI:128,DO:64,AI:0,AO:0\npick=DI:ZX-DI16,DO:ZX-DO32T,AI:ZX-AI04,AO:ZX-AO04";
        StartWithSelectionFile(FilePath("planned.zsr"), need);
        QCOMPARE(MovieSelection(), need);
        const std::string csv = FilePath("planned.csv");
        m_dialogs->saveAnswers.push_back(csv);
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        const std::string bill = ReadFileBytes(csv);
        for (const std::string expected : {"ZB-E08,8 槽扩展基板,1,560.00,560.00", "ZX-IF01,扩展接口模块，装在扩展基板的接口位,1,",
                                           "ZX-CC40,40 针连接器电缆 1.0 m，连接器型模块用,2,165.00,330.00\r\n",
                                           "\r\n主基板,ZB-B06,ZP-P30,4,6,", "\r\n扩展基板 1,ZB-E08,ZP-P15,6,8,",
                                           "\r\n预留余量,槽位 20%\r\n"})
            QVERIFY2(bill.find(expected) != std::string::npos, (expected + " missing in: " + bill).c_str());

        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(682, 488));  // the main rack's first slot
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(841, 450));  // 移到…
        QTest::mouseClick(MovieInput(), Qt::LeftButton, {}, QPoint(584, 260));  // 扩展基板 1
        // A change records the catalogue edition in use (a version 4 line).
        const std::string pinned = "TZSEL/4\nmode=io\nedition=2026.2" + need.substr(15) + "\norder=ZX-DI16:1@1,ZX-DI16:7,ZX-DO32T:2";
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), pinned, 10000);
        SaveAs(FilePath("pinned.zsr"));
        QCOMPARE(Decode(FilePath("pinned.zsr")), pinned);
        // The bill names the pinned module and its slot on the rack it is pinned to.
        m_dialogs->saveAnswers.push_back(csv);
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        const std::string pinnedBill = ReadFileBytes(csv);
        const std::size_t rack = pinnedBill.find("\r\n扩展基板 1,") + 2;
        const std::string rackRow = pinnedBill.substr(rack, pinnedBill.find("\r\n", rack) - rack);
        QVERIFY2(pinnedBill.find(",I/O点数,固定模块,导轨长度(mm),损耗(W)\r\n") != std::string::npos &&
                     rackRow.find(",ZX-DI16（槽位 1）,") != std::string::npos,
                 pinnedBill.c_str());
    }

    // A selection with an enclosure (TZSEL/5) opens as it was saved; its
    // exported bill gives each rack's rail length and loss, the enclosure's
    // heat and the warning of a rail longer than the enclosure is wide.
    void anEnclosureReachesTheExportedBill()
    {
        const std::string cabinet = "TZSEL/5\nmode=module\nedition=2026.2\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B12\n"
                                    "cabinet=400,2000,500,wall,steel,35,45\nqty=ZX-DI16:2";
        StartWithSelectionFile(FilePath("cabinet.zsr"), cabinet);
        QCOMPARE(MovieSelection(), cabinet);
        const std::string csv = FilePath("cabinet.csv");
        m_dialogs->saveAnswers.push_back(csv);
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        const std::string bill = ReadFileBytes(csv);
        for (const std::string expected : {"\r\n主基板,ZB-B12,ZP-P30,2,12,", ",456.5,21.9\r\n", "\r\n总损耗(W),21.9\r\n",
                                           "机柜,400×2000×500 mm，靠墙安装，钢板", "主基板导轨长 456.5 mm，超出机柜宽度 400 mm"})
            QVERIFY2(bill.find(expected) != std::string::npos, (expected + " missing in: " + bill).c_str());
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_end_to_end.moc"
