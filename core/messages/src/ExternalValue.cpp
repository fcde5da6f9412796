#include "orvane/ExternalValue.h"

#include "MessageXml.h"

#include <pugixml.hpp>

namespace orvane {

namespace {

using Kind = ExternalValue::Kind;
using detail::XmlContext;

void AppendValue(std::string& out, const ExternalValue& value, int depth)
{
    switch (value.kind) {
    case Kind::String:
    case Kind::Number: {
        const std::string_view element = value.kind == Kind::String ? "string" : "number";
        out.append("<").append(element).append(">");
        detail::AppendXmlEscaped(out, value.text, XmlContext::Text);
        out.append("</").append(element).append(">");
        return;
    }
    case Kind::True: out += "<true/>"; return;
    case Kind::False: out += "<false/>"; return;
    case Kind::Null: out += "<null/>"; return;
    case Kind::Undefined: out += "<undefined/>"; return;
    case Kind::Array:
    case Kind::Object: {
        if (depth >= kMaxValueDepth) {
            out += "<undefined/>";
            return;
        }
        const std::string_view element = value.kind == Kind::Array ? "array" : "object";
        out.append("<").append(element).append(">");
        for (const ExternalProperty& property : value.properties) {
            out += "<property id=\"";
            detail::AppendXmlEscaped(out, property.id, XmlContext::Attribute);
            out += "\">";
            AppendValue(out, property.value, depth + 1);
            out += "</property>";
        }
        out.append("</").append(element).append(">");
        return;
    }
    }
}

// The text a value writes, as far as the writer goes: the size to reserve.
std::size_t TextSize(const ExternalValue& value, int depth = 0)
{
    std::size_t size = value.text.size();
    if (depth < kMaxValueDepth)
        for (const ExternalProperty& property : value.properties)
            size += property.id.size() + TextSize(property.value, depth + 1);
    return size;
}

bool IsBlank(const pugi::xml_node& node)
{
    return std::string_view(node.value()).find_first_not_of(" \t\n\r") == std::string_view::npos;
}

// Calls read(element) for each element child of a container, in order; false
// when the container holds text other than white space or read returns false.
// Comments and processing instructions are passed over.
template <typename Read>
bool ForEachElementChild(const pugi::xml_node& container, Read&& read)
{
    for (const pugi::xml_node child : container.children()) {
        switch (child.type()) {
        case pugi::node_element:
            if (!read(child))
                return false;
            break;
        case pugi::node_pcdata:
            if (!IsBlank(child))
                return false;
            break;
        case pugi::node_comment:
        case pugi::node_pi: break;
        default: return false;
        }
    }
    return true;
}

std::optional<ExternalValue> ReadValue(const pugi::xml_node& element, int depth);

// The one value a property holds.
std::optional<ExternalValue> ReadPropertyValue(const pugi::xml_node& property, int depth)
{
    std::optional<ExternalValue> value;
    const bool read = ForEachElementChild(property, [&](const pugi::xml_node& child) {
        if (value)
            return false;  // a second value
        value = ReadValue(child, depth);
        return value.has_value();
    });
    if (!read)
        return std::nullopt;
    return value;
}

std::optional<ExternalValue> ReadValue(const pugi::xml_node& element, int depth)
{
    const std::string_view name = element.name();
    if (name == "string" || name == "number") {
        std::string text = detail::MessageText(element);
        if (name == "string")
            return ExternalValue{Kind::String, std::move(text), {}};
        const std::size_t first = text.find_first_not_of(" \t\n\r");
        const std::size_t last = text.find_last_not_of(" \t\n\r");
        return ExternalValue{Kind::Number, first == std::string::npos ? "" : text.substr(first, last - first + 1), {}};
    }
    if (name == "true")
        return ExternalValue{Kind::True, {}, {}};
    if (name == "false")
        return ExternalValue{Kind::False, {}, {}};
    if (name == "null")
        return ExternalValue{Kind::Null, {}, {}};
    if (name == "undefined")
        return ExternalValue{Kind::Undefined, {}, {}};
    if ((name != "array" && name != "object") || depth >= kMaxValueDepth)
        return std::nullopt;

    ExternalValue container{name == "array" ? Kind::Array : Kind::Object, {}, {}};
    const bool read = ForEachElementChild(element, [&](const pugi::xml_node& property) {
        if (std::string_view(property.name()) != "property" || !property.attribute("id"))
            return false;
        std::optional<ExternalValue> value = ReadPropertyValue(property, depth + 1);
        if (!value)
            return false;
        std::string id = property.attribute("id").value();
        detail::JoinSurrogatePairs(id);
        container.properties.push_back({std::move(id), std::move(*value)});
        return true;
    });
    if (!read)
        return std::nullopt;
    return container;
}

}  // namespace

// Written out: a defaulted comparison of these mutually nested types crashes clang 14.
bool ExternalValue::operator==(const ExternalValue& other) const
{
    return kind == other.kind && text == other.text && properties == other.properties;
}

bool ExternalProperty::operator==(const ExternalProperty& other) const
{
    return id == other.id && value == other.value;
}

std::string WriteInvoke(const InvokeCall& call)
{
    std::string out;
    std::size_t textSize = call.name.size();
    for (const ExternalValue& argument : call.arguments)
        textSize += TextSize(argument);
    out.reserve(textSize + textSize / 8 + 64);
    out += "<invoke name=\"";
    detail::AppendXmlEscaped(out, call.name, XmlContext::Attribute);
    if (call.arguments.empty())
        return out += "\" returntype=\"xml\"/>";
    out += "\" returntype=\"xml\"><arguments>";
    for (const ExternalValue& argument : call.arguments)
        AppendValue(out, argument, 0);
    out += "</arguments></invoke>";
    return out;
}

RequestStatus ReadInvokeRequest(std::string_view request, InvokeCall& call)
{
    call = {};
    pugi::xml_document doc;
    const pugi::xml_node invoke = detail::ParseMessage(request, doc);
    if (!invoke)
        return RequestStatus::NotWellFormed;
    if (std::string_view(invoke.name()) != "invoke")
        return RequestStatus::NotInvoke;
    if (!invoke.attribute("name"))
        return RequestStatus::NoName;
    call.name = invoke.attribute("name").value();
    detail::JoinSurrogatePairs(call.name);
    std::vector<ExternalValue> arguments;
    const bool read = ForEachElementChild(invoke.child("arguments"), [&](const pugi::xml_node& argument) {
        std::optional<ExternalValue> value = ReadValue(argument, 0);
        if (value)
            arguments.push_back(std::move(*value));
        return value.has_value();
    });
    if (!read)
        return RequestStatus::BadArguments;
    call.arguments = std::move(arguments);
    return RequestStatus::Ok;
}

std::optional<InvokeCall> ReadInvoke(std::string_view request)
{
    InvokeCall call;
    if (ReadInvokeRequest(request, call) != RequestStatus::Ok)
        return std::nullopt;
    return call;
}

std::string WriteReply(const ExternalValue& value)
{
    std::string out;
    const std::size_t textSize = TextSize(value);
    out.reserve(textSize + textSize / 8 + 32);
    AppendValue(out, value, 0);
    return out;
}

}  // namespace orvane
