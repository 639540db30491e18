#include "support/run_vantola.h"

#include <QProcess>

#ifndef VANTOLA_BINARY
#define VANTOLA_BINARY "vantola"
#endif

namespace vantola::test {

ProcessResult runVantola(const QStringList& arguments, int timeoutMs) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("fr_FR.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
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
