// The reply parser on arbitrary text, and the reply writer on the text it
// yields: whatever the writer is given, its output parses, WTF-8 comes back
// exactly, and writing the parsed text again changes nothing.

#include "orvane/InvokeMessage.h"
#include "orvane/Wtf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string ReplyRoundTrip(const std::string& value)
{
    std::string text;
    if (orvane::ParseReturnString(orvane::MakeStringReply(value), text) != orvane::ReplyStatus::Ok || !orvane::IsWtf8(text))
        std::abort();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string text;
    const orvane::ReplyStatus status = orvane::ParseReturnString(input, text);
    if (status != orvane::ReplyStatus::Ok && !text.empty())
        std::abort();
    if (status == orvane::ReplyStatus::Ok && !orvane::IsWtf8(text))
        std::abort();

    const std::string written = ReplyRoundTrip(input);
    if (orvane::IsWtf8(input) && input.find('\0') == std::string::npos && written != input)
        std::abort();
    if (ReplyRoundTrip(written) != written)
        std::abort();
    if (status == orvane::ReplyStatus::Ok && ReplyRoundTrip(text) != text)
        std::abort();
    return 0;
}
