// Without a widget application Qt WebEngine cannot run: creation fails with
// an error code rather than "not registered".
#include "RufflePlayerFactory.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(FlashFactoryHeadless, WebEngineUnusableIsAFailureWithACode)
{
    const orvane::FlashCreateResult result = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
    EXPECT_EQ(result.status, orvane::FlashCreateStatus::Failed);
    EXPECT_EQ(result.error, static_cast<std::int32_t>(0x80004005u));
    EXPECT_FALSE(result.player);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
