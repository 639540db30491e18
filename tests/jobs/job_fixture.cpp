#include "jobs/job_fixture.h"

#include "settings/cls_initreg.h"

#include <QDir>
#include <QFile>

namespace vantola::test {

JobFixture::JobFixture() : job(state, host) {
    QDir().mkpath(home());
    QDir().mkpath(source());
    state = loadProgramState(home());
    state.bSansMessage = false;
}

void JobFixture::setParam(const QString& key, const QString& value) {
    Cls_InitREG().IniEcrire(QStringLiteral("PARAM"), key, value, state.sFichierParam);
}

QStringList textFileLines(const QString& path) {
    const QString text = QString::fromUtf8(readFileBytes(path));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList logLinesWithoutDates(const QString& path) {
    QStringList lines = textFileLines(path);
    for (QString& line : lines) {
        for (const QString& prefix :
             {QStringLiteral("Traitement commencé à "), QStringLiteral("Traitement terminé à ")}) {
            if (line.startsWith(prefix))
                line = prefix.trimmed();
        }
    }
    return lines;
}

QStringList iniSectionLines(const QString& path, const QString& section) {
    QStringList result;
    bool inSection = false;
    for (const QString& line : textFileLines(path)) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2) == section;
            continue;
        }
        if (inSection && !line.isEmpty())
            result << line;
    }
    return result;
}

} // namespace vantola::test
