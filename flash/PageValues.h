#pragma once
// The page shell's values (page/player.js) on the C++ side: the player's edge
// between Qt's types and the core's ExternalInterface values.
//
// Page to host, in runJavaScript results and QWebChannel messages, a value
// keeps its ActionScript kind with a tag, which JSON alone cannot tell apart
// from undefined and null, nor carry NaN:
//   {"t":"string","v":"text"}  {"t":"number","v":"12.5"}  {"t":"true"}
//   {"t":"false"}  {"t":"null"}  {"t":"undefined"}
//   {"t":"array","v":[tagged...]}  {"t":"object","v":[[tagged key, tagged]...]}
// Both channels carry text as UTF-8 and turn a lone surrogate into U+FFFD.
// The page sends a string that holds one with U+FFFD in its place and lists
// each such offset (in UTF-16 units) with the unit it replaces:
//   {"t":"string","v":"a\uFFFD","lone":[1,55296]}
// Host to page, the same tagged values are a JavaScript literal in the call's
// script. Its strings write control characters, quotes, backslashes, U+2028,
// U+2029 and lone surrogates as \uXXXX, so the script carries every unit.

#include <orvane/ExternalValue.h>

#include <QString>
#include <QVariant>

#include <string>

namespace orvane {

// The value a tagged page value stands for; an untagged one is undefined.
[[nodiscard]] orvane::ExternalValue ValueFromPage(const QVariant& tagged);
// The WTF-8 text of a tagged page string.
[[nodiscard]] std::string TextFromPage(const QVariant& taggedString);

// The script that calls the movie's function: orvaneCallMovie(name, [tagged...]).
[[nodiscard]] QString MovieCallScript(const orvane::InvokeCall& call);
// "text" as a JavaScript string literal, which is also a JSON one.
[[nodiscard]] QString ScriptStringLiteral(QStringView text);

}  // namespace orvane
