#include "ExternalInterfaceXml.h"

#include <QJsonObject>
#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace {

constexpr int kMaxDepth = 64;

QJsonObject Tagged(const QString& kind) { return QJsonObject{{"t", kind}}; }
QJsonObject Tagged(const QString& kind, const QJsonValue& value) { return QJsonObject{{"t", kind}, {"v", value}}; }

void AppendValue(QString& out, const QJsonValue& tagged, int depth);

void AppendProperty(QString& out, const QString& id, const QJsonValue& tagged, int depth)
{
    out += QLatin1String("<property id=\"") + ExternalInterfaceXml::Escape(id) + QLatin1String("\">");
    AppendValue(out, tagged, depth + 1);
    out += QLatin1String("</property>");
}

void AppendValue(QString& out, const QJsonValue& tagged, int depth)
{
    const QJsonObject object = tagged.toObject();
    const QString kind = object.value("t").toString();
    const QJsonValue value = object.value("v");
    if (kind == QLatin1String("string")) {
        out += ExternalInterfaceXml::MakeStringReply(value.toString());
    } else if (kind == QLatin1String("number")) {
        out += QLatin1String("<number>") + ExternalInterfaceXml::Escape(value.toString()) + QLatin1String("</number>");
    } else if (kind == QLatin1String("true") || kind == QLatin1String("false") || kind == QLatin1String("null")) {
        out += QLatin1Char('<') + kind + QLatin1String("/>");
    } else if (kind == QLatin1String("array") && depth < kMaxDepth) {
        out += QLatin1String("<array>");
        const QJsonArray items = value.toArray();
        for (qsizetype i = 0; i < items.size(); ++i)
            AppendProperty(out, QString::number(i), items.at(i), depth);
        out += QLatin1String("</array>");
    } else if (kind == QLatin1String("object") && depth < kMaxDepth) {
        out += QLatin1String("<object>");
        for (const QJsonValue pair : value.toArray())
            AppendProperty(out, pair.toArray().at(0).toString(), pair.toArray().at(1), depth);
        out += QLatin1String("</object>");
    } else {
        out += QLatin1String("<undefined/>");
    }
}

// The character data of an element that holds nothing else.
std::optional<QString> ElementText(const pugi::xml_node& element)
{
    std::string text;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
        else if (child.type() != pugi::node_comment)
            return std::nullopt;
    }
    return QString::fromStdString(text);
}

std::optional<QJsonValue> ReadValue(const pugi::xml_node& element, int depth)
{
    if (depth > kMaxDepth || element.type() != pugi::node_element)
        return std::nullopt;
    const std::string_view kind = element.name();
    if (kind == "string" || kind == "number") {
        const auto text = ElementText(element);
        if (!text)
            return std::nullopt;
        return kind == "string" ? Tagged("string", *text) : Tagged("number", text->trimmed());
    }
    if (kind == "true" || kind == "false" || kind == "null" || kind == "undefined")
        return Tagged(QString::fromUtf8(kind.data(), kind.size()));
    if (kind != "array" && kind != "object")
        return std::nullopt;
    QJsonArray items;
    for (const pugi::xml_node property : element.children()) {
        if (property.type() != pugi::node_element)
            continue;
        if (std::string_view(property.name()) != "property")
            return std::nullopt;
        const auto item = ReadValue(property.first_child(), depth + 1);
        if (!item)
            return std::nullopt;
        if (kind == "array") {
            items.append(*item);
        } else {
            QJsonArray pair;
            pair.append(QString::fromUtf8(property.attribute("id").value()));
            pair.append(*item);
            items.append(pair);
        }
    }
    return Tagged(kind == "array" ? "array" : "object", items);
}

}  // namespace

QString ExternalInterfaceXml::Escape(const QString& text)
{
    const auto needsEscape = [](QChar c) {
        const char16_t u = c.unicode();
        return u == '&' || u == '<' || u == '>' || u == '"' || (u < 0x20 && u != '\t' && u != '\n');
    };
    // Selections are long and mostly plain: copy the runs between the
    // characters that need a reference.
    QString out;
    const QChar* const begin = text.constData();
    const QChar* const end = begin + text.size();
    const QChar* run = begin;
    for (const QChar* c = begin; c != end; ++c) {
        if (!needsEscape(*c))
            continue;
        if (out.isNull())
            out.reserve(text.size() + text.size() / 8 + 16);
        out.append(run, c - run);
        switch (c->unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        // CR would be folded into the line end by the reader; other control
        // characters have no literal form in XML.
        default: out += QLatin1String("&#") + QString::number(c->unicode()) + QLatin1Char(';');
        }
        run = c + 1;
    }
    if (out.isNull())
        return text;
    out.append(run, end - run);
    return out;
}

std::optional<InvokeRequest> ExternalInterfaceXml::ParseRequest(const QString& request)
{
    const QByteArray utf8 = request.toUtf8();
    pugi::xml_document doc;
    // Keeps a text of white space alone, so that "  " stays "  ".
    if (!doc.load_buffer(utf8.constData(), utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata_single,
                         pugi::encoding_utf8))
        return std::nullopt;
    int elements = 0;
    for (const pugi::xml_node node : doc.children())
        if (node.type() == pugi::node_element)
            ++elements;
        else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            return std::nullopt;
    const pugi::xml_node invoke = doc.document_element();
    if (elements != 1 || std::string_view(invoke.name()) != "invoke" || !invoke.attribute("name"))
        return std::nullopt;

    InvokeRequest result{QString::fromUtf8(invoke.attribute("name").value()), {}};
    for (const pugi::xml_node argument : invoke.child("arguments").children()) {
        if (argument.type() != pugi::node_element)
            continue;
        const auto value = ReadValue(argument, 0);
        if (!value)
            return std::nullopt;
        result.arguments.append(*value);
    }
    return result;
}

QString ExternalInterfaceXml::MakeRequest(const QString& name, const QJsonArray& arguments)
{
    QString out = QLatin1String("<invoke name=\"") + Escape(name) + QLatin1String("\" returntype=\"xml\">");
    out += QLatin1String("<arguments>");
    for (const QJsonValue argument : arguments)
        AppendValue(out, argument, 0);
    out += QLatin1String("</arguments></invoke>");
    return out;
}

QString ExternalInterfaceXml::MakeStringReply(const QString& value)
{
    return QLatin1String("<string>") + Escape(value) + QLatin1String("</string>");
}

QString ExternalInterfaceXml::MakeReply(const QJsonValue& result)
{
    QString out;
    AppendValue(out, result, 0);
    return out;
}
