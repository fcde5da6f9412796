// The export room: the movie's bill written as AutomationML for engineering
// tools, CAEX 2.15 or 3.0 as the file type chosen, on a stand-in for the window.
#include "export/AmlExport.h"

#include "FileBytes.h"
#include "ScriptedUserDialogs.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const std::string kMovieBom =
    "TZBOM/2\nproject\tname\t二号线\n"
    "line\t1\tTZ-C0220-00\tZC-220\t高性能\t1\t\t\nline\t2\tTZ-D1016-00\tZX-DI16\t16 点输入\t2\t\t\n"
    "line\t3\tTZ-P0030-00\tZP-P30\t电源\t1\t\t\nline\t4\tTZ-B0004-00\tZB-B04\t4 槽基板\t1\t\t\nsum\t5\t\n"
    "rack\t主基板\tZB-B04\tZP-P30\t2\t4\t0\t0\t0\t0\t32\nslots\tZX-DI16\t\tZX-DI16\t\n"
    "overall\t2\t4\t0\t0\t0\t0\t32\t1024\t1\t4";

struct ExportRoom {
    QTemporaryDir folder;
    QWidget owner;
    ScriptedUserDialogs dialogs;
    std::string bill = kMovieBom;
    std::string catalog = ReadFileBytes(ORVANE_SHIPPED_CATALOG);
    std::vector<std::string> errors;
    orvane::AmlExportCommand command{{&owner, &dialogs, [] { return std::string("/work/线路 A.zsr"); },
                                      [this] { return std::optional(bill); }, [this] { return catalog; },
                                      [this](const std::string& text) { errors.push_back(text); }}};

    std::string File(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }
};

}  // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void theChosenFileTypeGivesTheCaexVersion();
    void nothingIsWrittenWithoutABillACatalogueOrAFolder();
    void anItemTheCatalogueLacksIsNamedAsLeftOut();
};

void ExportTest::theChosenFileTypeGivesTheCaexVersion()
{
    ExportRoom room;
    room.dialogs.saveAnswers = {room.File("a.aml"), room.File("b.aml")};
    room.dialogs.saveTypeAnswers = {0, 1};
    QVERIFY(room.command.Export());
    QVERIFY(room.command.Export());
    QCOMPARE(room.dialogs.saveRequests[0].initialName, std::string("线路 A.aml"));
    QCOMPARE(room.dialogs.saveRequests[0].defaultSuffix, std::string("aml"));
    QCOMPARE(room.errors.size(), 0u);
    const std::string first = ReadFileBytes(room.File("a.aml")), second = ReadFileBytes(room.File("b.aml"));
    QVERIFY(first.find("SchemaVersion=\"2.15\"") != std::string::npos);
    QVERIFY(second.find("SchemaVersion=\"3.0\"") != std::string::npos);
    // The module in slot 3 with its order number and the 16 inputs the catalogue gives it.
    for (const std::string& document : {first, second}) {
        QVERIFY(document.find("Name=\"ZX-DI16_3\"") != std::string::npos);
        QVERIFY(document.find("<Value>OrderNumber:TZ-D1016-00</Value>") != std::string::npos);
        QVERIFY(document.find("Name=\"Channel_DI_15\"") != std::string::npos);
        QVERIFY(document.find("Name=\"Channel_DI_16\"") == std::string::npos);
    }
}

void ExportTest::nothingIsWrittenWithoutABillACatalogueOrAFolder()
{
    ExportRoom empty;
    empty.bill.clear();
    QVERIFY(!empty.command.Export());
    QCOMPARE(empty.dialogs.boxes.size(), 1u);  // nothing to save
    QCOMPARE(empty.dialogs.saveRequests.size(), 0u);

    ExportRoom unusable;
    unusable.bill = "TZBOM/2\nline";
    QVERIFY(!unusable.command.Export());
    QCOMPARE(unusable.errors, std::vector<std::string>{"(#1007)"});

    ExportRoom noCatalogue;
    noCatalogue.catalog.clear();
    noCatalogue.dialogs.saveAnswers = {noCatalogue.File("a.aml")};
    QVERIFY(!noCatalogue.command.Export());
    QCOMPARE(noCatalogue.errors.size(), 1u);
    QVERIFY(noCatalogue.errors[0].starts_with("不能读取产品目录"));
    QVERIFY(!QFile::exists(QString::fromStdString(noCatalogue.File("a.aml"))));

    ExportRoom noFolder;
    noFolder.dialogs.saveAnswers = {noFolder.File("missing-folder/a.aml")};
    QVERIFY(!noFolder.command.Export());
    QCOMPARE(noFolder.errors.size(), 1u);
    QVERIFY(noFolder.errors[0].starts_with("不能继续处理。(#2001)\n"));
}

void ExportTest::anItemTheCatalogueLacksIsNamedAsLeftOut()
{
    ExportRoom room;
    room.bill.replace(0, 7, "TZBOM/4");
    room.bill.insert(room.bill.find("\nsum"), "\nline\t5\t\tZX-DI32B\t\t2\t\t\nunknown\t5");
    room.dialogs.saveAnswers = {room.File("a.aml")};
    QVERIFY(room.command.Export());
    QVERIFY(QFile::exists(QString::fromStdString(room.File("a.aml"))));
    QCOMPARE(room.dialogs.boxes.size(), 1u);
    QVERIFY(room.dialogs.boxes[0].text.find("未写入文件：ZX-DI32B ×2") != std::string::npos);
    QVERIFY(ReadFileBytes(room.File("a.aml")).find("ZX-DI32B") == std::string::npos);
}

QTEST_MAIN(ExportTest)
#include "test_export.moc"
