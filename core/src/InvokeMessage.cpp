#include "orvane/InvokeMessage.h"

#include "orvane/ExternalValue.h"

#include "MessageXml.h"
#include "XmlText.h"

#include <pugixml.hpp>

#include <string_view>

std::string _MakeInvokeXml(const std::string& name, const std::string& argument)
{
    if (!argument.empty())
        return orvane::WriteInvoke({name, {{orvane::ExternalValue::Kind::String, argument, {}}}});
    std::string xml = "<invoke name=\"";
    orvane::detail::AppendXmlEscaped(xml, name, orvane::detail::XmlContext::Attribute);
    return xml + "\" returntype=\"xml\"/>";
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
    text = XmlNodeText(root);
    orvane::detail::JoinSurrogatePairs(text);
    return orvane::ReplyStatus::Ok;
}

orvane::RequestStatus orvane::ParseInvokeRequest(const std::string& request, std::string& name)
{
    name.clear();
    pugi::xml_document doc;
    const pugi::xml_node root = orvane::detail::ParseMessage(request, doc);
    if (!root)
        return orvane::RequestStatus::NotWellFormed;
    if (std::string_view(root.name()) != "invoke")
        return orvane::RequestStatus::NotInvoke;
    const pugi::xml_attribute nameAttribute = root.attribute("name");
    if (!nameAttribute)
        return orvane::RequestStatus::NoName;
    name = nameAttribute.value();
    orvane::detail::JoinSurrogatePairs(name);
    return orvane::RequestStatus::Ok;
}

std::string orvane::MakeStringReply(const std::string& value)
{
    return orvane::WriteReply({orvane::ExternalValue::Kind::String, value, {}});
}
