#include "support/text_lines.h"

#include "support/temp_folder.h"

#include <QRegularExpression>

namespace vantola::test {

QStringList textFileLines(const QString& path) {
    QStringList lines = QString::fromUtf8(readFileBytes(path)).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    lines.replaceInStrings(QRegularExpression("^(Traitement (commencé|terminé) à) .*"), "\\1");
    return lines;
}

QStringList iniSectionLines(const QString& path, const QString& section) {
    QStringList result;
    bool inSection = false;
    for (const QString& line : textFileLines(path)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            inSection = line.mid(1, line.size() - 2) == section;
        else if (inSection && !line.isEmpty())
            result << line;
    }
    return result;
}

} // namespace vantola::test
