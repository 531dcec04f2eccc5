#include "windows/file_filter.h"

namespace kv::windows {

QStringList toQtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ');
        // Descriptions usually name their patterns already, "Microsoft Access (*.mdb)".
        if (description.endsWith("(" + patterns + ")"))
            result << description;
        else
            result << description + " (" + patterns + ")";
    }
    return result;
}

}  // namespace kv::windows
