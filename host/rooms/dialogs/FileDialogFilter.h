#pragma once
// File-type filters: the string table keeps them as "description|pattern|...||";
// QFileDialog takes "description (pattern)" entries.

#include <QStringList>

#include <string>

namespace orvane {

QStringList FileDialogFilters(const std::string& pipeFilter);
// The first type's pattern ("*.zsr"), which the open dialog proposes as the file name.
QString FirstFilterPattern(const std::string& pipeFilter);

}  // namespace orvane
