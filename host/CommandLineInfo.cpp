#include "CommandLineInfo.h"

#include <cstdlib>

namespace orvane {

namespace {

constexpr char kHelpChinese[] =
    "用法：orvane [文件.zsr]\n"
    "      orvane --export 文件.zsr 输出文件 [--caex 2.15|3.0]\n"
    "Torvex-Z series 选型系统：选择 Torvex-Z 系列可编程控制器的"
    " CPU 单元、电源、基板和模块。\n"
    "\n"
    "  文件.zsr     选型数据文件，选型影片就绪后打开\n"
    "  --export     不显示窗口，把选型写入输出文件，按扩展名："
    ".aml（AutomationML 硬件配置，\n"
    "               供 PLC 编程和电气设计软件导入）、"
    ".xlsx、.csv 或 .pdf（物料清单）；\n"
    "               .aml 默认为 CAEX 2.15，--caex 3.0 写 CAEX 3.0；\n"
    "               失败时在标准错误上说明原因，退出状态 2–6（详见 man orvane）\n"
    "  --help       显示此帮助并退出\n"
    "  --version    显示版本信息并退出\n"
    "\n"
    "环境变量 ORVANE_CONSOLE=1：在标准错误上显示浏览器引擎和播放器的消息。\n"
    "详见 man orvane。\n";

constexpr char kHelpEnglish[] =
    "Usage: orvane [FILE.zsr]\n"
    "       orvane --export FILE.zsr OUTPUT [--caex 2.15|3.0]\n"
    "Torvex-Z series 选型系统, the selection guide that picks the CPU unit, power supply,\n"
    "base and modules of a Torvex-Z programmable controller.\n"
    "\n"
    "  FILE.zsr     a selection file, opened once the selection movie is ready\n"
    "  --export     write the selection to OUTPUT without a window, as its extension says:\n"
    "               .aml (the hardware as AutomationML, for PLC engineering and ECAD tools),\n"
    "               .xlsx, .csv or .pdf (the bill of materials); .aml is CAEX 2.15 unless\n"
    "               --caex 3.0 is given; a failure is told on\n"
    "               standard error with exit status 2 to 6 (see man orvane)\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "With ORVANE_CONSOLE=1 the web engine's and the player's messages appear on standard error.\n"
    "See man orvane.\n";

constexpr char kVersionChinese[] =
    "orvane " ORVANE_VERSION "\n"
    "版权所有 (C) 2026 Torvex Controls\n"
    "许可证：Apache License 2.0 <https://www.apache.org/licenses/LICENSE-2.0>\n";

constexpr char kVersionEnglish[] =
    "orvane " ORVANE_VERSION "\n"
    "Copyright (C) 2026 Torvex Controls\n"
    "License: Apache License 2.0 <https://www.apache.org/licenses/LICENSE-2.0>\n";

bool IsChinese(const std::string& locale) { return locale.rfind("zh", 0) == 0; }

}  // namespace

std::optional<std::string> CommandLineInfoText(const std::vector<std::string>& arguments,
                                               const std::string& messagesLocale)
{
    if (arguments.size() != 2)
        return std::nullopt;
    const bool chinese = IsChinese(messagesLocale);
    if (arguments[1] == "--help" || arguments[1] == "-h")
        return chinese ? kHelpChinese : kHelpEnglish;
    if (arguments[1] == "--version")
        return chinese ? kVersionChinese : kVersionEnglish;
    return std::nullopt;
}

std::string EnvironmentMessagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

}  // namespace orvane
