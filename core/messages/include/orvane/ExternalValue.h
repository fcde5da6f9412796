#pragma once
// ExternalInterface values and the XML messages that carry them between host
// and movie. Both sides use these: the host through InvokeMessage.h, the
// player at its edge after converting its own types.
//
//   request  <invoke name="N" returntype="xml"><arguments>V...</arguments></invoke>
//   reply    V
//   V        <string>T</string>  <number>12.5</number>  <true/>  <false/>
//            <null/>  <undefined/>
//            <array><property id="0">V</property>...</array>
//            <object><property id="key">V</property>...</object>
//
// Texts are WTF-8 (orvane/Wtf8.h), so every code point a movie string can
// hold except U+0000 travels both ways unchanged. Writing:
//  - '&', '<' and '>' are escaped everywhere, '"' in attribute values;
//  - CR is always "&#xD;" (a reader folds a literal CR into the line end),
//    TAB and LF in attribute values "&#x9;" and "&#xA;" (a reader turns them
//    into spaces there);
//  - the characters XML 1.0 cannot carry literally, U+0001..U+0008, U+000B,
//    U+000C, U+000E..U+001F, U+FFFE, U+FFFF and lone surrogates, are written
//    as hexadecimal character references ("&#x1;", "&#xD800;"). Messages
//    therefore hold them in ASCII only and stay well-formed UTF-8, so that
//    converting a message to and from QString loses nothing;
//  - U+0000, which no movie string carries, and bytes that are not WTF-8 are
//    each written as U+FFFD.
// Reading takes such hexadecimal references to any code point but U+0000,
// decimal references to characters XML allows, the five predefined entities,
// CDATA sections, comments and processing instructions. A literal character
// XML does not allow, "&#0;", an unknown entity, a stray '&' or a document
// type declaration makes a message not well-formed. Read texts are WTF-8: a
// surrogate pair written as two references is one 4-byte character.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct ExternalProperty;

struct ExternalValue {
    enum class Kind { Undefined, Null, True, False, Number, String, Array, Object };

    Kind kind = Kind::Undefined;
    // String: the WTF-8 text. Number: the number as written ("12.5", "NaN").
    std::string text;
    // Array: the items in order, with ids "0", "1", ... Object: the members.
    std::vector<ExternalProperty> properties;

    bool operator==(const ExternalValue& other) const;
};

struct ExternalProperty {
    std::string id;
    ExternalValue value;

    bool operator==(const ExternalProperty& other) const;
};

struct InvokeCall {
    std::string name;
    std::vector<ExternalValue> arguments;

    bool operator==(const InvokeCall& other) const = default;
};

// Arrays and objects nest this deep at most. The writer puts <undefined/> in
// place of a deeper one; the reader refuses a message that holds one.
inline constexpr int kMaxValueDepth = 64;

// A call without arguments is the empty element <invoke name="N" returntype="xml"/>.
[[nodiscard]] std::string WriteInvoke(const InvokeCall& call);

enum class RequestStatus {
    Ok,
    NotWellFormed,  // shown as "(#1005)"
    NotInvoke,      // shown as "(#1007)": the root element is not "invoke"
    NoName,         // the root has no "name" attribute
    BadArguments,   // the name is read, the arguments are not values of the kinds above
};
// The one reader of requests: the call a request asks for. call is filled
// as far as the status says: the name from BadArguments on, the arguments
// with Ok only.
[[nodiscard]] RequestStatus ReadInvokeRequest(std::string_view request, InvokeCall& call);
// The call of a request that reads Ok; nullopt otherwise.
[[nodiscard]] std::optional<InvokeCall> ReadInvoke(std::string_view request);

// The reply that returns value.
[[nodiscard]] std::string WriteReply(const ExternalValue& value);

}  // namespace orvane
