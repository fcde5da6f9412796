#pragma once
// The user's data folder as the catalogue store lays it out: the link
// "catalog" naming the pair in use, ".catalog-XXXXXX/" folders holding a
// pair, and the install lock ".catalog.lock".

#include <optional>
#include <string>

namespace orvane::detail {

inline constexpr const char* kCatalogLinkName = "catalog";
inline constexpr const char* kCatalogPairPrefix = ".catalog-";
inline constexpr const char* kCatalogLockName = ".catalog.lock";

// The pair folder the link names (with a trailing '/'), or nullopt when
// there is no link of the program's; dataFolder ends with '/'.
[[nodiscard]] std::optional<std::string> PairInUse(const std::string& dataFolder);

// What is at path when it is not what it should be, in Chinese ("一个普通文件",
// "一个指向普通文件的链接", "一个 FIFO（命名管道）"); "" when nothing is there.
[[nodiscard]] std::string FoundAt(const std::string& path);

}  // namespace orvane::detail
