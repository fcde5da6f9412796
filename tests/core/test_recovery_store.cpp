// orvane::RecoveryStore: the folder must be the user's own, and what killed
// runs leave behind is found (copies) or cleared away (lock files).

#include "orvane/RecoveryStore.h"

#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

unsigned ModeOf(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class RecoveryStoreTest : public ::testing::Test {
protected:
    ScopedTempFolder m_temp;
};

TEST_F(RecoveryStoreTest, OnlyAFolderOfTheUsersOwnIsUsedAndMadePrivate)
{
    // A link to a folder everybody may write to: refused, the folder untouched.
    const fs::path shared = m_temp.path() / "shared";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    fs::create_directory_symlink(shared, m_temp.path() / "linked");
    orvane::RecoveryStore linked((m_temp.path() / "linked").string() + "/");
    EXPECT_EQ(linked.Open().systemError, EACCES);
    EXPECT_EQ(ModeOf(shared), 01777u);
    EXPECT_TRUE(fs::is_empty(shared));

    // The user's own folder, open to others: made private and used.
    const fs::path own = m_temp.path() / "own";
    fs::create_directory(own);
    ::chmod(own.c_str(), 0755);
    orvane::RecoveryStore store(own.string());
    EXPECT_TRUE(store.Open());
    EXPECT_EQ(ModeOf(own), 0700u);

    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for another user's folder";
    // Another user's folder, open to all: refused and left as it is.
    const fs::path foreign = m_temp.path() / "foreign";
    fs::create_directory(foreign);
    ASSERT_EQ(::chown(foreign.c_str(), 61004, 61004), 0);
    ::chmod(foreign.c_str(), 0777);
    orvane::RecoveryStore intruder(foreign.string());
    EXPECT_FALSE(intruder.Open());
    EXPECT_EQ(ModeOf(foreign), 0777u);
}

TEST_F(RecoveryStoreTest, LockFilesOfKilledRunsWithoutACopyAreCleared)
{
    const std::string folder = m_temp.slashed();
    const auto makeLock = [&](const std::string& name, bool old) {
        std::ofstream(folder + name);
        if (old) {
            const auto then = fs::file_time_type::clock::now() - std::chrono::hours(1);
            fs::last_write_time(folder + name, then);
        }
    };
    makeLock("1-a.lock", true);   // a killed run that had nothing unsaved
    makeLock("2-b.lock", false);  // a run that is just starting
    makeLock("3-c.lock", true);   // a killed run whose copy waits for this start
    std::ofstream(folder + "3-c.zsr") << "copy";

    orvane::RecoveryStore store(folder);
    ASSERT_TRUE(store.Open());
    EXPECT_FALSE(fs::exists(folder + "1-a.lock"));
    EXPECT_TRUE(fs::exists(folder + "2-b.lock"));
    EXPECT_TRUE(fs::exists(folder + "3-c.lock"));

    // A copy that cannot be read is moved out of the way of later starts.
    const std::vector<orvane::RecoveryOrphan> orphans = store.FindOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_FALSE(orvane::RecoveryStore::Read(orphans[0].path));
    EXPECT_EQ(orvane::RecoveryStore::SetAside(orphans[0]), folder + "3-c.zsr.damaged");
    EXPECT_TRUE(store.FindOrphans().empty());
    EXPECT_FALSE(fs::exists(folder + "3-c.lock"));
}

}  // namespace
