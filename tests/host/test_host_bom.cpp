// The bill of materials leaving the program: the movie's "zBom" written as
// CSV, put on the clipboard or printed (to PDF, read back with pdftotext).
#include "HostTestSupport.h"

#include "orvane/BillOfMaterials.h"

#include <QAction>
#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::string kMovieBom =
    "TZBOM/1\nitem\tZC-220\t高性能，1024 点\t1\t0\t520\t0\ntotal\t0\t520\t0\ncapacity\t0\t0\t0\nio\t0\t1024\n"
    "warning\t尚未选择电源";

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

QString PdfText(const std::string& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QString::fromStdString(path), QStringLiteral("-")});
    pdftotext.waitForFinished(30000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace

class BomTest : public QObject {
    Q_OBJECT
    static void EachCommand()
    {
        QTest::addColumn<unsigned>("id");
        QTest::newRow("export") << unsigned(ID_MENU_FILE_EXPORT_BOM);
        QTest::newRow("copy") << unsigned(ID_MENU_FILE_COPY_BOM);
        QTest::newRow("print") << unsigned(ID_MENU_FILE_PRINT_BOM);
    }

private slots:
    void exportSitsInTheFileMenuGreyUntilTheMovieIsReady();
    void exportReplacesTheChosenFileWithTheMoviesBill();
    void copyPutsTabSeparatedRowsOnTheClipboard();
    void printedPageShowsTitleFileDateTableAndWarnings();
    void failedPrintIsReported();
    void emptySelectionGetsTheSaveNoticeAndNoDialog_data() { EachCommand(); }
    void emptySelectionGetsTheSaveNoticeAndNoDialog();
    void unusableBillIsReportedAndNothingWritten_data() { EachCommand(); }
    void unusableBillIsReportedAndNothingWritten();
    void failedWriteIsReported();
};

void BomTest::exportSitsInTheFileMenuGreyUntilTheMovieIsReady()
{
    HostHarness host;
    auto window = host.Start();
    QAction* fileMenu = window->menuBar()->actions().at(0);
    QVERIFY(fileMenu->menu()->actions().contains(FindCommand(*window, ID_MENU_FILE_EXPORT_BOM)));
    QVERIFY(!fileMenu->isEnabled());
    host.movie->player->SendCall("zDataLoadEnd");
    QVERIFY(fileMenu->isEnabled());
}

void BomTest::exportReplacesTheChosenFileWithTheMoviesBill()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->bomText = kMovieBom;
    const std::string path = host.AppFile("bill.csv");
    std::ofstream(path) << "older export";
    host.dialogs->saveAnswers = {path};
    FindCommand(*window, ID_MENU_FILE_EXPORT_BOM)->trigger();

    QCOMPARE(host.dialogs->boxes.size(), 0u);
    QCOMPARE(host.dialogs->saveRequests.size(), 1u);
    QCOMPARE(host.dialogs->saveRequests[0].initialName, std::string("物料清单.csv"));
    QCOMPARE(host.dialogs->saveRequests[0].defaultSuffix, std::string("csv"));
    QCOMPARE(FileBytes(path), orvane::BillOfMaterialsCsv(*orvane::ParseBillOfMaterials(kMovieBom)));
    // Exporting saves no selection.
    QVERIFY(window->FilePath().empty());
}

void BomTest::copyPutsTabSeparatedRowsOnTheClipboard()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->bomText = kMovieBom;
    FindCommand(*window, ID_MENU_FILE_COPY_BOM)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 0u);
    QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
             orvane::BillOfMaterialsTabSeparated(*orvane::ParseBillOfMaterials(kMovieBom)));
}

void BomTest::printedPageShowsTitleFileDateTableAndWarnings()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->bomText = kMovieBom;
    const std::string pdf = host.AppFile("bill.pdf");
    host.dialogs->printAnswers = {pdf};
    FindCommand(*window, ID_MENU_FILE_PRINT_BOM)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 0u);

    const QString text = PdfText(pdf);
    for (const QString& expected :
         {QStringLiteral("Torvex-Z series 选型系统"), QStringLiteral("无题.zsr"),
          QDate::currentDate().toString(Qt::ISODate), QStringLiteral("型号"), QStringLiteral("ZC-220"),
          QStringLiteral("高性能，1024 点"), QStringLiteral("合计"), QStringLiteral("CPU上限 1024"),
          QStringLiteral("尚未选择电源")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in: ") + text));
}

void BomTest::failedPrintIsReported()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->bomText = kMovieBom;
    host.dialogs->printAnswers = {host.AppFile("missing-folder/bill.pdf")};
    FindCommand(*window, ID_MENU_FILE_PRINT_BOM)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("不能继续处理。(#2001)\n文件或文件夹不存在。"));
}

void BomTest::emptySelectionGetsTheSaveNoticeAndNoDialog()
{
    QFETCH(unsigned, id);
    HostHarness host;
    auto window = host.StartReady();
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    FindCommand(*window, id)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("没有数据保存。"));
    QCOMPARE(host.dialogs->saveRequests.size(), 0u);
    QCOMPARE(host.dialogs->printRequests, 0);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

void BomTest::unusableBillIsReportedAndNothingWritten()
{
    QFETCH(unsigned, id);
    HostHarness host;
    auto window = host.StartReady();
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    host.movie->bomText = "TZSEL/1\nmode=module\ncpu=ZC-220";
    host.dialogs->saveAnswers = {host.AppFile("bill.csv")};
    FindCommand(*window, id)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("(#1007)"));
    QVERIFY(host.dialogs->boxes[0].icon == MsgIcon::Error);
    QCOMPARE(host.dialogs->saveRequests.size(), 0u);
    QCOMPARE(host.dialogs->printRequests, 0);
    QVERIFY(!std::filesystem::exists(host.AppFile("bill.csv")));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

void BomTest::failedWriteIsReported()
{
    HostHarness host;
    auto window = host.StartReady();
    host.movie->bomText = kMovieBom;
    host.dialogs->saveAnswers = {host.AppFile("missing-folder/bill.csv")};
    FindCommand(*window, ID_MENU_FILE_EXPORT_BOM)->trigger();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QVERIFY(host.dialogs->boxes[0].text.starts_with("不能继续处理。(#2001)\n"));
}

QTEST_MAIN(BomTest)
#include "test_host_bom.moc"
