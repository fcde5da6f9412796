#pragma once
// The program's string table (UTF-8 texts by resource id).

#include <string>

namespace orvane {

// The program's title: the main window's caption, the about box's and the
// Flash Player notice's title, the printout's heading.
inline constexpr char kProgramTitle[] = "Torvex-Z series 选型系统";

enum : unsigned {
    IDS_ABOUTBOX = 101,             // "版本" (window menu item)
    IDS_TOOL_FILE_NEW = 32777,      // toolbar texts and tooltips, 32777..32780
    IDS_TOOL_FILE_OPEN = 32778,
    IDS_TOOL_FILE_SAVE = 32779,
    IDS_TOOL_FILE_SAVEAS = 32780,
    IDS_SVR_FILE_CHK = 32785,       // "Version Check"
    IDS_TERMS_INTRO = 32786,
    IDS_TERMS_RULES = 32787,
    IDS_TERMS_NOTES = 32788,
    IDS_ERR_CAPTION = 32789,        // "错误"
    IDS_SAVE_CAPTION = 32790,       // "保存"
    IDS_FILE_DAMAGED = 32791,
    IDS_FLASH_NOT_INSTALLED = 32792,
    IDS_FLASH_TOO_OLD = 32793,
    IDS_FLASH_TRADEMARK = 32794,
    IDS_ASK_SAVE = 32795,           // contains one %s
    IDS_CANNOT_CONTINUE = 32796,    // "不能继续处理。"
    IDS_SAVE_FILTER = 32797,
    IDS_OPEN_FILTER = 32798,
    IDS_UNTITLED = 32799,           // "无题.zsr"
    IDS_NO_DATA_TO_SAVE = 32800,
    IDS_MOVIE_UNREADABLE = 32801,   // the movie's selection could not be read
    IDS_OLD_FILE_KEPT = 32802,      // after a failed save
    IDS_PLAYER_STOPPED = 32803,
    IDS_PLAYER_GAVE_UP = 32804,
    IDS_RESTORE_CAPTION = 32805,    // "恢复"
    IDS_RESTORE_AFTER_STOP = 32806,
    IDS_RESTORE_ORPHAN = 32807,     // contains one %s: when the copy was kept
    IDS_OLD_FILE_DAMAGED = 32811,   // after a save in place failed part-way
    IDS_FILE_CHANGED_ON_DISK = 32820,     // contains one %s: the file another program changed
    IDS_RECOVERY_FOLDER_REFUSED = 32821,  // contains one %s: the folder
    IDS_RECOVERY_NOT_KEPT = 32822,
    IDS_RECOVERY_DAMAGED = 32823,         // contains one %s: where the damaged copy was put
    IDS_EXIT_AFTER_PLAYER_GAVE_UP = 32824,  // the unsaved work is in the recovery copy
};

// The text of a string resource; "" for an unknown id.
[[nodiscard]] std::string LoadResString(unsigned id);
// The text of a string resource with its "%s" replaced by argument (the text
// as it is when it has none).
[[nodiscard]] std::string LoadResString(unsigned id, const std::string& argument);

// String 32796 followed directly by an error code, e.g. "不能继续处理。(#1001)".
[[nodiscard]] std::string MakeErrorText(const std::string& code);

}  // namespace orvane
