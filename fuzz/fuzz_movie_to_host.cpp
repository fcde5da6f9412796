// Movie values to the host: values of every kind with texts of arbitrary
// UTF-16 units (U+0000, which no movie string carries, aside) are written as
// the player writes them. The player's reader gives the same values back, and
// the host's reply reader takes a string reply's text exactly.

#include "orvane/ExternalValue.h"
#include "orvane/InvokeMessage.h"
#include "orvane/Wtf8.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

using Kind = orvane::ExternalValue::Kind;

// Units a byte picks: the ones each rule of the codec is about, and Latin-1;
// the highest picks take any unit from the next two bytes.
constexpr char16_t kTelling[] = {u'\x01', u'\t', u'\n', u'\x0C', u'\r', u'\x1F', u'&', u'<', u'>', u'"', u'\'',
                                 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xD83D, 0xDE00, 0xFFFE, 0xFFFF, 0xFFFD, 0x4E2D};

std::string MovieText(FuzzedDataProvider& data)
{
    std::u16string units(data.ConsumeIntegralInRange<std::size_t>(0, 12), u'\0');
    for (char16_t& unit : units) {
        const std::uint8_t pick = data.ConsumeIntegral<std::uint8_t>();
        if (pick < std::size(kTelling))
            unit = kTelling[pick];
        else if (pick < 0xF0)
            unit = pick;
        else
            unit = data.ConsumeIntegralInRange<char16_t>(1, 0xFFFF);
    }
    return orvane::Wtf16ToWtf8(units);
}

orvane::ExternalValue MovieValue(FuzzedDataProvider& data, int depth)
{
    const auto kind = static_cast<Kind>(data.ConsumeIntegralInRange<int>(0, depth < 3 ? 7 : 5));
    orvane::ExternalValue value{kind, {}, {}};
    if (kind == Kind::String)
        value.text = MovieText(data);
    else if (kind == Kind::Number)
        value.text = std::to_string(data.ConsumeIntegral<std::int32_t>());
    for (int i = 0, count = data.ConsumeIntegralInRange<int>(0, 2); i < count && kind >= Kind::Array; ++i)
        value.properties.push_back({kind == Kind::Array ? std::to_string(i) : MovieText(data), MovieValue(data, depth + 1)});
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    orvane::InvokeCall call{MovieText(data), {}};
    while (data.remaining_bytes() > 0 && call.arguments.size() < 3)
        call.arguments.push_back(MovieValue(data, 0));

    // The host's name reader is held to the player's reader by fuzz_request_parser.
    if (orvane::ReadInvoke(orvane::WriteInvoke(call)) != call)
        std::abort();

    // The first value as the movie's reply.
    const orvane::ExternalValue nameText{Kind::String, call.name, {}};
    const orvane::ExternalValue& reply = call.arguments.empty() ? nameText : call.arguments.front();
    std::string text = "stale";
    const orvane::ReplyStatus status = orvane::ParseReturnString(orvane::WriteReply(reply), text);
    if (reply.kind == Kind::String ? status != orvane::ReplyStatus::Ok || text != reply.text
                                   : status != orvane::ReplyStatus::NotString || !text.empty())
        std::abort();
    return 0;
}
