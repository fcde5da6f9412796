// Catalogue updates through the window's 帮助 menu, against nginx serving
// them as the publisher's guide configures it (docs/nginx-updates.conf) over
// HTTPS: the publisher's newer catalogue is installed, summarised and served
// to the movie from its next load on; every other one is refused with its
// reason and changes nothing.
#include "FileBytes.h"
#include "HostTestSupport.h"
#include "NginxServer.h"

#include "orvane/CatalogSignature.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const std::string kShipped = ReadFileBytes(ORVANE_SHIPPED_CATALOG);

// What the movie is served as its catalogue.
std::optional<QByteArray> Served(const std::string& bytes) { return QByteArray::fromStdString(bytes); }

// The shipped catalogue as another edition, with a module more and ZX-DI16 dearer.
std::string Edition(const std::string& edition, std::size_t padding = 0)
{
    std::string text = WithEdition(kShipped, edition);
    text.replace(text.find("price=\"680.00\" desc=\"16 点"), 14, "price=\"720.00\"");
    text.insert(text.rfind("</catalog>"),
                "  <item kind=\"di\" code=\"ZX-DI16N\" order=\"TZ-D1017-00\" price=\"760.00\" desc=\"16 点新型输入\" di=\"16\" i5v=\"55\"/>\n"
                "  <!--" + std::string(padding, 'x') + "-->\n");
    return text;
}

}  // namespace

class CatalogUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void publishersNewerCatalogueIsInstalledAndTold();
    void everyOtherCatalogueIsRefusedAndChangesNothing_data();
    void everyOtherCatalogueIsRefusedAndChangesNothing();

private:
    // A window whose version file names the server folder /torvex-z/<folder>/.
    std::unique_ptr<COrvaneDlg> Start(HostHarness& host, const char* folder)
    {
        host.WriteVersionFile(VersionFile{.catalogUpdateUrl = m_site.HttpsUrl("/torvex-z/" + std::string(folder) + "/")}.Text());
        WriteFileBytes(host.AppFile("orvane_catalog.xml"), kShipped);
        WriteFileBytes(host.AppFile("catalog-keys/publisher.pem"), m_key.publicPem);
        return host.StartReady();
    }
    void Publish(const char* folder, const std::string& catalogue, const std::optional<std::string>& signature)
    {
        const QString base = m_www.filePath(QStringLiteral("torvex-z/%1/").arg(QLatin1String(folder)));
        WriteFileBytes((base + QStringLiteral("orvane_catalog.xml")).toStdString(), catalogue);
        if (signature)
            WriteFileBytes((base + QStringLiteral("orvane_catalog.xml.sig")).toStdString(), *signature);
    }

    QTemporaryDir m_folder;
    QDir m_www;
    orvane::CatalogKeyPair m_key;
    std::unique_ptr<NginxServer> m_nginx;
    NginxServer::Site m_site;
};

void CatalogUpdateTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    m_www = QDir(m_folder.filePath(QStringLiteral("www")));
    const auto key = orvane::MakeCatalogKeyPair(), otherKey = orvane::MakeCatalogKeyPair();
    QVERIFY(key && otherKey);
    m_key = *key;
    const auto sign = [](const std::string& privatePem, const std::string& bytes) { return *orvane::SignCatalog(privatePem, bytes); };
    const std::string newer = Edition("2099.1");
    Publish("newer", newer, sign(m_key.privatePem, newer));
    std::string damaged = sign(m_key.privatePem, newer);
    damaged[3] = damaged[3] == 'A' ? 'B' : 'A';
    Publish("bad-signature", newer, damaged);
    Publish("other-key", newer, sign(otherKey->privatePem, newer));
    Publish("unsigned", newer, std::nullopt);
    const std::string older = Edition("2025.9");
    Publish("older", older, sign(m_key.privatePem, older));
    const std::string huge = Edition("2099.2", 1100 * 1024);
    Publish("oversized", huge, sign(m_key.privatePem, huge));
    try {
        QVERIFY(QDir().mkpath(m_folder.filePath("ca")));
        const TestAuthority authority(m_folder.filePath("ca"));
        m_nginx = std::make_unique<NginxServer>(m_folder.filePath("nginx"), m_www.path());
        m_site = m_nginx->AddSite("site", authority.Issue("localhost", "IP:127.0.0.1,DNS:localhost", {"-days", "30"}),
                                  "    location /torvex-z/moved-to-ftp/ { return 302 ftp://127.0.0.1/orvane_catalog.xml; }\n");
        m_nginx->Start();
        qputenv("ORVANE_CA_FILE", authority.CaFile().toUtf8());
    } catch (const std::runtime_error& error) {
        QFAIL(error.what());
    }
}

void CatalogUpdateTest::publishersNewerCatalogueIsInstalledAndTold()
{
    HostHarness host;
    auto window = Start(host, "newer");
    QString summary, list;
    host.dialogs->onModal = [&](QDialog& dialog) {
        summary = dialog.findChild<QLabel*>(QStringLiteral("summary"))->text();
        list = dialog.findChild<QPlainTextEdit*>(QStringLiteral("changeList"))->toPlainText();
    };
    FindCommand(*window, ID_MENU_CATALOG_UPDATE)->trigger();

    QCOMPARE(host.dialogs->modalDialogs, std::vector<std::string>{"orvane::CatalogSummaryDialog"});
    for (const char* expected : {"2099.1", "新增 1", "ZX-DI16", "下次启动"})
        QVERIFY2(summary.contains(QString::fromUtf8(expected)), qPrintable(summary));
    QVERIFY2(list.contains(QStringLiteral("ZX-DI16N")), qPrintable(list));
    const std::string installed = host.catalogFolder + "catalog/orvane_catalog.xml";
    QCOMPARE(ReadFileBytes(installed), Edition("2099.1"));
    QCOMPARE(host.movie->servedInPlace.back(), std::make_pair(QStringLiteral("orvane_catalog.xml"), Served(Edition("2099.1"))));

    // The next start serves it from the first load on; going back to the shipped one removes it.
    auto next = host.StartReady();
    QCOMPARE(host.movie->servedInPlace.back().second, Served(Edition("2099.1")));
    FindCommand(*next, ID_MENU_CATALOG_RESTORE)->trigger();
    QVERIFY(!QFile::exists(QString::fromStdString(installed)));
    QCOMPARE(host.movie->servedInPlace.back().second, Served(kShipped));
}

void CatalogUpdateTest::everyOtherCatalogueIsRefusedAndChangesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("bad signature") << "bad-signature" << "签名";
    QTest::newRow("another key") << "other-key" << "其他密钥";
    QTest::newRow("unsigned") << "unsigned" << "没有签名";
    QTest::newRow("older edition") << "older" << "不比";
    QTest::newRow("oversized") << "oversized" << "1 MiB";
    QTest::newRow("no catalogue there") << "absent" << "无法连接";
    QTest::newRow("redirect to ftp") << "moved-to-ftp" << "HTTP 和 HTTPS 以外";
}

void CatalogUpdateTest::everyOtherCatalogueIsRefusedAndChangesNothing()
{
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    HostHarness host;
    auto window = Start(host, folder.toUtf8().constData());
    FindCommand(*window, ID_MENU_CATALOG_UPDATE)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    const QString shown = QString::fromStdString(host.dialogs->boxes[0].text);
    QVERIFY2(shown.contains(reason) && shown.endsWith(QStringLiteral("正在使用的产品目录保持不变。")), qPrintable(shown));
    QVERIFY(!QFile::exists(QString::fromStdString(host.catalogFolder)));
    QCOMPARE(host.movie->servedInPlace.size(), 1u);  // the shipped catalogue, from the start
    QCOMPARE(host.movie->servedInPlace.back().second, Served(kShipped));
    QCOMPARE(RecordLabels().size(), 1u);
}

QTEST_MAIN(CatalogUpdateTest)
#include "test_catalog_update.moc"
