// The server update check: against a version server on 127.0.0.1 and file://
// addresses, with the window's message boxes, log records, the update's
// download and quit, quiet mode and the worker's time-out.
#include "HostTestSupport.h"
#include "LoopbackHttpServer.h"

#include "orvane/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>

using namespace std::chrono_literals;

namespace {

const std::string kDownloadUrl = "https://download.example.com/torvex-z/TorvexOrvane.msi";
const std::string kLatestText = "最新の選定システムを使用しています。";
const std::string kNoUpdateInfoText = "サーバに接続できないか、または、アップデート情報がありません。";
const std::string kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
const std::string kServerFailure = "XML情報取得（サーバ）に失敗しました。";

// The program folder's version file, naming the server to check.
std::string LocalVersionFile(const std::string& version, const std::string& versionCheckBase)
{
    return VersionFile{.version = version, .downloadUrl = kDownloadUrl, .versionCheckUrl = versionCheckBase}.Text();
}

void ForgetAddresses()
{
    g_strUrlDownload = "untouched download";
    g_strUrlVersionCheck = "untouched check";
}

// A window whose server offers an update (local 1.9, server 1.10), ready,
// with the quits it posts recorded.
struct UpdateOffered {
    LoopbackHttpServer server{VersionFile{.version = "1.10"}.Text()};
    HostHarness host;
    std::unique_ptr<COrvaneDlg> window = StartWithServer(host, server);
    QSignalSpy quit{window.get(), &COrvaneDlg::quitPosted};

    static std::unique_ptr<COrvaneDlg> StartWithServer(HostHarness& host, const LoopbackHttpServer& server)
    {
        host.WriteVersionFile(LocalVersionFile("1.9", server.Url("/")));
        return host.StartReady();
    }
};

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void windowMenuIssuesTheCheckWhileCommandsAreGrey();
    void versionsAreComparedLocalAgainstServer_data();
    void versionsAreComparedLocalAgainstServer();
    void updateQuestionAnsweredNoDoesNothing();
    void updateAcceptedOpensDownloadAndQuits();
    void updateAcceptedButSavePromptCancelledStays();
    void exceptionIsRecordedUnderTheCommandsLabel();
    void fileBaseAddressIsReadLikeAServer();
    void missingLocalFile();
    void unreachableServer();
    void hangingServerTimesOutAndItsWorkerNeverReachesTheLog();
    void quietModeShowsOnlyTheUpdateQuestion();
    void slowCheckShowsABusyNoticeAndGivenUpCheckNeverHoldsTheWindow();
    void fifoAsVersionFileNeitherFreezesNorHangs();
};

void UpdateCheckTest::windowMenuIssuesTheCheckWhileCommandsAreGrey()
{
    LoopbackHttpServer server(VersionFile{.version = "1.00"}.Text());
    HostHarness host;
    host.WriteVersionFile(LocalVersionFile("1.00", server.Url("/torvex-z/")));
    auto window = host.Start();  // the movie has not reported ready: document commands are grey
    auto* windowMenu = window->findChild<QMenu*>(QStringLiteral("windowMenu"));
    QVERIFY(windowMenu);
    QAction* item = windowMenu->actions().last();
    QCOMPARE(item->text(), QStringLiteral("Version Check"));
    QCOMPARE(item->data().toUInt(), 32785u);
    QVERIFY(!window->menuBar()->actions()[0]->isEnabled());
    QVERIFY(item->isEnabled());

    item->trigger();
    // Plain concatenation of the base and the file name.
    QCOMPARE(server.RequestedPaths(), std::vector<std::string>{"/torvex-z/z_ver.xml"});
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, kLatestText);
}

void UpdateCheckTest::versionsAreComparedLocalAgainstServer_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("newer");
    QTest::newRow("1.9 < 1.10") << "1.9" << "1.10" << true;
    QTest::newRow("1.10 > 1.9") << "1.10" << "1.9" << false;
    QTest::newRow("equal") << "2.01" << "2.01" << false;
    QTest::newRow("extra server component") << "1.0" << "1.0.1" << false;
    QTest::newRow("fewer server components") << "1.0" << "1" << false;
}

void UpdateCheckTest::versionsAreComparedLocalAgainstServer()
{
    QFETCH(QString, local);
    QFETCH(QString, server);
    QFETCH(bool, newer);
    LoopbackHttpServer versionServer(VersionFile{.version = server.toStdString()}.Text());
    HostHarness host;
    host.WriteVersionFile(LocalVersionFile(local.toStdString(), versionServer.Url("/")));
    auto window = host.StartReady();
    ForgetAddresses();
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const ShownBox& box = host.dialogs->boxes[0];
    QCOMPARE(box.caption, std::string("更新"));
    if (newer) {
        QCOMPARE(box.text, kUpdateQuestion);
        QVERIFY(box.buttons == MsgButtons::YesNo);
        QVERIFY(box.icon == MsgIcon::Exclamation);
    } else {
        QCOMPARE(box.text, kLatestText);
        QVERIFY(box.buttons == MsgButtons::Ok);
        QVERIFY(box.icon == MsgIcon::None);
    }
    QCOMPARE(g_strUrlDownload, kDownloadUrl);
    QCOMPARE(g_strUrlVersionCheck, versionServer.Url("/"));
    QVERIFY(ReadErrorLog().empty());
}

void UpdateCheckTest::updateQuestionAnsweredNoDoesNothing()
{
    UpdateOffered offered;
    auto& [server, host, window, quit] = offered;
    host.movie->saveText = "unsaved";
    host.dialogs->boxAnswers = {MsgResult::No};
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QVERIFY(host.movie->calledNames.empty());  // no exit check
    QVERIFY(host.dialogs->openedUrls.empty());
    QCOMPARE(quit.size(), 0);
}

void UpdateCheckTest::updateAcceptedOpensDownloadAndQuits()
{
    UpdateOffered offered;
    auto& [server, host, window, quit] = offered;
    host.dialogs->boxAnswers = {MsgResult::Yes};
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);  // nothing unsaved: no save prompt
    QCOMPARE(host.movie->calledNames, std::vector<std::string>{"zSave"});  // the exit check
    QCOMPARE(host.dialogs->openedUrls, std::vector<QUrl>{QUrl(QString::fromStdString(kDownloadUrl))});
    QCOMPARE(quit.size(), 1);
    QCOMPARE(quit[0][0].toInt(), 0);
}

void UpdateCheckTest::updateAcceptedButSavePromptCancelledStays()
{
    UpdateOffered offered;
    auto& [server, host, window, quit] = offered;
    host.movie->saveText = "unsaved";
    host.dialogs->boxAnswers = {MsgResult::Yes, MsgResult::Cancel};
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[1].caption, std::string("保存"));
    QVERIFY(host.dialogs->boxes[1].buttons == MsgButtons::YesNoCancel);
    QVERIFY(host.dialogs->openedUrls.empty());
    QCOMPARE(quit.size(), 0);
}

void UpdateCheckTest::exceptionIsRecordedUnderTheCommandsLabel()
{
    UpdateOffered offered;
    auto& [server, host, window, quit] = offered;
    host.movie->callError = "movie call failed";
    host.dialogs->boxAnswers = {MsgResult::Yes};
    RunUpdateCheck(*window);

    QCOMPARE(RecordLabels(), std::vector<std::string>{"COrvaneDlg::OnMenuSvrFileChk() / "
                                                      "COrvaneDlg::OnMenuSvrFileChk() / movie call failed"});
    // The selection could not be read: the user decides (here: stays).
    QCOMPARE(host.dialogs->boxes.size(), 3u);
    QCOMPARE(host.dialogs->boxes[1].text, std::string("不能继续处理。(#10001)"));
    QCOMPARE(host.dialogs->boxes[1].caption, std::string("错误"));
    QCOMPARE(host.dialogs->boxes[2].text, orvane::LoadResString(orvane::IDS_MOVIE_UNREADABLE));
    QVERIFY(host.dialogs->openedUrls.empty());
    QCOMPARE(quit.size(), 0);
}

void UpdateCheckTest::fileBaseAddressIsReadLikeAServer()
{
    HostHarness host;
    const std::string serverFolder = host.AppFile("server");
    QVERIFY(QDir().mkpath(QString::fromStdString(serverFolder)));
    std::ofstream(serverFolder + "/z_ver.xml", std::ios::binary) << VersionFile{.version = "1.10"}.Text();
    host.WriteVersionFile(LocalVersionFile("1.9", "file://" + serverFolder + "/"));
    auto window = host.StartReady();
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, kUpdateQuestion);
    QCOMPARE(g_strUrlVersionCheck, "file://" + serverFolder + "/");
}

void UpdateCheckTest::missingLocalFile()
{
    HostHarness host;
    auto window = host.StartReady();
    ForgetAddresses();
    QVERIFY(std::remove(host.AppFile("z_ver.xml").c_str()) == 0);
    RunUpdateCheck(*window);

    QCOMPARE(RecordLabels(),
             (std::vector<std::string>{
                 "_GetLocalVersionInf() / pDoc->load() / 不能继续处理。(#1005)",
                 "_SvrFileVersionCheck() / _GetLocalVersionInf() / (#1006)",
                 "_SvrFileChk() / _SvrFileVersionCheckThread() / " + kNoUpdateInfoText,
             }));
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const ShownBox& box = host.dialogs->boxes[0];
    QCOMPARE(box.text, kNoUpdateInfoText);
    QCOMPARE(box.caption, std::string("確認"));
    QVERIFY(box.buttons == MsgButtons::Ok);
    QVERIFY(box.icon == MsgIcon::Information);
    // The addresses are only taken from a local file that was read.
    QCOMPARE(g_strUrlDownload, std::string("untouched download"));
    QCOMPARE(g_strUrlVersionCheck, std::string("untouched check"));
}

void UpdateCheckTest::unreachableServer()
{
    HostHarness host;
    const std::string base = UnusedLoopbackUrl("/");
    host.WriteVersionFile(LocalVersionFile("1.9", base));
    auto window = host.StartReady();
    RunUpdateCheck(*window);

    QCOMPARE(RecordLabels(), (std::vector<std::string>{
                                 "_GetXmlInf() / pDoc->load() / (#1005)",
                                 "_SvrFileVersionCheck() / _GetXmlInf() / " + kServerFailure,
                                 "_SvrFileChk() / _SvrFileVersionCheckThread() / " + kNoUpdateInfoText,
                             }));
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("確認"));
    // Read from the local file before the server was asked.
    QCOMPARE(g_strUrlDownload, kDownloadUrl);
    QCOMPARE(g_strUrlVersionCheck, base);
}

void UpdateCheckTest::hangingServerTimesOutAndItsWorkerNeverReachesTheLog()
{
    LoopbackHttpServer server(VersionFile{.version = "1.9"}.Text());
    server.HoldRequests(true);
    HostHarness host;
    host.WriteVersionFile(LocalVersionFile("1.9", server.Url("/")));
    host.svrChkWaitLimit = 300ms;
    auto window = host.StartReady();
    ForgetAddresses();
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const ShownBox& box = host.dialogs->boxes[0];
    QCOMPARE(box.text, kNoUpdateInfoText);
    QCOMPARE(box.caption, std::string("更新"));
    QVERIFY(box.buttons == MsgButtons::Ok);
    QVERIFY(box.icon == MsgIcon::None);
    QCOMPARE(g_strUrlDownload, std::string("untouched download"));

    // Checks go on while the given-up worker winds down.
    server.HoldRequests(false);
    host.svrChkWaitLimit = 30s;
    window = host.StartReady();
    RunUpdateCheck(*window);
    QCOMPARE(host.dialogs->boxes.size(), 2u);
    QCOMPARE(host.dialogs->boxes[1].text, kLatestText);
    QCOMPARE(g_strUrlDownload, kDownloadUrl);

    // Once the given-up worker has ended, nothing it did has reached the log
    // or the addresses.
    ForgetAddresses();
    window.reset();
    QTRY_COMPARE(orvane::UpdateCheckWorker::Running(), 0);
    QVERIFY(ReadErrorLog().empty());
    QCOMPARE(g_strUrlDownload, std::string("untouched download"));
    QCOMPARE(g_strUrlVersionCheck, std::string("untouched check"));
}

void UpdateCheckTest::quietModeShowsOnlyTheUpdateQuestion()
{
    LoopbackHttpServer server(VersionFile{.version = "1.10"}.Text());
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);

    host.WriteVersionFile(LocalVersionFile("1.10", server.Url("/")));
    window->_SvrFileChk(true);  // latest
    host.WriteVersionFile(LocalVersionFile("1.9", UnusedLoopbackUrl("/")));
    window->_SvrFileChk(true);  // error: recorded, not shown
    QVERIFY(host.dialogs->boxes.empty());
    QCOMPARE(RecordLabels().size(), 3u);

    server.HoldRequests(true);
    host.WriteVersionFile(LocalVersionFile("1.9", server.Url("/")));
    host.svrChkWaitLimit = 300ms;
    auto hurried = host.StartReady();
    hurried->_SvrFileChk(true);  // time-out
    QVERIFY(host.dialogs->boxes.empty());

    server.HoldRequests(false);
    host.dialogs->boxAnswers = {MsgResult::Yes};
    window->_SvrFileChk(true);  // update: asked, then downloaded as in a normal check
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, kUpdateQuestion);
    QCOMPARE(host.dialogs->openedUrls, std::vector<QUrl>{QUrl(QString::fromStdString(kDownloadUrl))});
    QCOMPARE(quit.size(), 1);
}

void UpdateCheckTest::slowCheckShowsABusyNoticeAndGivenUpCheckNeverHoldsTheWindow()
{
    // A check that ignores the request to stop, as one stuck in a hung
    // network mount would, until the test releases it.
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    HostHarness host;
    host.svrChkProcedure = [released](orvane::UpdateCheckWork& work, std::stop_token) {
        released.wait_for(60s);
        work.nResult = SVRCHK_LATEST;
    };
    host.svrChkWaitLimit = 1500ms;
    auto window = host.StartReady();

    QString noticeText;
    bool busyCursor = false;
    QTimer::singleShot(800ms, [&] {
        if (auto* notice = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
            noticeText = notice->labelText();
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    RunUpdateCheck(*window);
    QCOMPARE(noticeText, QStringLiteral("正在检查更新…"));
    QVERIFY(busyCursor);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(host.dialogs->boxes.back().text, kNoUpdateInfoText);

    // The window goes without waiting for the check it gave up.
    window.reset();
    QCOMPARE(orvane::UpdateCheckWorker::Running(), 1);
    release->set_value();
    QTRY_COMPARE(orvane::UpdateCheckWorker::Running(), 0);
}

void UpdateCheckTest::fifoAsVersionFileNeitherFreezesNorHangs()
{
    HostHarness host;
    const std::string versionFile = host.AppFile("z_ver.xml");
    std::remove(versionFile.c_str());
    QCOMPARE(::mkfifo(versionFile.c_str(), 0600), 0);  // nobody ever writes to it

    auto window = host.StartReady();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, orvane::MakeErrorText("(#1006)"));
    RunUpdateCheck(*window);
    QCOMPARE(host.dialogs->boxes.back().text, kNoUpdateInfoText);
    window.reset();
    QCOMPARE(orvane::UpdateCheckWorker::Running(), 0);
}

QTEST_MAIN(UpdateCheckTest)
#include "test_host_update_check.moc"
