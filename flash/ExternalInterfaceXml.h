#pragma once
// The XML texts of ExternalInterface calls between host and movie, and the
// tagged JSON values the page shell uses for the same values.
//
// A tagged value keeps its ActionScript kind across JSON, which alone cannot
// tell undefined from null or carry NaN:
//   {"t":"string","v":"text"}  {"t":"number","v":"12.5"}  {"t":"true"}
//   {"t":"false"}  {"t":"null"}  {"t":"undefined"}
//   {"t":"array","v":[tagged...]}  {"t":"object","v":[["key",tagged]...]}

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <optional>

struct InvokeRequest {
    QString name;
    QJsonArray arguments;  // tagged values
};

class ExternalInterfaceXml {
public:
    // <invoke name="N" returntype="xml"><arguments>...</arguments></invoke>;
    // nullopt when the text is not such a request.
    static std::optional<InvokeRequest> ParseRequest(const QString& request);
    // The request text for a call of `name` with tagged arguments.
    static QString MakeRequest(const QString& name, const QJsonArray& arguments);
    // The reply text for a tagged result: <string>…</string>, <number>…</number>, <null/>…
    static QString MakeReply(const QJsonValue& result);
    // The reply text for a string result; the same as MakeReply of a tagged
    // string, without copying a long text through JSON.
    static QString MakeStringReply(const QString& value);
    // Character data that any XML parser reads back as exactly `text` (CR included).
    static QString Escape(const QString& text);
};
