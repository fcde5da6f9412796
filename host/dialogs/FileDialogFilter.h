#pragma once
// File-type filters: the string table keeps them as "description|pattern|...||";
// QFileDialog takes "description (pattern)" entries.

#include <QStringList>

#include <string>

namespace orvane {

QStringList FileDialogFilters(const std::string& pipeFilter);

}  // namespace orvane
