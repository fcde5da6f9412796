#include "orvane/InvokeMessage.h"

#include "orvane/ExternalValue.h"

#include "MessageXml.h"

#include <pugixml.hpp>

#include <string_view>

std::string _MakeInvokeXml(const std::string& name, const std::string& argument)
{
    if (argument.empty())
        return orvane::WriteInvoke({name, {}});
    return orvane::WriteInvoke({name, {{orvane::ExternalValue::Kind::String, argument, {}}}});
}

orvane::ReplyStatus orvane::ParseReturnString(const std::string& reply, std::string& text)
{
    text.clear();
    pugi::xml_document doc;
    const pugi::xml_node root = orvane::detail::ParseMessage(reply, doc);
    if (!root)
        return orvane::ReplyStatus::NotWellFormed;
    if (std::string_view(root.name()) != "string")
        return orvane::ReplyStatus::NotString;
    text = orvane::detail::MessageText(root);
    return orvane::ReplyStatus::Ok;
}

const char* orvane::ErrorCodeOf(ReplyStatus status)
{
    switch (status) {
    case ReplyStatus::Ok: return "";
    case ReplyStatus::NotWellFormed: return "(#1005)";
    case ReplyStatus::NotString: return "(#1007)";
    }
    return "(#1005)";
}

const char* orvane::ErrorCodeOf(RequestStatus status)
{
    switch (status) {
    case RequestStatus::Ok:
    case RequestStatus::BadArguments: return "";
    case RequestStatus::NotWellFormed:
    case RequestStatus::NoName: return "(#1005)";
    case RequestStatus::NotInvoke: return "(#1007)";
    }
    return "(#1005)";
}

std::string orvane::MakeStringReply(const std::string& value)
{
    return orvane::WriteReply({orvane::ExternalValue::Kind::String, value, {}});
}
