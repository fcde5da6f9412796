// The one neutralisation of every text that leaves the program for a
// spreadsheet or is shown from outside data.
#include "orvane/SpreadsheetText.h"
#include "orvane/HexDigits.h"

#include "Wtf8Sequence.h"

#include <algorithm>

namespace orvane {

namespace {

// Characters a spreadsheet passes over before it looks for a formula: white
// space of every width, and the quote that opens a quoted cell.
bool IsSkippedBeforeFormula(char32_t c)
{
    return c == ' ' || c == '\t' || c == '"' || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F ||
           c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// What starts a formula, in its ASCII and full-width forms (a Chinese input
// method types the latter, and spreadsheets take them as the former).
bool StartsFormula(char32_t c)
{
    return c == '=' || c == '+' || c == '-' || c == '@' || c == 0xFF1D || c == 0xFF0B || c == 0xFF0D || c == 0xFF20;
}

bool RunsAsFormula(const std::string& text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const detail::Wtf8Sequence sequence = detail::ReadWtf8Sequence(text, pos);
        if (sequence.length == 0)
            return false;
        if (StartsFormula(sequence.codePoint) || sequence.codePoint == '\r' || sequence.codePoint == '\n')
            return true;
        if (!IsSkippedBeforeFormula(sequence.codePoint))
            return false;
        pos += sequence.length;
    }
    return false;
}

// Controls that make a text read in another direction than it is stored:
// embeddings and overrides, isolates, and the marks LRM, RLM and ALM.
bool IsBidiControl(char32_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

std::string WithBidiControlsShown(const std::string& text)
{
    std::string shown;
    for (std::size_t pos = 0; pos < text.size();) {
        const detail::Wtf8Sequence sequence = detail::ReadWtf8Sequence(text, pos);
        const std::size_t length = std::max<std::size_t>(sequence.length, 1);  // a stray byte passes as it is
        if (sequence.length > 0 && IsBidiControl(sequence.codePoint)) {
            shown += "[U+";
            for (int shift = 12; shift >= 0; shift -= 4)
                shown += kHexDigits[(sequence.codePoint >> shift) & 0xF];
            shown += ']';
        } else {
            shown.append(text, pos, length);
        }
        pos += length;
    }
    return shown;
}

}  // namespace

std::string SpreadsheetSafeText(const std::string& field, TextOutlet outlet)
{
    std::string text = WithBidiControlsShown(field);
    if (outlet == TextOutlet::SpreadsheetInput && RunsAsFormula(text))
        text.insert(0, 1, '\'');
    return text;
}

}  // namespace orvane
