#include "document/FileNames.h"

#include <QFile>

#include <filesystem>

namespace orvane {

QString DisplayFileName(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(std::filesystem::path(path).filename().string()));
}

std::string FileStem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

}  // namespace orvane
