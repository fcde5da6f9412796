// The update room: the worker's comparison with the server's version file,
// the update files it finds, and the download address opened as given.
#include "update/UpdateCheck.h"

#include "ScriptedUserDialogs.h"
#include "VersionFile.h"

#include "orvane/VersionInf.h"

#include <QTemporaryDir>
#include <QTest>

#include <fstream>

class UpdateTest : public QObject {
    Q_OBJECT
private slots:
    void aNewerServerVersionListsTheUpdateFile();
    void downloadAddressIsOpenedAsTheVersionFileGivesIt();
};

void UpdateTest::aNewerServerVersionListsTheUpdateFile()
{
    const QTemporaryDir program, server;
    g_strAppPath = program.path().toStdString() + "/";
    const std::string serverUrl = "file://" + server.path().toStdString() + "/";
    std::ofstream(g_strAppPath + "z_ver.xml") << VersionFile{.version = "1.9", .versionCheckUrl = serverUrl}.Text();
    const auto check = [&](const char* serverVersion) {
        std::ofstream(server.filePath(QStringLiteral("z_ver.xml")).toStdString()) << VersionFile{.version = serverVersion}.Text();
        orvane::UpdateCheckWork work;
        work.nResult = orvane::CompareWithServer(work, {});
        return work;
    };
    const orvane::UpdateCheckWork newer = check("1.10");
    QCOMPARE(newer.nResult, int(SVRCHK_UPDATE));
    QCOMPARE(newer.pUpdateFiles, std::vector<std::string>{"TorvexOrvane.msi"});
    QCOMPARE(newer.strUrlVersionCheck, serverUrl);
    const orvane::UpdateCheckWork same = check("1.9");
    QCOMPARE(same.nResult, int(SVRCHK_LATEST));
    QVERIFY(same.pUpdateFiles.empty());

    QVERIFY(QFile::remove(server.filePath(QStringLiteral("z_ver.xml"))));
    orvane::UpdateCheckWork unreachable;
    QCOMPARE(orvane::CompareWithServer(unreachable, {}), int(SVRCHK_ERROR));
    QVERIFY(unreachable.localFileRead);  // the addresses were read all the same
}

void UpdateTest::downloadAddressIsOpenedAsTheVersionFileGivesIt()
{
    ScriptedUserDialogs dialogs;
    for (const char* address : {"https://example.com/TorvexOrvane.msi", "file:///opt/TorvexOrvane.msi",
                                "/opt/TorvexOrvane.msi", "smb://fileserver/TorvexOrvane.msi"})
        orvane::OpenDownloadAddress(dialogs, address);
    QCOMPARE(dialogs.openedUrls, (std::vector<QUrl>{QUrl("https://example.com/TorvexOrvane.msi"), QUrl("file:///opt/TorvexOrvane.msi"),
                                                    QUrl("file:///opt/TorvexOrvane.msi"), QUrl("smb://fileserver/TorvexOrvane.msi")}));
}

QTEST_MAIN(UpdateTest)
#include "test_update.moc"
