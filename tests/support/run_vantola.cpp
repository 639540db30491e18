#include "support/run_vantola.h"

#include <QProcess>

#ifndef VANTOLA_BINARY
#define VANTOLA_BINARY "vantola"
#endif

namespace vantola::test {

ProcessResult runVantola(const QStringList& arguments, int timeoutMs,
                         const QStringList& environmentChanges) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("fr_FR.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& change : environmentChanges) {
        const QString name = change.section(QLatin1Char('='), 0, 0);
        const QString value = change.section(QLatin1Char('='), 1);
        value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VANTOLA_BINARY), arguments);
    process.waitForFinished(timeoutMs);
    ProcessResult result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace vantola::test
