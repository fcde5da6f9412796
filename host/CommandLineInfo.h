#pragma once
// orvane --help and --version: short texts for a shell, answered before
// anything of Qt starts (no display needed). They are Chinese, as the
// window is, when the locale's language is Chinese, English otherwise.

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// The text to print when the command line only asks for help or the version
// (one argument: --help, -h or --version), else nullopt. messagesLocale
// names the locale of messages, for example "zh_CN.UTF-8".
std::optional<std::string> CommandLineInfoText(const std::vector<std::string>& arguments,
                                               const std::string& messagesLocale);

// The locale of messages as the environment names it: LC_ALL, else
// LC_MESSAGES, else LANG (the first one set and not empty).
std::string EnvironmentMessagesLocale();

}  // namespace orvane
