#include "orvane/StringTable.h"

#include <gtest/gtest.h>

// The texts shown in message boxes and file dialogs, byte for byte.
TEST(StringTable, MessageTextsAreExact)
{
    EXPECT_EQ(orvane::LoadResString(32789), "错误");
    EXPECT_EQ(orvane::LoadResString(32790), "保存");
    EXPECT_EQ(orvane::LoadResString(32791), "该文件内容已损坏或失效。\r\n文件不能被使用。");
    EXPECT_EQ(orvane::LoadResString(32795), "文件“%s”的内容已经改变。是否需要保存修改？");
    EXPECT_EQ(orvane::LoadResString(32796), "不能继续处理。");
    EXPECT_EQ(orvane::LoadResString(32797), "Z系列机型选择指南系统数据(*.zsr)|*.zsr||");
    EXPECT_EQ(orvane::LoadResString(32798), "Z系列机型选择指南系统数据(*.zsr)|*.zsr|全部文件(*.*)|*.*||");
    EXPECT_EQ(orvane::LoadResString(32799), "无题.zsr");
    EXPECT_EQ(orvane::LoadResString(32800), "没有数据保存。");
}

TEST(StringTable, UnknownIdGivesEmptyText)
{
    EXPECT_EQ(orvane::LoadResString(0), "");
    EXPECT_EQ(orvane::LoadResString(orvane::IDS_RESTORE_ORPHAN + 1), "");
}

TEST(StringTable, ErrorTextIsCannotContinueDirectlyFollowedByTheCode)
{
    EXPECT_EQ(orvane::MakeErrorText("(#1001)"), "不能继续处理。(#1001)");
    EXPECT_EQ(orvane::MakeErrorText("(#10001)"), "不能继续处理。(#10001)");
}
