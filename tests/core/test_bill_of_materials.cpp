#include "orvane/BillOfMaterials.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// What the movie gives for a CPU and three input modules on the main rack,
// and an expansion rack still without a power supply.
const std::string kMovieText =
    "TZBOM/2\n"
    "project\tname\t二号线\n"
    "project\tcustomer\t华东\n"
    "currency\tCNY\n"
    "line\t1\tTZ-C0220-00\tZC-220\t高性能，1024 点\t1\t6980.00\t6980.00\n"
    "line\t2\tTZ-D1016-00\tZX-DI16\t16 点 \"输入,源型\"\t3\t680.00\t2040.00\n"
    "sum\t4\t9020.00\n"
    "rack\t主基板\tZB-B04\tZP-P30\t3\t4\t760\t3000\t0\t600\t48\n"
    "slots\tZX-DI16\tZX-DI16\tZX-DI16\t\n"
    "rack\t扩展基板 1\tZB-E06\t\t0\t6\t170\t0\t0\t0\t0\n"
    "slots\t\t\t\t\t\t\n"
    "overall\t3\t10\t930\t3000\t0\t600\t48\t1024\t2\t4\n"
    "warning\t扩展基板 1：尚未选择电源";

orvane::BomReport Report(const std::string& text)
{
    const auto bom = orvane::ParseBillOfMaterials(text);
    EXPECT_TRUE(bom) << text;
    return bom ? orvane::PurchaseReport(*bom, "2026-12-07") : orvane::BomReport{};
}

}  // namespace

TEST(BillOfMaterials, CsvHasProjectHeadingOrderLinesWithTotalsAndEngineeringApart)
{
    EXPECT_EQ(orvane::BillOfMaterialsCsv(Report(kMovieText)),
              "\xEF\xBB\xBF"
              "物料清单\r\n项目名称,二号线\r\n客户,华东\r\n日期,2026-12-07\r\n\r\n"
              "序号,订货号,型号,说明,数量,单价(CNY),金额(CNY)\r\n"
              "1,TZ-C0220-00,ZC-220,高性能，1024 点,1,6980.00,6980.00\r\n"
              "2,TZ-D1016-00,ZX-DI16,\"16 点 \"\"输入,源型\"\"\",3,680.00,2040.00\r\n"
              "合计,,,,4,,9020.00\r\n\r\n"
              "工程数据\r\n"
              "机架,基板,电源,已用槽位,可用槽位,5V电流(mA),5V容量(mA),24V电流(mA),24V容量(mA),I/O点数\r\n"
              "主基板,ZB-B04,ZP-P30,3,4,760,3000,0,600,48\r\n"
              "扩展基板 1,ZB-E06,,0,6,170,0,0,0,0\r\n"
              "合计,,,3,10,930,3000,0,600,48\r\n"
              "CPU I/O点数上限,1024\r\n基板数,2（CPU上限 4）\r\n"
              "注意,扩展基板 1：尚未选择电源\r\n");
    const orvane::BomReport report = Report(kMovieText);
    ASSERT_EQ(report.racks.size(), 2u);
    EXPECT_EQ(report.racks[0].slotCodes, (std::vector<std::string>{"ZX-DI16", "ZX-DI16", "ZX-DI16", ""}));
    // The spreadsheet file takes figures as numbers, money in yuan.
    EXPECT_EQ(report.orderLines.rows.back()[6].number, 9020.0);
    EXPECT_EQ(report.orderLines.rows[1][4].kind, orvane::BomCell::Kind::Count);
}

TEST(BillOfMaterials, WithoutPricesThePriceColumnsAreLeftOut)
{
    std::string text = kMovieText;
    for (const std::string& priced : {std::string("currency\tCNY\n"), std::string("\t6980.00\t6980.00"),
                                      std::string("\t680.00\t2040.00"), std::string("\t9020.00")}) {
        const std::size_t at = text.find(priced);
        text.replace(at, priced.size(), priced[0] == 'c' ? "" : priced == "\t9020.00" ? "\t" : "\t\t");
    }
    const std::string rows = orvane::BillOfMaterialsTabSeparated(Report(text));
    EXPECT_NE(rows.find("序号\t订货号\t型号\t说明\t数量\n"), std::string::npos) << rows;
    EXPECT_NE(rows.find("\n合计\t\t\t\t4\n"), std::string::npos) << rows;
    EXPECT_EQ(rows.find("单价"), std::string::npos);
}

TEST(BillOfMaterials, TextsThatASpreadsheetWouldRunStayText)
{
    std::string text = kMovieText;
    text.replace(text.find("二号线"), std::string("二号线").size(), "=HYPERLINK(\"http://x\")");
    text.replace(text.find("16 点"), std::string("16 点").size(), "+24V <b>");
    text += "\nwarning\t@SUM(1)\nwarning\t－5";
    const orvane::BomReport report = Report(text);
    const std::string csv = orvane::BillOfMaterialsCsv(report);
    EXPECT_NE(csv.find("项目名称,\"'=HYPERLINK(\"\"http://x\"\")\"\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("ZX-DI16,\"'+24V <b>"), std::string::npos) << csv;
    EXPECT_NE(csv.find("注意,'@SUM(1)\r\n注意,'－5\r\n"), std::string::npos) << csv;
    EXPECT_NE(orvane::BillOfMaterialsTabSeparated(report).find("项目名称\t'=HYPERLINK"), std::string::npos);
    const std::string html = orvane::BillOfMaterialsHtml(report);
    EXPECT_NE(html.find("<td>'=HYPERLINK(&quot;http://x&quot;)</td>"), std::string::npos) << html;
    EXPECT_NE(html.find("<td>'+24V &lt;b&gt; "), std::string::npos) << html;
    EXPECT_EQ(html.find("<b>"), std::string::npos);

    // Behind a quote, white space of any width, or in full-width form, a
    // formula is a formula all the same.
    for (const std::string formula : {"\"=1+1\"", " =1+1", "\xC2\xA0=1+1", "\xE3\x80\x80+1", "\xEF\xBC\x9D" "1+1",
                                      "\xEF\xBC\xA0" "A1", "\t-1"})
        EXPECT_EQ(orvane::SpreadsheetSafeText(formula), "'" + formula) << formula;
    for (const std::string text : {"1+1", "ZX-DI16", "说明 =", "\"quoted\""})
        EXPECT_EQ(orvane::SpreadsheetSafeText(text), text) << text;
}

TEST(BillOfMaterials, RefusesTextsThatAreNotACompleteBill)
{
    const std::string lines[] = {"TZBOM/2", "line\t1\t\tC\tCPU\t1\t\t", "sum\t1\t", "rack\t主基板\t\t\t0\t0\t0\t0\t0\t0\t0",
                                 "slots", "overall\t0\t0\t0\t0\t0\t0\t0\t0\t1\t0"};
    const auto join = [&](std::size_t leftOut, const std::string& extra) {
        std::string text;
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            if (i != leftOut)
                text += (text.empty() ? "" : "\n") + lines[i];
        }
        return text + extra;
    };
    ASSERT_TRUE(orvane::ParseBillOfMaterials(join(99, "")));
    ASSERT_TRUE(orvane::ParseBillOfMaterials(join(99, "\nline\t2\tX-1\tD\tx\t1\t\t\nproject\tnote\tn")));
    for (std::size_t leftOut = 0; leftOut < std::size(lines); ++leftOut)
        EXPECT_FALSE(orvane::ParseBillOfMaterials(join(leftOut, ""))) << "without line " << leftOut;
    for (const std::string extra :
         {"\n", "\nsum\t1\t", "\nline\t3\t\tD\tx\t1\t\t", "\nline\t2\t\tD\tx\t1\t1.00\t1.00", "\nline\t2\t\t\tx\t1\t\t",
          "\nline\t2\t\tD\tx\t4294967296\t\t", "\nline\t2\t\tD\tx\t1 \t\t", "\nline\t2\t\tD\tx\r\t1\t\t",
          "\nrack\tE\t\t\t0\t0\t0\t0\t0\t0\t0", "\nslots\tX", "\nproject\tcolour\tred", "\nproject\tnote\t",
          "\ncurrency\tyuan", "\nwarning\t", "\nnote\tx"})
        EXPECT_FALSE(orvane::ParseBillOfMaterials(join(99, extra))) << extra;
    std::string priced = kMovieText;
    priced.replace(priced.find("6980.00\t"), 8, "6980.0\t");
    EXPECT_FALSE(orvane::ParseBillOfMaterials(priced));
    EXPECT_FALSE(orvane::ParseBillOfMaterials(""));
    EXPECT_FALSE(orvane::ParseBillOfMaterials("TZBOM/1\nitem\tC\tCPU\t1\t0\t5\t0"));
}

TEST(BillOfMaterials, TheReserveOfVersion3IsStatedInTheEngineeringSummary)
{
    std::string text = kMovieText;
    text.replace(0, 7, "TZBOM/3");
    text.insert(text.find("\nwarning"), "\nreserve\t20\t0\t15\t10");
    const std::string rows = orvane::BillOfMaterialsTabSeparated(Report(text));
    EXPECT_NE(rows.find("\n基板数\t2（CPU上限 4）\n预留余量\t槽位 20%，24V电流 15%，I/O点数 10%\n注意\t"), std::string::npos) << rows;
    for (const std::string& refused : {std::string("\nreserve\t101\t0\t0\t0"), std::string("\nreserve\t1\t0\t0"),
                                       std::string("\nreserve\t20\t0\t15\t10")})
        EXPECT_FALSE(orvane::ParseBillOfMaterials(text + refused)) << refused;
    EXPECT_FALSE(orvane::ParseBillOfMaterials(kMovieText + "\nreserve\t20\t0\t15\t10")) << "a version 2 bill has no reserve";
}

TEST(BillOfMaterials, TheEditionThatPricedItAndDiscontinuedItemsAreInEveryOutput)
{
    std::string text = kMovieText;
    text.replace(0, 7, "TZBOM/3");
    text.insert(text.find("\nline\t1"), "\nedition\t2026.2\t2026-12-07");
    text.insert(text.find("\nsum"), "\ndiscontinued\t2\tZX-DI16B");
    const std::string csv = orvane::BillOfMaterialsCsv(Report(text));
    EXPECT_NE(csv.find("日期,2026-12-07\r\n价格依据,产品目录 2026.2 版（2026-12-07）\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n2,TZ-D1016-00,ZX-DI16,\"【停产，替代型号 ZX-DI16B】16 点 "), std::string::npos) << csv;
    for (const std::string& refused : {std::string("\ndiscontinued\t1\t"), std::string("\nedition\t2026.3\t")})
        EXPECT_FALSE(orvane::ParseBillOfMaterials(text + refused)) << refused;
    std::string second = text;
    second.replace(second.find("discontinued\t2"), 14, "discontinued\t1");
    EXPECT_FALSE(orvane::ParseBillOfMaterials(second)) << "a mark that is not right after its line";
}

TEST(BillOfMaterials, AnUnknownItemOfVersion4IsMarkedAndLeftOutOfTheSums)
{
    std::string text = kMovieText;
    text.replace(0, 7, "TZBOM/4");
    text.insert(text.find("\nsum"), "\nline\t3\t\tZX-EN09\t\t2\t\t\nunknown\t3");
    const orvane::BomReport report = Report(text);
    const std::string csv = orvane::BillOfMaterialsCsv(report);
    EXPECT_NE(csv.find("\r\n3,,ZX-EN09,【目录中未知】,2,,\r\n合计,,,,4,,9020.00\r\n"), std::string::npos) << csv;
    EXPECT_EQ(report.orderLines.rows[2][4].kind, orvane::BomCell::Kind::Text) << "a spreadsheet's column sum leaves it out";
    std::string third = text;
    third.replace(0, 7, "TZBOM/3");
    EXPECT_FALSE(orvane::ParseBillOfMaterials(third)) << "a version 3 bill has no unknown lines";
    for (const std::string& refused : {std::string("\nunknown\t2"), std::string("\ndiscontinued\t3\t")}) {
        std::string marked = text;
        marked.insert(marked.find("\nsum"), refused);
        EXPECT_FALSE(orvane::ParseBillOfMaterials(marked)) << refused;
    }
}

TEST(BillOfMaterials, PinnedModulesOfVersion4AreNamedWithTheirSlots)
{
    std::string text = kMovieText;
    text.replace(0, 7, "TZBOM/4");
    const std::string slots = "slots\tZX-DI16\tZX-DI16\tZX-DI16\t\n", pins = "pinned\t1\t2\t3\t4";
    text.replace(text.find(slots), slots.size(), "slots\tZX-DI16\tZX-DI16\tZX-AO04\t<\n" + pins + "\n");
    const orvane::BomReport report = Report(text);
    EXPECT_EQ(report.racks[0].pinnedSlots, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    const std::string rows = orvane::BillOfMaterialsTabSeparated(report);
    EXPECT_NE(rows.find("\tI/O点数\t固定模块\n主基板\tZB-B04\tZP-P30\t3\t4\t760\t3000\t0\t600\t48\t"
                        "ZX-DI16（槽位 1、2），ZX-AO04（槽位 3）\n扩展基板 1\t"),
              std::string::npos)
        << rows;
    EXPECT_EQ(orvane::BillOfMaterialsTabSeparated(Report(kMovieText)).find("固定模块"), std::string::npos);
    for (const std::string& refused : {"pinned\t5", "pinned\t0", "pinned\t2\t1", "pinned\t1\t1", "pinned", "pinned\t1\npinned\t2"}) {
        std::string wrong = text;
        wrong.replace(wrong.find(pins), pins.size(), refused);
        EXPECT_FALSE(orvane::ParseBillOfMaterials(wrong)) << refused;
    }
    const std::string freeSlots = "slots\t\t\t\t\t\t\n";
    std::string freeSlot = text;
    EXPECT_FALSE(orvane::ParseBillOfMaterials(freeSlot.insert(freeSlot.find(freeSlots) + freeSlots.size(), "pinned\t1\n")))
        << "a free slot holds nothing pinned";
    text.replace(0, 7, "TZBOM/3");
    EXPECT_FALSE(orvane::ParseBillOfMaterials(text)) << "a version 3 bill has no pins";
}

TEST(BillOfMaterials, FiguresShowThousandsSeparatorsWherePeopleReadThem)
{
    using Kind = orvane::BomCell::Kind;
    for (const auto& [text, kind, shown] : {std::tuple{"999", Kind::Count, "999"}, {"1000", Kind::Count, "1,000"},
                                            {"999.99", Kind::Money, "999.99"}, {"1234567.00", Kind::Money, "1,234,567.00"},
                                            {"20260101", Kind::Text, "20260101"}})
        EXPECT_EQ(orvane::ShownText({text, kind}), shown);
}

TEST(BillOfMaterials, CabinetFiguresOfVersion5ReachTheEngineeringSummary)
{
    std::string text = kMovieText;
    text.replace(0, 7, "TZBOM/5");
    text.insert(text.find("rack\t扩展基板 1"), "cabinet\t236.5\t25.7\t\n");
    text.insert(text.find("overall"), "cabinet\t\t13.0\t1\n");
    text.insert(text.find("\nwarning"), "\nheat\t38.7\t1\nenclosure\t600\t2000\t500\t单独落地\t钢板\t5.5\t35\t45\t4.38\t240.9\t0.0");
    const orvane::BomReport report = Report(text);
    const std::string rows = orvane::BillOfMaterialsTabSeparated(report);
    EXPECT_NE(rows.find("\t导轨长度(mm)\t损耗(W)\n主基板\tZB-B04\tZP-P30\t3\t4\t760\t3000\t0\t600\t48\t236.5\t25.7\n扩展基板 1\t"
                        "ZB-E06\t\t0\t6\t170\t0\t0\t0\t0\t未知\t至少 13.0\n合计\t"),
              std::string::npos)
        << rows;
    EXPECT_NE(rows.find("总损耗(W)\t至少 38.7\n"), std::string::npos) << rows;
    EXPECT_NE(rows.find("机柜散热\t散热面积 4.38 m²，散热 240.9 W\n所需冷却(W)\t无需\n"), std::string::npos) << rows;
    std::string fourth = text;
    EXPECT_FALSE(orvane::ParseBillOfMaterials(fourth.replace(0, 7, "TZBOM/4"))) << "a version 4 bill has no cabinet lines";
    for (const auto& [line, wrong] : {std::pair{"cabinet\t236.5\t25.7\t", "cabinet\t-236.5\t25.7\t"}, {"cabinet\t236.5\t25.7\t", "cabinet\t236.5\t\t1"},
                                      {"cabinet\t236.5\t25.7\t", "cabinet\t236.5\t25.7\t2"}, {"heat\t38.7\t1", "heat\t3e1\t1"},
                                      {"\t240.9\t0.0", "\t240.9\tnone"}, {"cabinet\t236.5\t25.7\t", "cabinet\t236.5\t25.7\t\ncabinet\t1\t1\t"}}) {
        std::string damaged = text;
        EXPECT_FALSE(orvane::ParseBillOfMaterials(damaged.replace(damaged.find(line), std::string(line).size(), wrong))) << wrong;
    }
}
