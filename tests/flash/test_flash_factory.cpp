// The player check's outcomes: runtime missing, creation failure, version.
#include "RufflePlayerFactory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FlashFactoryTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const char* name : {"ORVANE_FLASH_RUNTIME", "ORVANE_FLASH_VERSION", "ORVANE_FLASH_FAIL"})
            qunsetenv(name);
    }
    orvane::FlashCreateResult create(const QString& appDir = ORVANE_BIN_DIR) { return orvane::RufflePlayerFactory(appDir)(); }
};

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

}  // namespace

TEST_F(FlashFactoryTest, CreatesThePlayerBesideTheProgram)
{
    const orvane::FlashCreateResult result = create();
    ASSERT_EQ(result.status, orvane::FlashCreateStatus::Ok);
    ASSERT_TRUE(result.player);
    EXPECT_EQ(result.player->FlashVersion(), 32 << 16);
    EXPECT_TRUE(result.player->View());
}

TEST_F(FlashFactoryTest, InjectedVersionIsReported)
{
    qputenv("ORVANE_FLASH_VERSION", "589823");
    orvane::FlashCreateResult result = create();
    ASSERT_EQ(result.status, orvane::FlashCreateStatus::Ok);
    EXPECT_EQ(result.player->FlashVersion(), 589823);
    qputenv("ORVANE_FLASH_VERSION", "0x90000");
    result = create();
    EXPECT_EQ(result.player->FlashVersion(), 0x90000);
}

TEST_F(FlashFactoryTest, MissingRuntimeIsClassNotRegistered)
{
    QTemporaryDir appDir;
    EXPECT_EQ(create(appDir.path()).status, orvane::FlashCreateStatus::ClassNotRegistered);

    // A runtime folder with ruffle.js alone is not a runtime.
    QTemporaryDir runtime;
    Touch(runtime.filePath("ruffle.js"));
    qputenv("ORVANE_FLASH_RUNTIME", runtime.path().toUtf8());
    const orvane::FlashCreateResult partial = create();
    EXPECT_EQ(partial.status, orvane::FlashCreateStatus::ClassNotRegistered);
    EXPECT_FALSE(partial.player);

    qputenv("ORVANE_FLASH_RUNTIME", QDir(ORVANE_BIN_DIR).filePath("ruffle").toUtf8());
    EXPECT_EQ(create(appDir.path()).status, orvane::FlashCreateStatus::Ok);
}

TEST_F(FlashFactoryTest, SimulatedFailureCarriesItsCode)
{
    qputenv("ORVANE_FLASH_FAIL", "0x80070005");
    orvane::FlashCreateResult result = create();
    EXPECT_EQ(result.status, orvane::FlashCreateStatus::Failed);
    EXPECT_EQ(result.error, static_cast<std::int32_t>(0x80070005u));
    EXPECT_FALSE(result.player);

    qputenv("ORVANE_FLASH_FAIL", "not a number");
    result = create();
    EXPECT_EQ(result.status, orvane::FlashCreateStatus::Failed);
    EXPECT_NE(result.error, 0);
}
