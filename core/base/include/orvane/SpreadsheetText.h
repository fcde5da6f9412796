#pragma once
// The one rule for a text that leaves the program for a spreadsheet or is
// shown from data the program did not write: the bill's outputs and the
// catalogue's list of changes all pass their texts through it.

#include <string>

namespace orvane {

// Where a text goes: into a spreadsheet as typed input (CSV, the clipboard's
// rows and HTML), or where it is only shown (the printout and its rack
// pictures, the workbook's string cells, a dialog), where it never runs.
enum class TextOutlet { SpreadsheetInput, Shown };

// Bidirectional controls (embeddings, overrides, isolates, and the marks LRM,
// RLM and ALM) are shown as their code points ("[U+202E]"), so no text reads
// other than it is stored. For spreadsheet input a text whose first
// character after white space (of any width) and quotes is =, +, - or @
// (ASCII or full-width), or a line end, also gets a leading apostrophe, which
// makes the cell plain text; shown texts keep what they start with.
[[nodiscard]] std::string SpreadsheetSafeText(const std::string& field,
                                              TextOutlet outlet = TextOutlet::SpreadsheetInput);

}  // namespace orvane
