// Selection files: the text as the program opens it, and each read and
// write's outcome as one value.

#include "orvane/SelectionFile.h"
#include "orvane/StringTable.h"

#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using orvane::SelectionFile;
using orvane::SelectionText;

TEST(SelectionText, IsTheContentAsTheProgramOpensIt)
{
    EXPECT_EQ(SelectionFile::TextOf("TZSEL/3\nname=选型\t\x7f"), "TZSEL/3\nname=选型\t\x7f");
    EXPECT_EQ(SelectionFile::TextOf(std::string("TZSEL/1\0junk", 12)), "TZSEL/1");  // ends at its first zero byte
    EXPECT_EQ(SelectionFile::TextOf("name=\xd1\xa1\xd0\xcd"), "name=选型");  // the Chinese code page of old
    EXPECT_EQ(SelectionFile::TextOf("\x81\x30"), "\x81\x30");                // neither: kept as it is
    EXPECT_FALSE(SelectionFile::TextOf(""));
    EXPECT_FALSE(SelectionFile::TextOf(std::string("\0TZSEL/1", 8)));
}

TEST(SelectionFileRead, TellsWhatWasFound)
{
    const ScopedTempFolder folder;
    const std::string missing = folder.slashed() + "missing.zsr";
    const SelectionText unreadable = SelectionFile::Read(missing);
    EXPECT_EQ(unreadable.status, SelectionText::Status::Unreadable);
    EXPECT_EQ(unreadable.content.result, orvane::READ_DATA_FAILED);
    EXPECT_EQ(unreadable.content.systemError, ENOENT);

    const std::string empty = folder.slashed() + "empty.zsr";
    ASSERT_TRUE(SelectionFile::Write(empty, ""));
    EXPECT_EQ(SelectionFile::Read(empty).status, SelectionText::Status::NotText);

    const std::string legacy = folder.slashed() + "legacy.zsr";
    ASSERT_TRUE(SelectionFile::Write(legacy, "\xd1\xa1\xd0\xcd"));
    const SelectionText read = SelectionFile::Read(legacy);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.text, "选型");
    EXPECT_EQ(SelectionFile::ReadContent(legacy).bytes, "\xd1\xa1\xd0\xcd");  // the content stays byte for byte
}

TEST(SelectionFileWrite, TellsWhatHappenedToTheFileThatWasThere)
{
    const ScopedTempFolder folder;
    const std::string path = folder.slashed() + "a.zsr";
    const orvane::FileWriteResult created = SelectionFile::Write(path, "one");
    EXPECT_TRUE(created.written);
    EXPECT_FALSE(created.existed);
    EXPECT_TRUE(SelectionFile::Write(path, "two").existed);

    const orvane::FileWriteResult failed = SelectionFile::Write(folder.slashed() + "no/such/b.zsr", "three");
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.systemError, ENOENT);
    EXPECT_EQ(SelectionFile::FailureText(failed), "不能继续处理。(#2001)");
    EXPECT_EQ(SelectionFile::FailureText({.existed = true, .targetDamaged = true}),
              "不能继续处理。(#2001)\n" + orvane::LoadResString(orvane::IDS_OLD_FILE_DAMAGED));
}

}  // namespace
