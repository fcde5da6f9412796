#include "InitialProperties.h"

#include <gtest/gtest.h>

namespace {

// The block of control 1000 as a hex listing, one typed value a line.
const QByteArray kExpectedBlock = QByteArray::fromHex(
    "E803 7603 EA000000"                                  // id 1000, message 0x0376, 234 data bytes
    "00000000 67556655 10070000 1D190000 2F1B0000"        // 0, "gUfU", 0x710, 6429, 6959
    "0800 02000000 0000"                                  // (1) movie ""
    "0800 00000000"                                       // (2) "" count 0
    "0800 00000000"                                       // (3) "" count 0
    "0800 0E000000 570069006E0064006F0077000000"          // (4) "Window"
    "0B00 FFFF"                                           // (5) true
    "0B00 FFFF"                                           // (6) true
    "0800 0A000000 48006900670068000000"                  // (7) "High"
    "0800 02000000 0000"                                  // (8) ""
    "0B00 FFFF"                                           // (9) true
    "0800 02000000 0000"                                  // (10) ""
    "0800 02000000 0000"                                  // (11) ""
    "0800 10000000 530068006F00770041006C006C000000"      // (12) "ShowAll"
    "0B00 0000"                                           // (13) false
    "0B00 0000"                                           // (14) false
    "0800 02000000 0000"                                  // (15) ""
    "0800 00000000"                                       // (16) "" count 0
    "0800 02000000 0000"                                  // (17) ""
    "0D00 00000000000000000000000000000000"               // (18) no object
    "0B00 0100"                                           // (19) flag 1
    "0B00 0000"                                           // (20) false
    "0800 00000000"                                       // (21) "" count 0
    "0300 00000000"                                       // (22) integer 0
    "0800 08000000 61006C006C000000"                      // (23) "all"
    "0800 0C000000 660061006C00730065000000"              // (24) "false"
    "0000");                                              // closing zero

QByteArray WithData(QByteArray block, const QByteArray& data)
{
    // Replaces the data and fixes up the length field.
    const quint32 length = static_cast<quint32>(data.size());
    block = block.left(4) + QByteArray(reinterpret_cast<const char*>(&length), 4) + data + QByteArray(2, '\0');
    return block;
}

QByteArray Data(const QByteArray& block) { return block.mid(8, block.size() - 10); }

}  // namespace

TEST(InitialProperties, BlockIsByteForByte)
{
    ASSERT_EQ(kExpectedBlock.size(), 244);
    EXPECT_EQ(orvane::ControlInitialPropertiesBlock().toHex(' '), kExpectedBlock.toHex(' '));
}

TEST(InitialProperties, ParsesWhatThePlayerUses)
{
    const auto properties = orvane::ParseInitialProperties(orvane::ControlInitialPropertiesBlock());
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->movie, "");
    EXPECT_EQ(properties->quality, "High");
    EXPECT_EQ(properties->scaleMode, "ShowAll");
    EXPECT_EQ(properties->windowMode, "Window");
    EXPECT_EQ(properties->allowNetworking, "all");
    EXPECT_EQ(properties->allowFullScreen, "false");
}

TEST(InitialProperties, ReadsTheValuesFromTheBlock)
{
    QByteArray block = orvane::ControlInitialPropertiesBlock();
    const qsizetype high = block.indexOf(QByteArray("H\0i\0g\0h\0", 8));
    ASSERT_GT(high, 0);
    block.replace(high, 8, QByteArray("B\0e\0s\0t\0", 8));
    const qsizetype all = block.indexOf(QByteArray("a\0l\0l\0", 6));
    block.replace(all, 6, QByteArray("n\0o\0n\0", 6));
    const auto properties = orvane::ParseInitialProperties(block);
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->quality, "Best");
    EXPECT_EQ(properties->allowNetworking, "non");
}

TEST(InitialProperties, RefusesEveryTruncation)
{
    const QByteArray block = orvane::ControlInitialPropertiesBlock();
    for (qsizetype size = 0; size < block.size(); ++size)
        EXPECT_FALSE(orvane::ParseInitialProperties(block.left(size))) << "size " << size;
    // Truncated data with a matching length field.
    for (qsizetype size = 0; size < 234; ++size)
        EXPECT_FALSE(orvane::ParseInitialProperties(WithData(block, Data(block).left(size)))) << "data size " << size;
}

TEST(InitialProperties, RefusesDamagedFields)
{
    const QByteArray good = orvane::ControlInitialPropertiesBlock();
    auto damaged = [&](qsizetype offset, char value) {
        QByteArray block = good;
        block[offset] = value;
        return block;
    };
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(0, 0x01))) << "control id";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(2, 0x77))) << "message";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(4, 0xEB))) << "length";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(243, 0x01))) << "closing zero";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(8, 0x01))) << "framework data";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(12, 'h'))) << "magic";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(28, 0x09))) << "unknown variant type";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(30, 0x03))) << "odd text count";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(33, 0x01))) << "text count past the end";
    EXPECT_FALSE(orvane::ParseInitialProperties(damaged(34, 'x'))) << "text without its terminating zero";

    EXPECT_FALSE(orvane::ParseInitialProperties(WithData(good, Data(good) + QByteArray("\x0B\0\0\0", 4)))) << "25 values";
    QByteArray flagForText = Data(good);
    // (1) the movie as a flag: 0B00 0000 instead of 0800 02000000 0000, length fixed up
    flagForText.replace(20, 8, QByteArray("\x0B\0\0\0", 4));
    EXPECT_FALSE(orvane::ParseInitialProperties(WithData(good, flagForText))) << "flag where the movie text belongs";
}
