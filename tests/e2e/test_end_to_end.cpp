// End to end: COrvaneDlg with the Ruffle player and orvane.swf from the
// program folder. Boxes and file dialogs are answered by the test; the movie
// is driven through its own calls and with real mouse clicks.

#include "HostTestSupport.h"
#include "RufflePlayerFactory.h"
#include "ShockwaveFlash.h"

#include "orvane/ExternalValue.h"
#include "orvane/InvokeMessage.h"
#include "orvane/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <fstream>
#include <iterator>

#include <csignal>

namespace {

constexpr int kReadyTimeoutMs = 60000;

// A selection as the movie writes it: module mode, CPU, power supply, base
// and hand-set module quantities.
const std::string kSelection =
    "TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-DI16:3\nqty=ZX-EN01:1";

std::string Decode(const std::string& path, int* exitCode = nullptr)
{
    QProcess zsr;
    zsr.start(QStringLiteral(ZSR_TOOL), {QStringLiteral("decode"), QString::fromStdString(path)});
    zsr.waitForFinished(30000);
    if (exitCode)
        *exitCode = zsr.exitCode();
    return zsr.readAllStandardOutput().toStdString();
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    std::shared_ptr<ScriptedUserDialogs> m_dialogs;
    std::unique_ptr<COrvaneDlg> m_window;

    std::string FilePath(const char* name) const { return m_files.filePath(QString::fromLatin1(name)).toStdString(); }

    void StartProgram(QStringList arguments)
    {
        m_dialogs = std::make_shared<ScriptedUserDialogs>();
        std::vector<std::string> commandLine;
        for (const QString& argument : arguments)
            commandLine.push_back(QFile::encodeName(argument).toStdString());
        COrvaneDlg::Environment environment{m_dialogs, std::make_shared<CWindowResources>(), std::move(commandLine),
                                            QStringLiteral(ORVANE_BIN_DIR "/orvane"),
                                            m_files.filePath(QStringLiteral("state")).toStdString(), {}};
        m_window = std::make_unique<COrvaneDlg>(RufflePlayerFactory(QStringLiteral(ORVANE_BIN_DIR)),
                                                std::move(environment));
        QVERIFY(m_window->Create());
        QVERIFY(m_window->OnInitDialog());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QAction* Command(unsigned id) const { return FindCommand(*m_window, id); }

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
        } catch (const CFlashCallError& error) {
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

    // The program started with path (holding kSelection) on its command line,
    // once the movie shows that file.
    void StartWithSelectionFile(const std::string& path)
    {
        QVERIFY(WriteSelectionFile(path, kSelection));
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

    void billOfMaterialsIsExportedAsCsv()
    {
        const std::string source = FilePath("line-3.zsr");
        StartWithSelectionFile(source);

        const std::string csv = FilePath("line-3.csv");
        m_dialogs->saveAnswers.push_back(csv);
        Command(ID_MENU_FILE_EXPORT_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        QCOMPARE(m_dialogs->saveRequests.back().initialName, std::string("line-3.csv"));
        QCOMPARE(ReadBytes(csv), std::string("\xEF\xBB\xBF"
                                             "型号,说明,数量,占用槽位,5V电流(mA),24V电流(mA)\r\n"
                                             "ZC-220,高性能，1024 点，以太网 2 口,1,0,520,0\r\n"
                                             "ZP-P30,交流输入，5V 3.0A，24V 0.6A,1,0,0,0\r\n"
                                             "ZB-B06,6 槽基板,1,0,55,0\r\n"
                                             "ZX-DI16,16 点 DC24V 输入，源型/漏型,3,3,180,0\r\n"
                                             "ZX-EN01,以太网通信模块，2 口，Modbus TCP,1,1,300,0\r\n"
                                             "合计,,,4,1055,0\r\n"
                                             "可用,基板槽位与电源容量,,6,3000,600\r\n"
                                             "I/O点数,CPU上限 1024,48,,,\r\n"));
    }

    void billOfMaterialsIsPrintedToPdf()
    {
        StartWithSelectionFile(FilePath("printed.zsr"));
        const std::string pdf = FilePath("printed.pdf");
        m_dialogs->printAnswers.push_back(pdf);
        Command(ID_MENU_FILE_PRINT_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        for (const QString& expected : {QStringLiteral("printed.zsr"), QStringLiteral("ZB-B06"),
                                        QStringLiteral("以太网通信模块"), QStringLiteral("1055")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in: ") + text));
    }

    void billOfMaterialsIsCopiedTabSeparated()
    {
        StartWithSelectionFile(FilePath("copied.zsr"));
        Command(ID_MENU_FILE_COPY_BOM)->trigger();
        QVERIFY(m_dialogs->boxes.empty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("型号\t说明\t数量\t占用槽位\t5V电流(mA)\t24V电流(mA)\n"
                                                                      "ZC-220\t高性能，1024 点，以太网 2 口\t1\t0\t520\t0\n"
                                                                      "ZP-P30\t交流输入，5V 3.0A，24V 0.6A\t1\t0\t0\t0\n"
                                                                      "ZB-B06\t6 槽基板\t1\t0\t55\t0\n"
                                                                      "ZX-DI16\t16 点 DC24V 输入，源型/漏型\t3\t3\t180\t0\n"
                                                                      "ZX-EN01\t以太网通信模块，2 口，Modbus TCP\t1\t1\t300\t0\n"
                                                                      "合计\t\t\t4\t1055\t0\n"
                                                                      "可用\t基板槽位与电源容量\t\t6\t3000\t600\n"
                                                                      "I/O点数\tCPU上限 1024\t48\t\t\t\n"));
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
        std::string bytes = ReadBytes(good);
        bytes.back() = static_cast<char>(bytes.back() ^ 0x01);
        WriteBytes(damaged, bytes);

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
        const std::string olderBytes = ReadBytes(older);

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
        QCOMPARE(ReadBytes(older), olderBytes);
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
    // quantity takes digits only; Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo and
    // redo, what was typed into a field as one step. Each change reaches the
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
        const std::string typed = cpu + "\nqty=ZX-DI16:12";
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), typed, 10000);
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
                                  joined({cpu, cpu + "\nqty=ZX-DI16:1", typed, stepped, typed, cpu, typed, stepped}), 10000);
        const std::string saved = FilePath("typed.zsr");
        SaveAs(saved);
        QCOMPARE(Decode(saved), stepped);
    }

    // The page's process is killed while the selection has unsaved changes:
    // the program says so, starts the player afresh and, asked, gives the
    // movie its selection back.
    void killedPlayerComesBackWithTheSelection()
    {
        StartProgram({QStringLiteral("orvane")});
        WaitUntilReady();
        ClickCpuUnit();
        const std::string changed = MovieSelection();
        m_window->_SaveRecoveryCopy();

        auto* view = Flash().findChild<QWebEngineView*>();
        m_dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
        QCOMPARE(::kill(view->page()->renderProcessPid(), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialogs->boxes.empty(), 10000);
        QCOMPARE(m_dialogs->boxes[0].text, orvane::LoadResString(orvane::IDS_PLAYER_STOPPED));
        WaitUntilReady();
        QTRY_COMPARE_WITH_TIMEOUT(MovieSelection(), changed, 20000);
        QCOMPARE(m_dialogs->boxes.size(), std::size_t(2));
        QCOMPARE(m_dialogs->boxes[1].text, orvane::LoadResString(orvane::IDS_RESTORE_AFTER_STOP));
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
