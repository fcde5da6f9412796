// The update check against nginx serving the version file as the publisher's
// guide configures it (docs/nginx-updates.conf), over HTTP and HTTPS with a
// test authority the program trusts through ORVANE_CA_FILE; the accepted
// update handed to the desktop's opener (a stand-in xdg-open on PATH) through
// the real dialogs.
#include "HostTestSupport.h"
#include "NginxServer.h"
#include "dialogs/QtUserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

const std::string kLatestText = "最新の選定システムを使用しています。";
const std::string kNoUpdateInfoText = "サーバに接続できないか、または、アップデート情報がありません。";
const std::string kUpdateQuestion = "更新ファイルが存在します。\n更新しますか？";
const std::string kLocalVersion = "1.9";

enum class Outcome { Latest, Update, Refused };

void WriteFile(const QString& path, const std::string& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

}  // namespace

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(std::string)

class UpdateServerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void versionFileFromTheServer_data();
    void versionFileFromTheServer();
    void certificateRefused_data();
    void certificateRefused();
    void acceptedUpdateOpensTheDownloadThroughTheDesktopOpener();

private:
    std::string DownloadUrl() const { return m_trusted.HttpsUrl("/torvex-z/TorvexOrvane.msi"); }
    std::string LocalVersionFile(const std::string& versionCheckBase, const std::string& download) const
    {
        return VersionFile{.version = kLocalVersion, .downloadUrl = download, .versionCheckUrl = versionCheckBase}
            .Text();
    }

    QTemporaryDir m_folder;
    std::unique_ptr<NginxServer> m_nginx;
    NginxServer::Site m_trusted;
    NginxServer::Site m_otherName;
    NginxServer::Site m_expired;
};

void UpdateServerTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QString www = m_folder.filePath("www");
    WriteFile(www + "/torvex-z/same/z_ver.xml", VersionFile{.version = kLocalVersion}.Text());
    WriteFile(www + "/torvex-z/newer/z_ver.xml", VersionFile{.version = "1.10"}.Text());
    WriteFile(www + "/torvex-z/older/z_ver.xml", VersionFile{.version = "1.8"}.Text());
    // Outside the update folder nginx's default type applies.
    WriteFile(www + "/other/z_ver.xml", VersionFile{.version = "1.10"}.Text());
    try {
        QVERIFY(QDir().mkpath(m_folder.filePath("ca")));
        const TestAuthority authority(m_folder.filePath("ca"));
        const QStringList current{"-days", "30"};
        m_nginx = std::make_unique<NginxServer>(m_folder.filePath("nginx"), www);
        m_trusted = m_nginx->AddSite("trusted", authority.Issue("localhost", "IP:127.0.0.1,DNS:localhost", current));
        m_otherName = m_nginx->AddSite(
            "other-name", authority.Issue("updates.example.com", "DNS:updates.example.com", current));
        m_expired = m_nginx->AddSite(
            "expired", authority.Issue("expired", "IP:127.0.0.1,DNS:localhost",
                                       {"-startdate", "20200101000000Z", "-enddate", "20200102000000Z"}));
        m_nginx->Start();
        qputenv("ORVANE_CA_FILE", authority.CaFile().toUtf8());
    } catch (const std::runtime_error& error) {
        QFAIL(error.what());
    }
}

void UpdateServerTest::versionFileFromTheServer_data()
{
    QTest::addColumn<std::string>("base");
    QTest::addColumn<Outcome>("outcome");
    for (const bool https : {false, true}) {
        const char* scheme = https ? "https " : "http ";
        const auto url = [&](std::string_view path) {
            return https ? m_trusted.HttpsUrl(path) : m_trusted.HttpUrl(path);
        };
        QTest::addRow("%ssame version", scheme) << url("/torvex-z/same/") << Outcome::Latest;
        QTest::addRow("%snewer version", scheme) << url("/torvex-z/newer/") << Outcome::Update;
        QTest::addRow("%solder version", scheme) << url("/torvex-z/older/") << Outcome::Latest;
        QTest::addRow("%s404", scheme) << url("/torvex-z/absent/") << Outcome::Refused;
    }
    // application/octet-stream: the program reads the bytes whatever their type.
    QTest::newRow("wrong content type") << m_trusted.HttpUrl("/other/") << Outcome::Update;
    // The guide's /updates/ is only a redirect to /torvex-z/ over HTTPS.
    QTest::newRow("redirect from http to https") << m_trusted.HttpUrl("/updates/newer/") << Outcome::Update;
}

void UpdateServerTest::versionFileFromTheServer()
{
    QFETCH(std::string, base);
    QFETCH(Outcome, outcome);
    HostHarness host;
    host.WriteVersionFile(LocalVersionFile(base, DownloadUrl()));
    auto window = host.StartReady();
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const std::string& shown = host.dialogs->boxes[0].text;
    switch (outcome) {
    case Outcome::Latest:
        QCOMPARE(shown, kLatestText);
        QVERIFY(ReadErrorLog().empty());
        break;
    case Outcome::Update:
        QCOMPARE(shown, kUpdateQuestion);
        QVERIFY(ReadErrorLog().empty());
        break;
    case Outcome::Refused:
        QCOMPARE(shown, kNoUpdateInfoText);
        QCOMPARE(RecordLabels().size(), 3u);
        QCOMPARE(RecordLabels()[0], std::string("_GetXmlInf() / pDoc->load() / (#1005)"));
        break;
    }
}

void UpdateServerTest::certificateRefused_data()
{
    QTest::addColumn<std::string>("base");
    QTest::newRow("certificate for another name") << m_otherName.HttpsUrl("/torvex-z/newer/");
    QTest::newRow("expired certificate") << m_expired.HttpsUrl("/torvex-z/newer/");
}

void UpdateServerTest::certificateRefused()
{
    QFETCH(std::string, base);
    HostHarness host;
    host.WriteVersionFile(LocalVersionFile(base, DownloadUrl()));
    auto window = host.StartReady();
    RunUpdateCheck(*window);

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, kNoUpdateInfoText);
    QCOMPARE(RecordLabels(), (std::vector<std::string>{
                                 "_GetXmlInf() / pDoc->load() / (#1005)",
                                 "_SvrFileVersionCheck() / _GetXmlInf() / XML情報取得（サーバ）に失敗しました。",
                                 "_SvrFileChk() / _SvrFileVersionCheckThread() / " + kNoUpdateInfoText,
                             }));
}

void UpdateServerTest::acceptedUpdateOpensTheDownloadThroughTheDesktopOpener()
{
    // xdg-open as the desktop finds it on PATH, writing down what it was given.
    const QString opened = m_folder.filePath("opened.txt");
    const QString opener = m_folder.filePath("bin/xdg-open");
    WriteFile(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + opened.toStdString() + ".part'\nmv '"
                          + opened.toStdString() + ".part' '" + opened.toStdString() + "'\n");
    QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", m_folder.filePath("bin").toUtf8() + ":" + qgetenv("PATH"));

    HostHarness host;
    host.WriteVersionFile(LocalVersionFile(m_trusted.HttpsUrl("/torvex-z/newer/"), DownloadUrl()));
    COrvaneDlg::Environment environment{std::make_shared<orvane::QtUserDialogs>(), host.resources, {"orvane"},
                                        QString::fromStdString(host.AppFile("orvane")), host.recoveryFolder, {},
                                        std::chrono::seconds(30), host.catalogFolder};
    COrvaneDlg window(host.factory, std::move(environment));
    QVERIFY(window.Create());
    QVERIFY(window.OnInitDialog());
    window.show();
    host.movie->player->SendCall("zDataLoadEnd");
    host.movie->saveText = "unsaved";
    QSignalSpy quit(&window, &COrvaneDlg::quitPosted);

    // The user answers the update question Yes and the save prompt No.
    std::vector<QString> answered;  // caption and text of each box
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        answered.push_back(box->windowTitle() + ": " + box->text());
        const auto role = answered.size() == 1 ? QMessageBox::YesRole : QMessageBox::NoRole;
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == role)
                return button->click();
        }
        box->done(0);  // any other box: closed, so that the test goes on to fail
    });
    answer.start(50);
    RunUpdateCheck(window);
    answer.stop();

    QCOMPARE(answered.size(), 2u);
    QCOMPARE(answered[0].toStdString(), "更新: " + kUpdateQuestion);
    QVERIFY(answered[1].startsWith(QStringLiteral("保存: ")));
    QCOMPARE(quit.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(opened), 10000);
    QFile record(opened);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll().trimmed().toStdString(), DownloadUrl());
}

QTEST_MAIN(UpdateServerTest)
#include "test_update_server.moc"
