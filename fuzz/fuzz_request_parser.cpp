// Both request readers on arbitrary text, and the request writers on what
// they read: the host's name reader agrees with the player's full reader,
// what the player reads it writes back unchanged, and a name the host writes
// always parses back.

#include "orvane/ExternalValue.h"
#include "orvane/InvokeMessage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string NameRoundTrip(const std::string& name, const std::string& argument)
{
    orvane::InvokeCall parsed;
    if (orvane::ReadInvokeRequest(_MakeInvokeXml(name, argument), parsed) != orvane::RequestStatus::Ok)
        std::abort();
    return parsed.name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    orvane::InvokeCall call;
    const orvane::RequestStatus status = orvane::ReadInvokeRequest(input, call);
    const bool named = status == orvane::RequestStatus::Ok || status == orvane::RequestStatus::BadArguments;
    if ((!named && !call.name.empty()) || (status != orvane::RequestStatus::Ok && !call.arguments.empty()))
        std::abort();
    if (status == orvane::RequestStatus::Ok && orvane::ReadInvoke(orvane::WriteInvoke(call)) != call)
        std::abort();

    // The input split at its first NUL into a function name and an argument.
    const std::size_t cut = input.find('\0');
    const std::string callName = input.substr(0, cut);
    const std::string argument = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    const std::string written = NameRoundTrip(callName, argument);
    if (NameRoundTrip(written, argument) != written)
        std::abort();
    return 0;
}
