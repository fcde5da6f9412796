// The catalogue room: the catalogue the player is told to serve, going back
// to the shipped one, and a fetch the user gives up on while the server
// stays silent. Fetches that end (installed or refused) are tried through the
// whole window against nginx in tests/update/test_catalog_update.cpp.
#include "catalog/CatalogCommands.h"

#include "CatalogPair.h"
#include "FileBytes.h"
#include "LoopbackHttpServer.h"
#include "ScriptedUserDialogs.h"
#include "VersionFile.h"

#include "orvane/CatalogSignature.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class CatalogRoomTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void theUsersNewerCatalogueIsServedUntilTheShippedOneIsRestored();
    void aFetchTheUserCancelsChangesNothing();
    void aHostileCataloguesTextsAreShownAndCopiedSafely();

private:
    // The room with its served paths recorded; the program folder holds the
    // shipped catalogue, the publisher's key and a version file naming updateUrl.
    std::unique_ptr<orvane::CatalogCommands> Room(const std::string& updateUrl)
    {
        WriteFileBytes(Program("z_ver.xml"), VersionFile{.catalogUpdateUrl = updateUrl}.Text());
        auto room = std::make_unique<orvane::CatalogCommands>(
            orvane::CatalogCommands::Window{&m_owner, m_dialogs.get(), [this](const std::optional<std::string>& bytes) { m_served.push_back(bytes); }},
            m_data.path().toStdString() + "/");
        room->ServeChosenCatalog(m_program.path().toStdString() + "/");
        return room;
    }
    std::string Program(const char* name) const { return m_program.filePath(QLatin1String(name)).toStdString(); }

    QTemporaryDir m_program, m_data;
    QWidget m_owner;
    std::unique_ptr<ScriptedUserDialogs> m_dialogs;
    std::vector<std::optional<std::string>> m_served;  // the catalogues served to the movie
    orvane::CatalogKeyPair m_key;
};

void CatalogRoomTest::initTestCase()
{
    QVERIFY(m_program.isValid() && m_data.isValid());
    const auto key = orvane::MakeCatalogKeyPair();
    QVERIFY(key);
    m_key = *key;
    WriteFileBytes(Program("catalog-keys/publisher.pem"), m_key.publicPem);
    WriteFileBytes(Program("orvane_catalog.xml"), ReadFileBytes(ORVANE_SHIPPED_CATALOG));
}

void CatalogRoomTest::init()
{
    QVERIFY(QDir(m_data.path()).removeRecursively() && QDir().mkpath(m_data.path()));
    m_dialogs = std::make_unique<ScriptedUserDialogs>();
    m_served.clear();
}

void CatalogRoomTest::theUsersNewerCatalogueIsServedUntilTheShippedOneIsRestored()
{
    const std::string newer = WithEdition(ReadFileBytes(ORVANE_SHIPPED_CATALOG), "2099.1");
    QVERIFY(InstallCatalogPair(newer, *orvane::SignCatalog(m_key.privatePem, newer), m_data.path().toStdString() + "/"));
    const QString userCopy = m_data.filePath(QStringLiteral("catalog/orvane_catalog.xml"));

    auto room = Room({});
    QVERIFY(m_served == std::vector<std::optional<std::string>>{newer});
    room->RestoreShipped();
    QVERIFY(!QFile::exists(userCopy));
    QVERIFY(m_served.back() == ReadFileBytes(ORVANE_SHIPPED_CATALOG));
    room->RestoreShipped();  // nothing left to remove: the user is told so
    QCOMPARE(m_dialogs->boxes.size(), 2u);
    QVERIFY(m_dialogs->boxes[0].text.find("已恢复") != std::string::npos);
    QVERIFY(m_dialogs->boxes[1].text.find("已是") != std::string::npos);

    // A copy whose signature does not verify is never served, and the start says so once.
    QVERIFY(InstallCatalogPair(newer + " ", *orvane::SignCatalog(m_key.privatePem, newer), m_data.path().toStdString() + "/"));
    m_served.clear();
    Room({});
    QVERIFY(m_served == std::vector<std::optional<std::string>>{ReadFileBytes(ORVANE_SHIPPED_CATALOG)});
    QCOMPARE(m_dialogs->boxes.size(), 3u);
    const std::string& told = m_dialogs->boxes[2].text;
    for (const std::string& part : {m_data.path().toStdString(), std::string("签名"), std::string("随程序安装的产品目录")})
        QVERIFY2(told.find(part) != std::string::npos, told.c_str());
}

void CatalogRoomTest::aFetchTheUserCancelsChangesNothing()
{
    LoopbackHttpServer server(std::string{});
    server.HoldRequests(true);
    auto room = Room(server.Url("/torvex-z/"));
    // The window keeps answering while it waits: the progress dialog comes
    // up and its 取消 is pressed.
    bool cancelled = false;
    QTimer press;
    connect(&press, &QTimer::timeout, this, [&] {
        auto* progress = m_owner.findChild<QProgressDialog*>();
        if (progress && progress->isVisible() && server.RequestedPaths().size() == 1) {
            progress->findChild<QPushButton*>()->click();
            cancelled = true;
        }
    });
    press.start(20);
    room->Update();
    QVERIFY(cancelled);
    QVERIFY(m_dialogs->boxes.empty() && m_dialogs->modalDialogs.empty());
    QCOMPARE(m_served.size(), 1u);  // the shipped catalogue, at the start
    QVERIFY(QDir(m_data.path()).isEmpty());
}

void CatalogRoomTest::aHostileCataloguesTextsAreShownAndCopiedSafely()
{
    const char* const hostile[] = {"+cmd|' /C calc'!A0", "@SUM(1+1)", "-2+3", "\u202Eexe.txt", "a\u2066b\u2069c\u200F"};
    std::string catalogue = WithEdition(ReadFileBytes(ORVANE_SHIPPED_CATALOG), "2099.1");
    for (std::size_t i = 0; i < std::size(hostile); ++i)
        catalogue.insert(catalogue.rfind("</catalog>"), "<item kind=\"di\" code=\"ZX-H" + std::to_string(i) +
                                                            "\" di=\"16\" desc=\"" + hostile[i] + "\"/>\n");
    const std::string signature = *orvane::SignCatalog(m_key.privatePem, catalogue);
    LoopbackHttpServer server([&](const std::string& path, const LoopbackHttpServer::Connection& connection) {
        connection.Answer("200 OK", path.ends_with(".sig") ? signature : catalogue);
    });
    auto room = Room(server.Url("/torvex-z/"));
    QString shown;
    m_dialogs->onModal = [&](QDialog& dialog) {
        shown = dialog.findChild<QPlainTextEdit*>(QStringLiteral("changeList"))->toPlainText();
        dialog.findChild<QPushButton*>(QStringLiteral("copyList"))->click();
    };
    room->Update();
    const QString copied = QGuiApplication::clipboard()->text();

    for (const char16_t control : {u'\u202E', u'\u2066', u'\u2069', u'\u200F'})
        QVERIFY(!shown.contains(QChar(control)) && !copied.contains(QChar(control)));
    for (const QString& text : {shown, copied}) {
        QVERIFY2(text.contains(QStringLiteral("\t[U+202E]exe.txt")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("a[U+2066]b[U+2069]c[U+200F]")), qPrintable(text));
    }
    // Shown as they are; copied, what a spreadsheet would run is plain text.
    for (const char* text : {"+cmd|' /C calc'!A0", "@SUM(1+1)", "-2+3"}) {
        QVERIFY2(shown.contains(QStringLiteral("\t") + QString::fromUtf8(text)), qPrintable(shown));
        QVERIFY2(copied.contains(QStringLiteral("\t'") + QString::fromUtf8(text)), qPrintable(copied));
    }
}

QTEST_MAIN(CatalogRoomTest)
#include "test_catalog_room.moc"
