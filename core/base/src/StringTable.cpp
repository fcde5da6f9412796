#include "orvane/StringTable.h"

#include <map>

namespace {

const std::map<unsigned, const char*>& Table()
{
    static const std::map<unsigned, const char*> table = {
        {orvane::IDS_ABOUTBOX, "版本"},
        {orvane::IDS_TOOL_FILE_NEW, "新建"},
        {orvane::IDS_TOOL_FILE_OPEN, "打开"},
        {orvane::IDS_TOOL_FILE_SAVE, "保存"},
        {orvane::IDS_TOOL_FILE_SAVEAS, "另存为"},
        {orvane::IDS_SVR_FILE_CHK, "Version Check"},
        {orvane::IDS_TERMS_INTRO, "请在使用此系统之前,仔细阅读下列使用条例与注意事项。\r\n\r\n"},
        {orvane::IDS_TERMS_RULES,
         "＜使用条例＞\r\n"
         "1. 本系统供本公司产品的客户在机型选择阶段使用。\r\n"
         "2. 本系统是选择 Torvex-Z 系列机型的参考指南，选型结果仅供参考，"
         "最终决定请以产品目录和使用手册为准。\r\n"
         "3. 对于因使用本指南而产生的任何损害，本公司不承担任何责任，也不接受任何索赔。\r\n"
         "4. 请使用 Adobe Flash Player 9 或更高版本。\r\n\r\n"},
        {orvane::IDS_TERMS_NOTES,
         "＜注意事项＞\r\n"
         "1. 各模块的消耗电流和占用槽位以产品目录记载的数值为准。\r\n"
         "2. 选型数据保存为 .zsr 文件，请勿用其他程序修改其内容。\r\n"
         "3. 规格可能在未通知的情况下变更，订购前请确认最新资料。\r\n"},
        {orvane::IDS_ERR_CAPTION, "错误"},
        {orvane::IDS_SAVE_CAPTION, "保存"},
        {orvane::IDS_FILE_DAMAGED, "该文件内容已损坏或失效。\r\n文件不能被使用。"},
        {orvane::IDS_FLASH_NOT_INSTALLED,
         "本程序需要 Adobe(R) Flash(R) Player 9或更高版本。请从以下图标获取Adobe(R) Flash(R) player。"},
        {orvane::IDS_FLASH_TOO_OLD,
         "本程序需要 Adobe(R) Flash(R) Player 9或更高版本。请从以下图标获取Adobe(R) Flash(R) player。"},
        {orvane::IDS_FLASH_TRADEMARK,
         "Adobe(R) Flash®是Adobe Systems Incorporated在US和其它国家的注册商标。"},
        {orvane::IDS_ASK_SAVE, "文件“%s”的内容已经改变。是否需要保存修改？"},
        {orvane::IDS_CANNOT_CONTINUE, "不能继续处理。"},
        {orvane::IDS_SAVE_FILTER, "Z系列机型选择指南系统数据(*.zsr)|*.zsr||"},
        {orvane::IDS_OPEN_FILTER, "Z系列机型选择指南系统数据(*.zsr)|*.zsr|全部文件(*.*)|*.*||"},
        {orvane::IDS_UNTITLED, "无题.zsr"},
        {orvane::IDS_NO_DATA_TO_SAVE, "没有数据保存。"},
        {orvane::IDS_MOVIE_UNREADABLE, "无法读取当前的选型数据，未保存的修改可能会丢失。\r\n是否仍要继续？"},
        {orvane::IDS_OLD_FILE_KEPT, "原文件未被改动。"},
        {orvane::IDS_OLD_FILE_DAMAGED, "原文件可能已损坏，请用“另存为”将选型数据保存到其他文件。"},
        {orvane::IDS_PLAYER_STOPPED, "选型画面意外停止，正在重新启动。\r\n重新启动后可以恢复停止前的选型数据。"},
        {orvane::IDS_PLAYER_GAVE_UP,
         "选型画面多次意外停止，无法继续。\r\n最近自动保存的选型数据将在下次启动时提供恢复。"},
        {orvane::IDS_EXIT_AFTER_PLAYER_GAVE_UP,
         "选型画面已停止，无法再保存选型数据。\r\n尚未保存的修改已保存在自动恢复文件中，下次启动程序时会提供恢复。"},
        {orvane::IDS_RESTORE_CAPTION, "恢复"},
        {orvane::IDS_RESTORE_AFTER_STOP, "选型画面已重新启动。是否恢复停止前尚未保存的选型数据？"},
        {orvane::IDS_RESTORE_ORPHAN, "找到了上次未正常结束时自动保存的选型数据（%s）。是否恢复？"},
        {orvane::IDS_FILE_CHANGED_ON_DISK,
         "文件“%s”在打开或上次保存之后已被其他程序修改。\r\n是否仍要用当前的选型数据覆盖它？"},
        {orvane::IDS_RECOVERY_FOLDER_REFUSED,
         "自动恢复文件夹“%s”不属于当前用户或是一个链接，无法使用。\r\n未保存的修改将不会被自动保留，请及时保存。"},
        {orvane::IDS_RECOVERY_NOT_KEPT, "无法保存自动恢复数据，未保存的修改将不会被自动保留，请及时保存。"},
        {orvane::IDS_RECOVERY_DAMAGED, "上次自动保存的一份选型数据已损坏，无法恢复。\r\n该文件已移至“%s”。"},
    };
    return table;
}

}  // namespace

std::string orvane::LoadResString(unsigned id)
{
    const auto& table = Table();
    const auto it = table.find(id);
    return it == table.end() ? std::string() : std::string(it->second);
}

std::string orvane::LoadResString(unsigned id, const std::string& argument)
{
    std::string text = LoadResString(id);
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

std::string orvane::MakeErrorText(const std::string& code)
{
    return orvane::LoadResString(orvane::IDS_CANNOT_CONTINUE) + code;
}
