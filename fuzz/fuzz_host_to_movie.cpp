// Host text to the movie and back: the host writes a request with a name and
// a text, the player's reader takes both out, the player writes the text as
// its reply and the host reads it. WTF-8 without NUL arrives exactly; any
// other text arrives as WTF-8 that then makes the same trip unchanged.

#include "orvane/ExternalValue.h"
#include "orvane/InvokeMessage.h"
#include "orvane/Wtf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

// The name and text that reach the movie; the text also makes the way back
// in the movie's reply, unchanged.
std::pair<std::string, std::string> ThereAndBack(const std::string& name, const std::string& text)
{
    const auto call = orvane::ReadInvoke(_MakeInvokeXml(name, text));
    if (!call || !orvane::IsWtf8(call->name) || call->arguments.size() != (text.empty() ? 0 : 1))
        std::abort();
    if (text.empty())
        return {call->name, text};
    const orvane::ExternalValue& argument = call->arguments[0];
    std::string returned;
    if (argument.kind != orvane::ExternalValue::Kind::String || !orvane::IsWtf8(argument.text) ||
        orvane::ParseReturnString(orvane::WriteReply(argument), returned) != orvane::ReplyStatus::Ok || returned != argument.text)
        std::abort();
    return {call->name, argument.text};
}

bool TravelsUnchanged(const std::string& text) { return orvane::IsWtf8(text) && text.find('\0') == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The input split at its first 0xFF byte, which no WTF-8 text holds, into
    // a function name and a text.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\xFF');
    const std::string name = cut == std::string::npos ? "f" : input.substr(0, cut);
    const std::string text = cut == std::string::npos ? input : input.substr(cut + 1);

    const auto arrived = ThereAndBack(name, text);
    if ((TravelsUnchanged(name) && arrived.first != name) || (TravelsUnchanged(text) && arrived.second != text))
        std::abort();
    if (arrived != std::pair(name, text) && ThereAndBack(arrived.first, arrived.second) != arrived)
        std::abort();
    return 0;
}
