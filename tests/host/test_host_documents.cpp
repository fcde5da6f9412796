// The document commands against the scripted movie and real data files.
#include "HostTestSupport.h"
#include "dialogs/QtUserDialogs.h"

#include "orvane/DataFileFormat.h"
#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <fstream>

namespace {

const std::string kUntitledPrompt = "文件“无题.zsr”的内容已经改变。是否需要保存修改？";

}  // namespace

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void promptLooksAsItShould();
    void promptAnswers_data();
    void promptAnswers();
    void promptYesWhoseSaveDialogIsCancelledAbandons();
    void promptYesWhoseWriteFailsAbandonsButKeepsChosenPath();
    void emptyMovieTextNeverPrompts();
    void unusableReplies();
    void saveWithCurrentFileWritesWithoutDialog();
    void saveAsCancelledOrFailingKeepsPreviousFile();
    void damagedFileLeavesEverythingUntouched();
    void fileNamesAreBytesAndFailuresSayWhy();
    void emptyContentIsRefused();
    void everyMovieTextSurvivesSaveAndOpen();
};

void DocumentsTest::promptLooksAsItShould()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->saveText = "one";
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const ShownBox& untitled = host.dialogs->boxes[0];
    QCOMPARE(untitled.text, kUntitledPrompt);
    QCOMPARE(untitled.caption, std::string("保存"));
    QVERIFY(untitled.buttons == MsgButtons::YesNoCancel);
    QVERIFY(untitled.icon == MsgIcon::Exclamation);

    // Titled: the prompt names the current file.
    const std::string path = host.AppFile("named.zsr");
    host.dialogs->saveAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    host.movie->saveText = "two";
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QCOMPARE(host.dialogs->boxes.back().text, "文件“" + path + "”的内容已经改变。是否需要保存修改？");
}

void DocumentsTest::promptAnswers_data()
{
    QTest::addColumn<unsigned>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("proceeded");
    for (auto [name, id] : {std::pair{"new", ID_MENU_FILE_NEW}, std::pair{"open", ID_MENU_FILE_OPEN},
                            std::pair{"exit", ID_MENU_FILE_EXIT}}) {
        QTest::addRow("%s yes", name) << unsigned(id) << int(MsgResult::Yes) << true << true;
        QTest::addRow("%s no", name) << unsigned(id) << int(MsgResult::No) << false << true;
        QTest::addRow("%s cancel", name) << unsigned(id) << int(MsgResult::Cancel) << false << false;
    }
}

void DocumentsTest::promptAnswers()
{
    QFETCH(unsigned, command);
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, proceeded);
    HostHarness host;
    const std::string other = host.AppFile("other.zsr");
    QVERIFY(WriteSelectionFile(other, "other"));
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->saveText = "changed";
    const std::string target = host.AppFile("saved.zsr");
    host.dialogs->boxAnswers = {MsgResult(answer)};
    host.dialogs->saveAnswers = {target};
    host.dialogs->openAnswers = {other};

    FindCommand(*window, command)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(QFile::exists(QString::fromStdString(target)), saved);
    if (saved)
        QCOMPARE(ReadSelectionFile(target), std::string("changed"));
    bool didProceed = false;
    switch (command) {
    case ID_MENU_FILE_NEW:
        didProceed = host.movie->newOpens == 1;
        if (didProceed)
            QVERIFY(window->FilePath().empty() && window->SaveData().empty());
        break;
    case ID_MENU_FILE_OPEN:
        didProceed = host.movie->loads == std::vector<std::string>{"other"};
        break;
    default:
        didProceed = quit.size() == 1;
    }
    QCOMPARE(didProceed, proceeded);
    if (!proceeded) {
        QVERIFY(window->FilePath().empty());
        QVERIFY(window->SaveData().empty());
    }
}

void DocumentsTest::promptYesWhoseSaveDialogIsCancelledAbandons()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->saveText = "changed";
    host.dialogs->boxAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    ClickToolButton(*window, ID_TOOL_FILE_OPEN);
    window->close();
    QCOMPARE(host.dialogs->saveRequests.size(), 3u);
    const FileDialogRequest& request = host.dialogs->saveRequests[0];
    QCOMPARE(request.filter, orvane::LoadResString(orvane::IDS_SAVE_FILTER));
    QCOMPARE(request.initialName, std::string("无题.zsr"));
    QCOMPARE(request.defaultSuffix, std::string("zsr"));
    QCOMPARE(host.movie->newOpens, 0);
    QVERIFY(host.dialogs->openRequests.empty());
    QCOMPARE(quit.size(), 0);
}

void DocumentsTest::promptYesWhoseWriteFailsAbandonsButKeepsChosenPath()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->saveText = "changed";
    const std::string unwritable = host.AppFile("missing-folder/x.zsr");
    host.dialogs->boxAnswers = {MsgResult::Yes};
    host.dialogs->saveAnswers = {unwritable};
    ClickToolButton(*window, ID_TOOL_FILE_NEW);

    QCOMPARE(host.dialogs->boxes.size(), 2u);
    // The code alone; the system's reason is in the record.
    QCOMPARE(host.dialogs->boxes[1].text, std::string("不能继续处理。(#2001)"));
    QCOMPARE(host.dialogs->boxes[1].caption, std::string("错误"));
    QVERIFY(host.dialogs->boxes[1].icon == MsgIcon::Error);
    bool recorded = false;
    for (const LogRecord& record : ReadErrorLog())
        recorded |= record.operation == "COrvaneDlg::OnFSCommandSwf()" && record.step == "CryptUtil.CreateDataFile()"
                    && record.message == "不能继续处理。(#2001)" && record.systemError == ENOENT;
    QVERIFY(recorded);
    QCOMPARE(host.movie->newOpens, 0);
    QCOMPARE(window->FilePath(), unwritable);
    QVERIFY(window->SaveData().empty());
}

void DocumentsTest::emptyMovieTextNeverPrompts()
{
    HostHarness host;
    const std::string path = host.AppFile("loaded.zsr");
    QVERIFY(WriteSelectionFile(path, "loaded"));
    auto window = host.StartReady();
    host.dialogs->openAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QCOMPARE(window->SaveData(), std::string("loaded"));

    host.movie->saveText.clear();
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.movie->newOpens, 1);
    QVERIFY(host.dialogs->boxes.empty());

    // After Open, exit with exactly the loaded text asks nothing either.
    host.dialogs->openAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    host.movie->saveText = "loaded";
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    window->close();
    QCOMPARE(quit.size(), 1);
    QVERIFY(host.dialogs->boxes.empty());
}

void DocumentsTest::unusableReplies()
{
    HostHarness host;
    auto window = host.StartReady();
    // An unreadable selection is not an empty one: the user decides.
    host.movie->saveReply = "";
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("(#1005)"));
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QCOMPARE(host.dialogs->boxes[1].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QVERIFY(host.dialogs->boxes[1].buttons == MsgButtons::YesNo);
    QCOMPARE(host.movie->newOpens, 0);
    host.dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.movie->newOpens, 1);

    // Save never writes an unreadable selection.
    host.dialogs->boxes.clear();
    host.movie->saveReply = "<null/>";
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("(#1007)"));
    QCOMPARE(host.dialogs->boxes[1].text, std::string("没有数据保存。"));
    QCOMPARE(host.dialogs->boxes[1].caption, std::string("保存"));
    QVERIFY(host.dialogs->boxes[1].buttons == MsgButtons::Ok);
    QVERIFY(host.dialogs->boxes[1].icon == MsgIcon::None);

    host.movie->saveReply = "<string/>";
    ClickToolButton(*window, ID_TOOL_FILE_SAVEAS);
    QCOMPARE(host.dialogs->boxes.size(), 3u);
    QCOMPARE(host.dialogs->boxes[2].text, std::string("没有数据保存。"));
    QVERIFY(host.dialogs->saveRequests.empty());
    // An unusable reply is shown, never recorded; "nothing to save" is no failure.
    QVERIFY(RecordLabels().empty());

    // A player that cannot be reached at exit is reported, and the user
    // may still close the window.
    host.movie->callError = "no movie is playing";
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.dialogs->boxAnswers = {MsgResult::Ok, MsgResult::No, MsgResult::Ok, MsgResult::Yes};
    window->close();
    QTRY_COMPARE(host.dialogs->boxes.size(), 5u);
    QCOMPARE(host.dialogs->boxes[3].text, orvane::MakeErrorText("(#10001)"));
    QCOMPARE(host.dialogs->boxes[4].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QCOMPARE(quit.size(), 0);
    window->close();
    QTRY_COMPARE(quit.size(), 1);
}

void DocumentsTest::saveWithCurrentFileWritesWithoutDialog()
{
    HostHarness host;
    auto window = host.StartReady();
    const std::string path = host.AppFile("current.zsr");
    host.movie->saveText = "first";
    host.dialogs->saveAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(host.dialogs->saveRequests.size(), 1u);
    QCOMPARE(window->FilePath(), path);

    QFile::remove(QString::fromStdString(path));
    ClickToolButton(*window, ID_TOOL_FILE_SAVE);  // unchanged, written again
    QCOMPARE(ReadSelectionFile(path), std::string("first"));
    host.movie->saveText = "second";
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(ReadSelectionFile(path), std::string("second"));
    QCOMPARE(window->SaveData(), std::string("second"));
    QCOMPARE(host.dialogs->saveRequests.size(), 1u);
    QVERIFY(host.dialogs->boxes.empty());
}

void DocumentsTest::saveAsCancelledOrFailingKeepsPreviousFile()
{
    HostHarness host;
    auto window = host.StartReady();
    const std::string path = host.AppFile("previous.zsr");
    host.movie->saveText = "previous";
    // Untitled, a Save As that fails leaves the selection untitled.
    host.dialogs->saveAnswers = {host.AppFile("missing-folder/x.zsr")};
    FindCommand(*window, ID_MENU_FILE_SAVEAS)->trigger();
    QVERIFY(window->FilePath().empty());
    host.dialogs->boxes.clear();

    host.dialogs->saveAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();

    host.movie->saveText = "newer";
    host.dialogs->saveAnswers = {std::nullopt};
    FindCommand(*window, ID_MENU_FILE_SAVEAS)->trigger();
    QCOMPARE(window->FilePath(), path);
    QCOMPARE(window->SaveData(), std::string("previous"));

    const std::string folder = host.AppFile("a-folder.zsr");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    host.dialogs->saveAnswers = {folder};
    ClickToolButton(*window, ID_TOOL_FILE_SAVEAS);
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("不能继续处理。(#2001)"));
    QCOMPARE(window->FilePath(), path);
    QCOMPARE(window->SaveData(), std::string("previous"));
    QCOMPARE(ReadSelectionFile(path), std::string("previous"));

    // A failed save over an existing file that is left as it was.
    host.movie->saveText = std::string(orvane::kMaxDataFileTextBytes + 1, 'x');
    ClickToolButton(*window, ID_TOOL_FILE_SAVE);
    QCOMPARE(host.dialogs->boxes.back().text, std::string("不能继续处理。(#2001)"));
    QCOMPARE(ReadErrorLog().back().systemError, EFBIG);
    QCOMPARE(ReadSelectionFile(path), std::string("previous"));
}

void DocumentsTest::damagedFileLeavesEverythingUntouched()
{
    HostHarness host;
    const std::string good = host.AppFile("good.zsr");
    QVERIFY(WriteSelectionFile(good, "good"));
    const std::string damaged = host.AppFile("damaged.zsr");
    std::ofstream(damaged, std::ios::binary) << "this is not a data file at all, just some bytes";
    auto window = host.StartReady();
    host.dialogs->openAnswers = {good, damaged};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    host.movie->saveText = "good";
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, damaged + "\n该文件内容已损坏或失效。\r\n文件不能被使用。");
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QVERIFY(host.dialogs->boxes[0].icon == MsgIcon::Error);
    bool recorded = false;
    for (const LogRecord& record : ReadErrorLog())
        recorded |= record.operation == "COrvaneDlg::_FileOpen()" && record.step == "CryptUtil.ReadDataFile()"
                    && record.message == "復号化取得処理に失敗しました。";
    QVERIFY(recorded);
    QCOMPARE(window->FilePath(), good);
    QCOMPARE(window->SaveData(), std::string("good"));
    QCOMPARE(host.movie->loads.size(), 1u);
    QCOMPARE(host.dialogs->openRequests[0].filter, orvane::LoadResString(orvane::IDS_OPEN_FILTER));
}

void DocumentsTest::fileNamesAreBytesAndFailuresSayWhy()
{
    HostHarness host;
    // A name in a legacy code page: not UTF-8, still a good file.
    const std::string legacyName = host.AppFile("\xD1\xA1\xD0\xCD.zsr");
    QVERIFY(WriteSelectionFile(legacyName, "legacy name"));
    auto window = host.StartReady({"orvane", legacyName});
    QTRY_COMPARE(window->FilePath(), legacyName);
    QCOMPARE(host.movie->loads, std::vector<std::string>{"legacy name"});

    // The same file chosen in the program's real open dialog.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(QFile::decodeName(QByteArray::fromStdString(legacyName)));
        static_cast<QDialog*>(dialog)->accept();  // as its Open button does
    });
    QCOMPARE(orvane::QtUserDialogs().GetOpenFileName(nullptr, orvane::LoadResString(orvane::IDS_OPEN_FILTER)), legacyName);

    const std::string missing = host.AppFile("missing.zsr");
    host.dialogs->openAnswers = {missing};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QCOMPARE(host.dialogs->boxes.back().text,
             missing + "\n" + orvane::LoadResString(orvane::IDS_FILE_DAMAGED) + "\n文件或文件夹不存在。");
}

void DocumentsTest::emptyContentIsRefused()
{
    HostHarness host;
    const std::string empty = host.AppFile("empty.zsr");
    QVERIFY(WriteSelectionFile(empty, ""));
    const std::string zeroFirst = host.AppFile("zero.zsr");
    QVERIFY(WriteSelectionFile(zeroFirst, std::string("\0abc", 4)));
    auto window = host.StartReady();
    host.dialogs->openAnswers = {empty, zeroFirst};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, empty + "\n" + orvane::LoadResString(orvane::IDS_FILE_DAMAGED));
    int contentRecords = 0;
    for (const LogRecord& record : ReadErrorLog())
        contentRecords += record.operation == "COrvaneDlg::OnFSCommandSwf()" && record.step == "_FileOpen()";
    QCOMPARE(contentRecords, 2);
    QVERIFY(host.movie->loads.empty());
    QVERIFY(window->FilePath().empty());
}

void DocumentsTest::everyMovieTextSurvivesSaveAndOpen()
{
    HostHarness host;
    auto window = host.StartReady();
    // Everything an ExternalInterface reply can carry.
    const std::string text = "A&B <c> \"q\" 'a'\r\nline\ttab\x7f 选型 😀 \xef\xbf\xbd\r end\n";
    const std::string path = host.AppFile("round.zsr");
    host.movie->saveText = text;
    host.dialogs->saveAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(ReadSelectionFile(path), text);

    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    host.dialogs->openAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_OPEN)->trigger();
    QVERIFY(host.dialogs->boxes.empty());
    QCOMPARE(host.movie->loads, std::vector<std::string>{text});
    QCOMPARE(window->SaveData(), text);
    QCOMPARE(window->FilePath(), path);
}

QTEST_MAIN(DocumentsTest)
#include "test_host_documents.moc"
