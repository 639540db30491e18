#include "support/run_vantola.h"

#include "support/djpeg.h"

#ifndef VANTOLA_BINARY
#define VANTOLA_BINARY "vantola"
#endif

namespace vantola::test {

ProcessResult runProgram(const QString& program, const QStringList& arguments, int timeoutMs,
                         const QStringList& environmentChanges) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "fr_FR.UTF-8");
    environment.insert("LANG", "fr_FR.UTF-8");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VANTOLA", QStringLiteral(VANTOLA_BINARY));
    for (const QString& change : environmentChanges) {
        const QString name = change.section(QLatin1Char('='), 0, 0);
        const QString value = change.section(QLatin1Char('='), 1);
        value.isEmpty() ? environment.remove(name) : environment.insert(name, value);
    }
    const ToolResult run = runTool(program, arguments, timeoutMs, environment);
    return {run.status, QString::fromUtf8(run.out), run.err};
}

ProcessResult runVantola(const QStringList& arguments, int timeoutMs,
                         const QStringList& environmentChanges) {
    return runProgram(QStringLiteral(VANTOLA_BINARY), arguments, timeoutMs, environmentChanges);
}

ProcessResult runInPrivateMounts(const QString& script, const QStringList& arguments) {
    const QStringList unshare{"--user", "--map-root-user", "--mount"};
    if (runProgram("unshare", unshare + QStringList{"true"}, 10000).status != 0)
        return {kNoPrivateMounts, {}, {}};
    return runProgram("unshare", unshare + QStringList{"sh", "-c", script, "sh"} + arguments,
                      300000);
}

} // namespace vantola::test
