#include "dialogs/FileDialogFilter.h"

namespace orvane {

QStringList FileDialogFilters(const std::string& pipeFilter)
{
    const QStringList parts = QString::fromStdString(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty() || pattern.isEmpty())
            break;  // the "||" that ends the list
        // QFileDialog reads the patterns from the last parentheses.
        const QString ownPatterns = QStringLiteral("(%1)").arg(pattern);
        filters << (description.endsWith(ownPatterns)
                        ? description
                        : QStringLiteral("%1 %2").arg(description, ownPatterns));
    }
    return filters;
}

QString FirstFilterPattern(const std::string& pipeFilter)
{
    return QString::fromStdString(pipeFilter).section(QLatin1Char('|'), 1, 1);
}

}  // namespace orvane
