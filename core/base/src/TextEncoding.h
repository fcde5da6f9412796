#pragma once
// Text in another encoding as UTF-8, through iconv.

#include <string>
#include <string_view>

namespace orvane::detail {

// bytes, in the encoding iconv knows by encoding, as UTF-8 in utf8. false,
// with why in error, when iconv has no such encoding or a byte is not text of it.
[[nodiscard]] bool ConvertToUtf8(std::string_view bytes, const std::string& encoding, std::string& utf8,
                                 std::string& error);

}  // namespace orvane::detail
