#include "PageValues.h"

#include <orvane/HexDigits.h>
#include <orvane/Wtf8.h>

#include <QVariantList>
#include <QVariantMap>

#include <string_view>

namespace orvane {

namespace {

using Kind = orvane::ExternalValue::Kind;

std::u16string_view Units(QStringView text) { return {text.utf16(), static_cast<std::size_t>(text.size())}; }

void AppendScriptString(QString& out, std::u16string_view text)
{
    const auto needsEscape = [&](std::size_t& i) {
        const char16_t unit = text[i];
        if (unit < 0x20 || unit == u'"' || unit == u'\\' || unit == 0x2028 || unit == 0x2029)
            return true;
        if (!QChar::isSurrogate(unit))
            return false;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
            ++i;  // a pair stays as it is
            return false;
        }
        return true;
    };
    // Texts run to ten million units: copy the runs between the escapes.
    out += u'"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!needsEscape(i))
            continue;
        out.append(QStringView(text.data() + run, static_cast<qsizetype>(i - run)));
        const char16_t unit = text[i];
        const auto digit = [&](int shift) { return char16_t(orvane::kHexDigits[(unit >> shift) & 0xF]); };
        const char16_t escape[] = {u'\\', u'u', digit(12), digit(8), digit(4), digit(0)};
        out.append(QStringView(escape, 6));
        run = i + 1;
    }
    out.append(QStringView(text.data() + run, static_cast<qsizetype>(text.size() - run)));
    out += u'"';
}

void AppendScriptString(QString& out, std::string_view text) { AppendScriptString(out, orvane::Wtf8ToWtf16(text)); }

// Values come from ReadInvoke, which bounds their depth.
void AppendTagged(QString& out, const orvane::ExternalValue& value)
{
    switch (value.kind) {
    case Kind::String:
    case Kind::Number:
        out += value.kind == Kind::String ? u"{t:\"string\",v:" : u"{t:\"number\",v:";
        AppendScriptString(out, value.text);
        out += u'}';
        return;
    case Kind::True: out += u"{t:\"true\"}"; return;
    case Kind::False: out += u"{t:\"false\"}"; return;
    case Kind::Null: out += u"{t:\"null\"}"; return;
    case Kind::Undefined: out += u"{t:\"undefined\"}"; return;
    case Kind::Array:
    case Kind::Object: {
        const bool array = value.kind == Kind::Array;
        out += array ? u"{t:\"array\",v:[" : u"{t:\"object\",v:[";
        for (const orvane::ExternalProperty& property : value.properties) {
            if (&property != &value.properties.front())
                out += u',';
            if (!array) {
                out += u"[{t:\"string\",v:";
                AppendScriptString(out, property.id);
                out += u"},";
            }
            AppendTagged(out, property.value);
            if (!array)
                out += u']';
        }
        out += u"]}";
        return;
    }
    }
}

orvane::ExternalValue ValueAtDepth(const QVariant& tagged, int depth)
{
    const QVariantMap value = tagged.toMap();
    const QString kind = value.value(QStringLiteral("t")).toString();
    if (kind == u"string")
        return {Kind::String, TextFromPage(tagged), {}};
    if (kind == u"number")
        return {Kind::Number, value.value(QStringLiteral("v")).toString().toStdString(), {}};
    if (kind == u"true")
        return {Kind::True, {}, {}};
    if (kind == u"false")
        return {Kind::False, {}, {}};
    if (kind == u"null")
        return {Kind::Null, {}, {}};
    if ((kind != u"array" && kind != u"object") || depth >= orvane::kMaxValueDepth)
        return {};
    const bool array = kind == u"array";
    orvane::ExternalValue container{array ? Kind::Array : Kind::Object, {}, {}};
    const QVariantList items = value.value(QStringLiteral("v")).toList();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (array) {
            container.properties.push_back({std::to_string(i), ValueAtDepth(items[i], depth + 1)});
        } else {
            const QVariantList member = items[i].toList();
            container.properties.push_back({TextFromPage(member.value(0)), ValueAtDepth(member.value(1), depth + 1)});
        }
    }
    return container;
}

}  // namespace

orvane::ExternalValue ValueFromPage(const QVariant& tagged) { return ValueAtDepth(tagged, 0); }

std::string TextFromPage(const QVariant& taggedString)
{
    const QVariantMap tagged = taggedString.toMap();
    QString text = tagged.value(QStringLiteral("v")).toString();
    const QVariantList lone = tagged.value(QStringLiteral("lone")).toList();
    for (qsizetype i = 0; i + 1 < lone.size(); i += 2) {
        const qlonglong offset = lone[i].toLongLong();
        const uint unit = lone[i + 1].toUInt();
        if (offset >= 0 && offset < text.size() && QChar::isSurrogate(unit))
            text[offset] = QChar(static_cast<char16_t>(unit));
    }
    return orvane::Wtf16ToWtf8(Units(text));
}

QString MovieCallScript(const orvane::InvokeCall& call)
{
    std::size_t size = call.name.size();
    for (const orvane::ExternalValue& argument : call.arguments)
        size += argument.text.size();
    QString script;
    script.reserve(static_cast<qsizetype>(size + size / 8 + 64));
    script += u"orvaneCallMovie(";
    AppendScriptString(script, call.name);
    script += u", [";
    for (const orvane::ExternalValue& argument : call.arguments) {
        if (&argument != &call.arguments.front())
            script += u',';
        AppendTagged(script, argument);
    }
    script += u"])";
    return script;
}

QString ScriptStringLiteral(QStringView text)
{
    QString literal;
    literal.reserve(text.size() + 2);
    AppendScriptString(literal, Units(text));
    return literal;
}

}  // namespace orvane
