#pragma once
// Readable GoogleTest output for Qt values.

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.left(300).toStdString() << '"'; }
inline void PrintTo(const QJsonArray& array, std::ostream* out)
{
    *out << QJsonDocument(array).toJson(QJsonDocument::Compact).left(300).toStdString();
}
