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

std::string orvane::MakeStringReply(const std::string& value)
{
    return orvane::WriteReply({orvane::ExternalValue::Kind::String, value, {}});
}
