#include "orvane/BillOfMaterials.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the movie gives for a CPU, a power supply and two kinds of modules,
// without a base.
const std::string kMovieText =
    "TZBOM/1\n"
    "item\tZC-220\t高性能，1024 点，以太网 2 口\t1\t0\t520\t0\n"
    "item\tZP-P30\t交流输入，5V 3.0A，24V 0.6A\t1\t0\t0\t0\n"
    "item\tZX-AO02\t2 通道 \"电压,电流\" 输出\t2\t2\t240\t280\n"
    "total\t2\t760\t280\n"
    "capacity\t0\t3000\t600\n"
    "io\t4\t1024\n"
    "warning\t尚未选择基板";

}  // namespace

TEST(BillOfMaterials, CsvHasByteOrderMarkHeaderItemsAndBudget)
{
    const auto bom = orvane::ParseBillOfMaterials(kMovieText);
    ASSERT_TRUE(bom);
    EXPECT_EQ(orvane::BillOfMaterialsCsv(*bom),
              "\xEF\xBB\xBF"
              "型号,说明,数量,占用槽位,5V电流(mA),24V电流(mA)\r\n"
              "ZC-220,高性能，1024 点，以太网 2 口,1,0,520,0\r\n"
              "ZP-P30,交流输入，5V 3.0A，24V 0.6A,1,0,0,0\r\n"
              "ZX-AO02,\"2 通道 \"\"电压,电流\"\" 输出\",2,2,240,280\r\n"
              "合计,,,2,760,280\r\n"
              "可用,基板槽位与电源容量,,0,3000,600\r\n"
              "I/O点数,CPU上限 1024,4,,,\r\n"
              "注意,尚未选择基板,,,,\r\n");
}

TEST(BillOfMaterials, ClipboardRowsAreTabSeparatedAndUnquoted)
{
    const auto bom = orvane::ParseBillOfMaterials(kMovieText);
    ASSERT_TRUE(bom);
    EXPECT_EQ(orvane::BillOfMaterialsTabSeparated(*bom),
              "型号\t说明\t数量\t占用槽位\t5V电流(mA)\t24V电流(mA)\n"
              "ZC-220\t高性能，1024 点，以太网 2 口\t1\t0\t520\t0\n"
              "ZP-P30\t交流输入，5V 3.0A，24V 0.6A\t1\t0\t0\t0\n"
              "ZX-AO02\t2 通道 \"电压,电流\" 输出\t2\t2\t240\t280\n"
              "合计\t\t\t2\t760\t280\n"
              "可用\t基板槽位与电源容量\t\t0\t3000\t600\n"
              "I/O点数\tCPU上限 1024\t4\t\t\t\n"
              "注意\t尚未选择基板\t\t\t\t\n");
}

TEST(BillOfMaterials, TextsThatASpreadsheetWouldRunStayText)
{
    const auto bom = orvane::ParseBillOfMaterials(
        "TZBOM/1\nitem\tZC-1\t=HYPERLINK(\"http://x\")\t1\t0\t5\t0\ntotal\t0\t5\t0\n"
        "capacity\t0\t0\t0\nio\t0\t0\nwarning\t+24V 外部电源\nwarning\t@SUM(1)\nwarning\t-5");
    ASSERT_TRUE(bom);
    const std::string csv = orvane::BillOfMaterialsCsv(*bom);
    EXPECT_NE(csv.find("ZC-1,\"'=HYPERLINK(\"\"http://x\"\")\",1,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("注意,'+24V 外部电源,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("注意,'@SUM(1),"), std::string::npos) << csv;
    EXPECT_NE(csv.find("注意,'-5,"), std::string::npos) << csv;
    EXPECT_NE(orvane::BillOfMaterialsTabSeparated(*bom).find("ZC-1\t'=HYPERLINK"), std::string::npos);
    // The printout shows the text as the movie gave it.
    EXPECT_EQ(orvane::BillOfMaterialsRows(*bom)[1][1], "=HYPERLINK(\"http://x\")");

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
    const std::string lines[] = {"TZBOM/1", "item\tC\tCPU\t1\t0\t5\t0", "total\t0\t5\t0", "capacity\t0\t0\t0",
                                 "io\t0\t0"};
    const auto join = [&](std::size_t leftOut, const std::string& extra) {
        std::string text;
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            if (i != leftOut)
                text += (text.empty() ? "" : "\n") + lines[i];
        }
        return text + extra;
    };
    ASSERT_TRUE(orvane::ParseBillOfMaterials(join(99, "")));
    for (std::size_t leftOut = 0; leftOut < std::size(lines); ++leftOut)
        EXPECT_FALSE(orvane::ParseBillOfMaterials(join(leftOut, ""))) << "without line " << leftOut;
    for (const std::string extra :
         {"\n", "\ntotal\t0\t5\t0", "\nitem\tD\tx\t1\t1\t1", "\nitem\t\tx\t1\t1\t1\t1", "\nitem\tD\tx\t-1\t1\t1\t1",
          "\nitem\tD\tx\t4294967296\t1\t1\t1", "\nitem\tD\tx\t1 \t1\t1\t1", "\nitem\tD\tx\r\t1\t1\t1\t1",
          "\nwarning\t", "\nnote\tx"})
        EXPECT_FALSE(orvane::ParseBillOfMaterials(join(99, extra))) << extra;
    EXPECT_FALSE(orvane::ParseBillOfMaterials(""));
}
