#pragma once
// ExternalInterface message texts as the host uses them:
//   request  <invoke name="N" returntype="xml"><arguments><string>T</string></arguments></invoke>
//   reply    <string>T</string>
// Texts are WTF-8 and written and read by the rules in orvane/ExternalValue.h:
// every character a movie string can hold arrives unchanged, except U+0000,
// which arrives as U+FFFD, as do bytes that are not WTF-8.

#include "orvane/ExternalValue.h"

#include <string>

// Request for function `name` with one string argument (none when empty).
std::string _MakeInvokeXml(const std::string& name, const std::string& argument);

namespace orvane {

enum class ReplyStatus {
    Ok,
    NotWellFormed,  // shown as "(#1005)"; an empty reply included
    NotString,      // shown as "(#1007)": root element is not "string"
};
// Takes the returned text out of a reply; text is "" unless Ok.
ReplyStatus ParseReturnString(const std::string& reply, std::string& text);

// The code a reply that is not understood is shown with: "(#1005)" when it
// is not XML (an empty reply included), "(#1007)" when its root is not
// "string"; "" for a good reply.
[[nodiscard]] const char* ErrorCodeOf(ReplyStatus status);
// The same for a request from the movie: "(#1005)" when it is not XML or has
// no name, "(#1007)" when its root is not "invoke"; "" when it is acted on.
[[nodiscard]] const char* ErrorCodeOf(RequestStatus status);

// Reply text for a string result, as the player returns it.
std::string MakeStringReply(const std::string& value);

}  // namespace orvane
