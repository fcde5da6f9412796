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

#include <QDir>
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

private:
    // The room with its served paths recorded; the program folder holds the
    // shipped catalogue, the publisher's key and a version file naming updateUrl.
    std::unique_ptr<orvane::CatalogCommands> Room(const std::string& updateUrl)
    {
        WriteFileBytes(Program("z_ver.xml"), VersionFile{.catalogUpdateUrl = updateUrl}.Text());
        auto room = std::make_unique<orvane::CatalogCommands>(
            orvane::CatalogCommands::Window{&m_owner, m_dialogs.get(), [this](const QString& path) { m_served.push_back(path); }},
            m_data.path().toStdString() + "/");
        room->ServeChosenCatalog(m_program.path().toStdString() + "/");
        return room;
    }
    std::string Program(const char* name) const { return m_program.filePath(QLatin1String(name)).toStdString(); }

    QTemporaryDir m_program, m_data;
    QWidget m_owner;
    std::unique_ptr<ScriptedUserDialogs> m_dialogs;
    std::vector<QString> m_served;
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
    QCOMPARE(m_served, std::vector<QString>{userCopy});
    room->RestoreShipped();
    QVERIFY(!QFile::exists(userCopy));
    QCOMPARE(m_served.back(), QString());
    room->RestoreShipped();  // nothing left to remove: the user is told so
    QCOMPARE(m_dialogs->boxes.size(), 2u);
    QVERIFY(m_dialogs->boxes[0].text.find("已恢复") != std::string::npos);
    QVERIFY(m_dialogs->boxes[1].text.find("已是") != std::string::npos);

    // A copy whose signature does not verify is never served.
    QVERIFY(InstallCatalogPair(newer + " ", *orvane::SignCatalog(m_key.privatePem, newer), m_data.path().toStdString() + "/"));
    m_served.clear();
    Room({});
    QVERIFY(m_served.empty());
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
    QVERIFY(m_served.empty());
    QVERIFY(QDir(m_data.path()).isEmpty());
}

QTEST_MAIN(CatalogRoomTest)
#include "test_catalog_room.moc"
