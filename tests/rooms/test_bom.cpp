// The bill of materials room: the movie's "zBom" written as a workbook (read
// back with openpyxl, printed by LibreOffice Calc) or CSV, put on the
// clipboard (the table pasted into Calc), or printed after the preview (to
// PDF, read back with pdftotext), on a stand-in for the window.
#include "bom/BomCommands.h"

#include "BomNotice.h"
#include "BomPrintout.h"
#include "ScriptedUserDialogs.h"

#include "orvane/BillOfMaterials.h"

#include <QAction>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtPrintSupport/QPrinter>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Two racks, prices, a project name that a spreadsheet would run as a formula, two modules pinned to the
// expansion rack.
const std::string kMovieBom =
    "TZBOM/4\nproject\tname\t=1+1 二号线\nproject\tauthor\t李工\ncurrency\tCNY\n"
    "line\t1\tTZ-C0220-00\tZC-220\t高性能，1024 点\t1\t6980.00\t6980.00\n"
    "line\t2\tTZ-E0201-00\tZX-IF01\t扩展接口模块\t1\t380.00\t380.00\n"
    "line\t3\tTZ-D1016-00\tZX-DI16\t16 点 DC24V 输入\t12\t680.00\t8160.00\n"
    "sum\t14\t15520.00\n"
    "rack\t主基板\tZB-B06\tZP-P30\t6\t6\t935\t3000\t0\t600\t96\nslots\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\n"
    "rack\t扩展基板 1\tZB-E08\t\t6\t8\t530\t0\t0\t0\t96\nslots\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\tZX-DI16\t\t\n"
    "pinned\t1\t2\n"
    "overall\t12\t14\t1465\t3000\t0\t600\t192\t1024\t2\t4\nwarning\t扩展基板 1：尚未选择电源";

// The same with each rack's rail length and loss (the expansion rack's known in part) and an enclosure.
std::string CabinetBom()
{
    std::string text = kMovieBom;
    text.replace(0, 7, "TZBOM/5");
    text.insert(text.find("rack\t扩展基板 1"), "cabinet\t291.5\t31.9\t\n");
    text.insert(text.find("overall"), "cabinet\t\t14.1\t1\n");
    text.insert(text.find("\nwarning"), "\nheat\t46.0\t1\nenclosure\t600\t2000\t500\t靠墙安装\t钢板\t5.5\t35\t45\t3.90\t214.5\t0.0");
    return text;
}

orvane::BomReport TodaysReport()
{
    return orvane::PurchaseReport(*orvane::ParseBillOfMaterials(kMovieBom),
                                  QDate::currentDate().toString(Qt::ISODate).toStdString());
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

QString ProcessOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(180000))  // LibreOffice makes its profile first
        return program + QStringLiteral(" did not run: ") + process.errorString();
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// LibreOffice Calc converts the files (one run for them all) into their folder as format, read with the
// import filter given ("" for the one their names call for), with a profile of its own in that folder, so
// that runs at the same time do not share one. The test set-up installs it: a missing one is a failure.
QString ConvertWithCalc(const QString& format, const QString& importFilter, const QStringList& files)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        return QStringLiteral("LibreOffice (soffice) is not installed: scripts/install-deps.sh test installs it");
    const QString folder = QFileInfo(files.front()).absolutePath();
    QStringList arguments{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(folder + QStringLiteral("/office")).toString(),
                          QStringLiteral("--headless")};
    if (!importFilter.isEmpty())
        arguments << QStringLiteral("--infilter=") + importFilter;
    return ProcessOutput(office, arguments << QStringLiteral("--convert-to") << format << QStringLiteral("--outdir") << folder << files);
}

// What a real reader finds in the workbook: sheets, the frozen cells, the page setup and merged cells, each
// non-empty cell as "sheet!ref=value:type:format" (a formula's stored value after it), three column widths.
const char* const kReadWorkbook = R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
print("sheets", book.sheetnames)
for sheet in book.worksheets:
    print("frozen", sheet.title, sheet.freeze_panes)
    setup, merged = sheet.page_setup, sorted(map(str, sheet.merged_cells.ranges))
    print("pages", sheet.title, setup.paperSize, setup.orientation, 1 if setup.fitToWidth is None else setup.fitToWidth,
          setup.fitToHeight, sheet.sheet_properties.pageSetUpPr.fitToPage, sheet.print_title_rows, merged)
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                print(sheet.title + "!" + cell.coordinate + "=" + str(cell.value) + ":" + cell.data_type + ":" + cell.number_format +
                      (":" + str(values[sheet.title][cell.coordinate].value) if cell.data_type == "f" else ""))
orders = book.worksheets[0]
print("widths", orders.column_dimensions["A"].width, orders.column_dimensions["B"].width, orders.column_dimensions["D"].width)
)";

QString ReadWorkbook(const std::string& path)
{
    // Debian's own Python, where python3-openpyxl is installed.
    return ProcessOutput(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral("-c"), QString::fromUtf8(kReadWorkbook), QString::fromStdString(path)});
}

// The room on a stand-in for the window: the movie's bill is what the test
// sets, its errors are collected, the dialogs are scripted.
struct BomRoom {
    QTemporaryDir folder;
    QWidget owner;
    ScriptedUserDialogs dialogs;
    std::string filePath;                             // the selection file; "" while untitled
    std::optional<std::string> bill = std::string();  // the movie's "zBom"; nullopt when unusable
    std::vector<std::string> errors;
    orvane::BomCommands commands{{&owner, &dialogs, [this] { return filePath; }, [this] { return bill; },
                                  [this](const std::string& text) { errors.push_back(text); }}};

    std::string File(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }
    // Runs a command as its menu item does.
    void Run(int command)
    {
        using Command = bool (orvane::BomCommands::*)();
        constexpr Command commands[] = {&orvane::BomCommands::Export, &orvane::BomCommands::Copy, &orvane::BomCommands::Print};
        (this->commands.*commands[command])();
    }
};
enum { kExport, kCopy, kPrint };

}  // namespace

class BomTest : public QObject {
    Q_OBJECT
    static void EachCommand()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("export") << int(kExport);
        QTest::newRow("copy") << int(kCopy);
        QTest::newRow("print") << int(kPrint);
    }

private slots:
    void workbookReadsBackWithNumbersFormatsFrozenHeaderAndTwoSheets();
    void csvIsWrittenWhenTheChosenNameSaysSo();
    void copyPutsRowsAndATableOnTheClipboardAndSaysSo();
    void previewPrintsProjectOrderLinesTotalsAndRacksToPdf();
    void cabinetFiguresReachTheWorkbookAndThePrintout();
    void failedPrintIsReported();
    void workbookPrintsEachOrderLineOnOnePageWidth();
    void clipboardTablePastesIntoCalcAsPlainCells();
    void printedTablesRepeatTheirHeaderOnEveryPage();
    void rackPicturesStayInsideTheMarginsOfASmallPage();
    void bidirectionalControlsAreShownInEveryOutput();
    void emptySelectionGetsTheSaveNoticeAndNoDialog_data() { EachCommand(); }
    void emptySelectionGetsTheSaveNoticeAndNoDialog();
    void unusableBillIsReportedAndNothingWritten_data() { EachCommand(); }
    void unusableBillIsReportedAndNothingWritten();
    void failedWriteIsReported();
};

void BomTest::workbookReadsBackWithNumbersFormatsFrozenHeaderAndTwoSheets()
{
    BomRoom room;
    room.bill = kMovieBom;
    const std::string path = room.File("bill.xlsx");
    std::ofstream(path) << "older export";
    room.dialogs.saveAnswers = {path};
    room.commands.Export();
    QCOMPARE(room.dialogs.boxes.size(), 0u);
    QCOMPARE(room.dialogs.saveRequests[0].initialName, std::string("物料清单.xlsx"));
    QCOMPARE(room.dialogs.saveRequests[0].defaultSuffix, std::string("xlsx"));

    const QString read = ReadWorkbook(path);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    // The table's header row is row 6, under the title, three heading rows and a blank one.
    for (const QString& expected :
         {QStringLiteral("sheets ['物料清单', '工程数据']"), QStringLiteral("frozen 物料清单 A7"),
          QStringLiteral("frozen 工程数据 A2"), QStringLiteral("物料清单!A2=项目名称：=1+1 二号线:s:General"),
          QStringLiteral("pages 物料清单 9 landscape 1 0 True $6:$6 ['A1:G1', 'A2:G2', 'A3:G3', 'A4:G4']"),
          QStringLiteral("pages 工程数据 9 landscape 1 0 True $1:$1 ['A6:K6', 'A7:K7', 'A8:K8']"),
          QStringLiteral("物料清单!A4=%1 00:00:00:d:\"日期：\"yyyy-mm-dd").arg(today), QStringLiteral("物料清单!A6=序号:s:General"),
          QStringLiteral("物料清单!F6=单价(CNY):s:General"), QStringLiteral("物料清单!A7=1:n:#,##0"),
          QStringLiteral("物料清单!B7=TZ-C0220-00:s:General"), QStringLiteral("物料清单!E9=12:n:#,##0"),
          QStringLiteral("物料清单!F9=680:n:#,##0.00"), QStringLiteral("物料清单!G9==E9*F9:f:#,##0.00:8160"),
          QStringLiteral("物料清单!A10=合计:s:General"), QStringLiteral("物料清单!E10==SUM(E7:E9):f:#,##0:14"),
          QStringLiteral("物料清单!G10==SUM(G7:G9):f:#,##0.00:15520"), QStringLiteral("工程数据!A3=扩展基板 1:s:General"),
          QStringLiteral("工程数据!J4=192:n:#,##0"), QStringLiteral("工程数据!G2=3000:n:#,##0"),
          QStringLiteral("工程数据!K1=固定模块:s:General"), QStringLiteral("工程数据!K3=ZX-DI16（槽位 1、2）:s:General"),
          QStringLiteral("工程数据!A6=CPU I/O点数上限：1,024:s:General"), QStringLiteral("工程数据!A7=基板数：2（CPU上限 4）:s:General"),
          QStringLiteral("工程数据!A8=注意：扩展基板 1：尚未选择电源:s:General")})
        QVERIFY2(read.contains(expected + QLatin1Char('\n')), qPrintable(expected + QStringLiteral(" missing in:\n") + read));
    // Columns as wide as their own texts (序号 not widened by the project data), a Chinese character counted twice.
    const QStringList widths = read.section(QStringLiteral("widths "), 1).trimmed().split(QLatin1Char(' '));
    QCOMPARE(widths.size(), 3);
    QVERIFY2(widths[0].toDouble() < 8 && widths[1].toDouble() >= 13 && widths[2].toDouble() >= 18, qPrintable(read));
}

void BomTest::cabinetFiguresReachTheWorkbookAndThePrintout()
{
    BomRoom room;
    room.bill = CabinetBom();
    const std::string path = room.File("cabinet.xlsx");
    const std::string pdf = room.File("cabinet.pdf");
    room.dialogs.saveAnswers = {path};
    room.dialogs.printAnswers = {pdf, std::nullopt};
    room.commands.Export();
    room.commands.Print();
    QCOMPARE(room.dialogs.boxes.size(), 0u);
    const QString read = ReadWorkbook(path);
    for (const QString& expected :
         {QStringLiteral("工程数据!L1=导轨长度(mm):s:General"), QStringLiteral("工程数据!M1=损耗(W):s:General"),
          QStringLiteral("工程数据!L2=291.5:s:General"), QStringLiteral("工程数据!L3=未知:s:General"),
          QStringLiteral("工程数据!M3=至少 14.1:s:General"), QStringLiteral("工程数据!M4=至少 46.0:s:General")})
        QVERIFY2(read.contains(expected + QLatin1Char('\n')), qPrintable(expected + QStringLiteral(" missing in:\n") + read));
    const QString text = ProcessOutput(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    for (const QString& expected : {QStringLiteral("291.5"), QStringLiteral("总损耗(W)：至少 46.0"),
                                    QStringLiteral("散热面积 3.90 m²，散热 214.5 W"), QStringLiteral("所需冷却(W)：无需")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in: ") + text));
}

void BomTest::csvIsWrittenWhenTheChosenNameSaysSo()
{
    BomRoom room;
    room.bill = kMovieBom;
    const std::string path = room.File("bill.CSV");
    room.dialogs.saveAnswers = {path};
    room.commands.Export();
    QCOMPARE(room.dialogs.boxes.size(), 0u);
    QCOMPARE(room.dialogs.saveRequests[0].filter, std::string("物料清单(*.xlsx)|*.xlsx|物料清单 CSV(*.csv)|*.csv||"));
    QCOMPARE(FileBytes(path), orvane::BillOfMaterialsCsv(TodaysReport()));
}

void BomTest::copyPutsRowsAndATableOnTheClipboardAndSaysSo()
{
    BomRoom room;
    room.bill = kMovieBom;
    room.owner.show();  // the notice shows in the window
    room.commands.Copy();
    QCOMPARE(room.dialogs.boxes.size(), 0u);
    const QMimeData* pasted = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(pasted->text().toStdString(), orvane::BillOfMaterialsTabSeparated(TodaysReport()));
    QCOMPARE(pasted->html().toStdString(), orvane::BillOfMaterialsHtml(TodaysReport()));
    auto* notice = room.owner.findChild<QLabel*>(QStringLiteral("bomNotice"));
    QVERIFY(notice && notice->isVisible() && notice->text().startsWith(QStringLiteral("已复制物料清单")));
    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), orvane::BomNotice::kShownMs + 2000);
}

void BomTest::previewPrintsProjectOrderLinesTotalsAndRacksToPdf()
{
    BomRoom room;
    room.bill = kMovieBom;
    const std::string pdf = room.File("bill.pdf");
    room.dialogs.printAnswers = {pdf, std::nullopt};
    room.commands.Print();
    QCOMPARE(room.dialogs.boxes.size(), 0u);
    QCOMPARE(room.dialogs.proposedPdfFiles.at(0), std::string());  // untitled: Qt's own proposal

    const QString text = ProcessOutput(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    for (const QString& expected :
         {QStringLiteral("Torvex-Z series 选型系统"), QStringLiteral("无题.zsr"), QStringLiteral("项目名称：=1+1 二号线"),
          QStringLiteral("编制：李工"), QStringLiteral("日期：") + QDate::currentDate().toString(Qt::ISODate),
          QStringLiteral("订货号"), QStringLiteral("TZ-E0201-00"), QStringLiteral("金额(CNY)"), QStringLiteral("15,520.00"),
          QStringLiteral("工程数据"), QStringLiteral("基板数：2（CPU上限 4）"), QStringLiteral("扩展基板 1：尚未选择电源"),
          QStringLiteral("基板槽位"), QStringLiteral("1,465"), QStringLiteral("3,000"), QStringLiteral("CPU I/O点数上限：1,024"),
          QStringLiteral("固定模块"), QStringLiteral("该模块固定在此基板上")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in: ") + text));

    // With a selection file, print to file proposes its folder; closing the preview prints nothing.
    room.filePath = room.File("line-2.zsr");
    room.commands.Print();
    QCOMPARE(room.dialogs.proposedPdfFiles.at(1), room.File("line-2.pdf"));
    QVERIFY(!std::filesystem::exists(room.File("line-2.pdf")));
    QCOMPARE(room.dialogs.boxes.size(), 0u);
}

void BomTest::failedPrintIsReported()
{
    BomRoom room;
    room.bill = kMovieBom;
    room.dialogs.printAnswers = {room.File("missing-folder/bill.pdf")};
    room.commands.Print();
    QCOMPARE(room.errors, std::vector<std::string>{"不能继续处理。(#2001)\n文件或文件夹不存在。"});

    // The file made aside cannot be made (a file where the temporary folder
    // should be): Qt's reason is told and nothing is written.
    const QByteArray temporaryFolder = qgetenv("TMPDIR");
    std::ofstream(room.File("not-a-folder")) << "file";
    qputenv("TMPDIR", QByteArray::fromStdString(room.File("not-a-folder")));
    room.dialogs.printAnswers = {room.File("bill.pdf")};
    room.commands.Print();
    qputenv("TMPDIR", temporaryFolder);
    QCOMPARE(room.errors.size(), 2u);
    const std::string lead = "不能继续处理。(#2001)\n";
    QVERIFY2(room.errors[1].starts_with(lead) && room.errors[1].size() > lead.size(), room.errors[1].c_str());
    QVERIFY(!std::filesystem::exists(room.File("bill.pdf")));
}

void BomTest::emptySelectionGetsTheSaveNoticeAndNoDialog()
{
    QFETCH(int, command);
    BomRoom room;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    room.Run(command);
    QCOMPARE(room.dialogs.boxes.size(), 1u);
    QCOMPARE(room.dialogs.boxes[0].text, std::string("没有数据保存。"));
    QCOMPARE(room.dialogs.saveRequests.size(), 0u);
    QCOMPARE(room.dialogs.printRequests, 0);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

void BomTest::unusableBillIsReportedAndNothingWritten()
{
    QFETCH(int, command);
    BomRoom room;
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    room.bill = "TZSEL/1\nmode=module\ncpu=ZC-220";
    room.dialogs.saveAnswers = {room.File("bill.xlsx")};
    room.Run(command);
    QCOMPARE(room.errors, std::vector<std::string>{"(#1007)"});
    QVERIFY(room.dialogs.boxes.empty());
    QCOMPARE(room.dialogs.saveRequests.size(), 0u);
    QCOMPARE(room.dialogs.printRequests, 0);
    QVERIFY(!std::filesystem::exists(room.File("bill.xlsx")));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    QVERIFY(!room.owner.findChild<QLabel*>(QStringLiteral("bomNotice")));
}

void BomTest::failedWriteIsReported()
{
    BomRoom room;
    room.bill = kMovieBom;
    room.dialogs.saveAnswers = {room.File("missing-folder/bill.xlsx")};
    room.commands.Export();
    QCOMPARE(room.errors.size(), 1u);
    QVERIFY(room.errors[0].starts_with("不能继续处理。(#2001)\n"));
}

void BomTest::workbookPrintsEachOrderLineOnOnePageWidth()
{
    BomRoom room;
    room.bill = kMovieBom;
    room.dialogs.saveAnswers = {room.File("bill.xlsx")};
    room.commands.Export();
    const QString converted = ConvertWithCalc(QStringLiteral("pdf"), {}, {QString::fromStdString(room.File("bill.xlsx"))});
    // Laid out as printed, each order line is one line of text, from its order number to its amount; the
    // summary's currents and capacities have their separators.
    const QString text = ProcessOutput(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-layout"), QString::fromStdString(room.File("bill.pdf")), QStringLiteral("-")});
    for (const char* line : {"TZ-C0220-00 .*6,980\\.00\\s*$", "TZ-E0201-00 .*380\\.00\\s*$", "TZ-D1016-00 .*8,160\\.00\\s*$",
                             "^\\s*主基板 .* 935 +3,000 .* 96\\s*$", "^\\s*合计 .* 1,465 +3,000 .* 192\\s*$"})
        QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(line), QRegularExpression::MultilineOption)),
                 qPrintable(converted + text));
}

// Pasted into Calc (its HTML import, as the clipboard's table reaches it), every value has a cell of its own,
// no cell spans others, the project data are label and value, figures are numbers shown with separators.
void BomTest::clipboardTablePastesIntoCalcAsPlainCells()
{
    BomRoom room;
    room.bill = kMovieBom;
    room.commands.Copy();
    const std::string pasted = room.File("pasted.html");
    std::ofstream(pasted) << QGuiApplication::clipboard()->mimeData()->html().toStdString();
    const QString converted =
        ConvertWithCalc(QStringLiteral("xlsx"), QStringLiteral("HTML (StarCalc)"), {QString::fromStdString(pasted)});
    const QString read = ReadWorkbook(room.File("pasted.xlsx"));
    const QRegularExpression noMergedCells(QStringLiteral("^pages Sheet1 .* \\[\\]$"), QRegularExpression::MultilineOption);
    QVERIFY2(read.contains(noMergedCells), qPrintable(converted + read));
    for (const QString& expected :
         {QStringLiteral("Sheet1!A2=项目名称:s:"), QStringLiteral("Sheet1!B3=李工:s:"), QStringLiteral("Sheet1!A6=序号:s:"),
          QStringLiteral("Sheet1!G6=金额(CNY):s:"), QStringLiteral("Sheet1!E9=12:n:#,##0\n"),
          QStringLiteral("Sheet1!G10=15520:n:#,##0.00\n"), QStringLiteral("Sheet1!K13=固定模块:s:"),
          QStringLiteral("Sheet1!G14=3000:n:#,##0\n"), QStringLiteral("Sheet1!K15=ZX-DI16（槽位 1、2）:s:"),
          QStringLiteral("Sheet1!B17=1024:n:#,##0\n"), QStringLiteral("Sheet1!B19=扩展基板 1：尚未选择电源:s:")})
        QVERIFY2(read.contains(expected), qPrintable(expected + QStringLiteral(" missing in:\n") + converted + read));
}

// A table that goes on to another page has its header row there again.
void BomTest::printedTablesRepeatTheirHeaderOnEveryPage()
{
    std::string bill = kMovieBom;
    std::string lines;
    for (int number = 4; number <= 90; ++number)
        lines += "line\t" + std::to_string(number) + "\tTZ-X" + std::to_string(number) + "\tZX-M\t附件\t1\t1.00\t1.00\n";
    bill.insert(bill.find("sum\t"), lines);
    const QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(folder.filePath(QStringLiteral("long.pdf")));
    QVERIFY(orvane::PrintBillOfMaterials(printer, orvane::PurchaseReport(*orvane::ParseBillOfMaterials(bill), "2026-01-01"),
                                         QStringLiteral("Torvex-Z"), QStringLiteral("a.zsr")));
    const QStringList pages =
        ProcessOutput(QStringLiteral("pdftotext"), {printer.outputFileName(), QStringLiteral("-")}).split(QLatin1Char('\f'));
    int pagesWithOrderLines = 0;
    for (const QString& page : pages) {
        if (!page.contains(QStringLiteral("TZ-X")))
            continue;
        ++pagesWithOrderLines;
        QVERIFY2(page.contains(QStringLiteral("订货号")) && page.contains(QStringLiteral("金额(CNY)")), qPrintable(page));
    }
    QVERIFY2(pagesWithOrderLines >= 2, qPrintable(pages.join(QStringLiteral("\n---\n"))));
}

void BomTest::rackPicturesStayInsideTheMarginsOfASmallPage()
{
    const QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(folder.filePath(QStringLiteral("small.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A5));
    QVERIFY(orvane::PrintBillOfMaterials(printer, TodaysReport(), QStringLiteral("Torvex-Z"), QStringLiteral("a.zsr")));
    // The page's 2 mm and the text's 20 mm on the right, 43 pixels at 50 an inch: nothing is drawn there.
    ProcessOutput(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("50"), printer.outputFileName(), folder.filePath(QStringLiteral("page"))});
    const QFileInfoList pages = QDir(folder.path()).entryInfoList({QStringLiteral("page*.ppm")});
    QVERIFY(!pages.isEmpty());
    for (const QFileInfo& file : pages) {
        QImage page(file.filePath()), margin = page.copy(page.width() - 41, 0, 41, page.height());
        page.fill(Qt::white);
        QVERIFY2(margin == page.copy(0, 0, 41, page.height()), qPrintable(file.fileName()));
    }
}

// Direction controls would make an order line read other than it is: every output shows them.
void BomTest::bidirectionalControlsAreShownInEveryOutput()
{
    BomRoom room;
    room.bill = QString::fromStdString(kMovieBom)
                              .replace(QStringLiteral("扩展接口模块"), QStringLiteral("接口\u202ELTR\u202C"))
                              .replace(QStringLiteral("李工"), QStringLiteral("\u2067李工\u2069"))
                              .toStdString();
    const std::string csv = room.File("bill.csv"), workbook = room.File("bill.xlsx"), pdf = room.File("bill.pdf");
    room.dialogs.saveAnswers = {csv, workbook};
    room.dialogs.printAnswers = {pdf};
    for (const int command : {kExport, kExport, kCopy, kPrint})
        room.Run(command);
    const QMimeData* pasted = QGuiApplication::clipboard()->mimeData();
    for (const QString& output : {QString::fromStdString(FileBytes(csv)), ReadWorkbook(workbook), pasted->text(), pasted->html(),
                                  ProcessOutput(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")})})
        QVERIFY2(output.contains(u"接口[U+202E]LTR[U+202C]") && output.contains(u"[U+2067]李工[U+2069]") &&
                     !output.contains(QChar(0x202E)), qPrintable(output));
}

QTEST_MAIN(BomTest)
#include "test_bom.moc"
