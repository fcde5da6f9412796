#include "TextEncoding.h"

#include "Handle.h"

#include <array>
#include <cerrno>

#include <iconv.h>

namespace orvane::detail {

bool ConvertToUtf8(std::string_view bytes, const std::string& encoding, std::string& utf8,
                   std::string& error)
{
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        error = "unsupported encoding \"" + encoding + "\"";
        return false;
    }
    const orvane::detail::Handle<void, iconv_close> closer(converter);

    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::array<char, 4096> chunk;
    utf8.clear();
    while (inLeft > 0) {
        char* out = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
        const int stopReason = converted == static_cast<std::size_t>(-1) ? errno : 0;
        utf8.append(chunk.data(), chunk.size() - outLeft);
        if (stopReason != 0 && stopReason != E2BIG) {
            error = "byte " + std::to_string(in - input.data()) + " is not valid " + encoding + " text";
            return false;
        }
    }
    // Stateful encodings (ISO-2022-JP) may still owe a shift back to the initial state.
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    utf8.append(chunk.data(), chunk.size() - outLeft);
    return true;
}

}  // namespace orvane::detail
