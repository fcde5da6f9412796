// The document commands of the window reaching its document session
// (orvane::DocumentSession, whose rules tests/rooms/test_document.cpp tests):
// with the scripted movie's replies, real data files and the command line.
#include "HostTestSupport.h"
#include "dialogs/QtUserDialogs.h"

#include "orvane/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class DocumentsTest : public QObject {
    Q_OBJECT
private slots:
    void promptAnswers_data();
    void promptAnswers();
    void unusableRepliesAreShownBeforeTheSessionAsks();
    void fileNamesAreBytes();
};

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
}

void DocumentsTest::unusableRepliesAreShownBeforeTheSessionAsks()
{
    HostHarness host;
    auto window = host.StartReady();
    // The window reads the reply and shows its code; the session then asks.
    host.movie->saveReply = "";
    host.dialogs->boxAnswers = {MsgResult::Ok, MsgResult::Yes};
    FindCommand(*window, ID_MENU_FILE_NEW)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("(#1005)"));
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QCOMPARE(host.dialogs->boxes[1].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QCOMPARE(host.movie->newOpens, 1);

    host.movie->saveReply = "<null/>";
    FindCommand(*window, ID_MENU_FILE_SAVE)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 4u);
    QCOMPARE(host.dialogs->boxes[2].text, std::string("(#1007)"));
    QCOMPARE(host.dialogs->boxes[3].text, std::string("没有数据保存。"));
    // An unusable reply is shown, never recorded.
    QVERIFY(RecordLabels().empty());
}

void DocumentsTest::fileNamesAreBytes()
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
    const std::string filter = orvane::LoadResString(orvane::IDS_OPEN_FILTER);
    QCOMPARE(orvane::QtUserDialogs().GetOpenFileName(nullptr, filter), legacyName);
}

QTEST_MAIN(DocumentsTest)
#include "test_host_documents.moc"
