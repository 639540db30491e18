// A job killed at any moment leaves no half-written JPEG under a final name, and running it again
// gives exactly what an uninterrupted run gives.
#include "jobs/job_fixture.h"
#include "support/djpeg.h"
#include "support/page_generator.h"
#include "support/qstring_printer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

void writePages(const QString& folder) {
    for (int page = 1; page <= 5; ++page) {
        PageSpec spec;
        spec.width = 1240;
        spec.height = 1754;
        spec.seed = page;
        savePage(generatePage(spec).image, folder, QStringLiteral("page%1").arg(page),
                 PageFormat::Jpeg, 90);
    }
}

QStringList jobArguments(const QString& home, const QString& folder, bool doublePass) {
    return {QStringLiteral("cut"),
            QStringLiteral("--home"),
            home,
            QStringLiteral("--quiet"),
            doublePass ? QStringLiteral("--double-pass") : QStringLiteral("--single-pass"),
            folder};
}

// Starts the job and kills it (SIGKILL) after the delay; returns whether it was still running.
bool runAndKill(const QStringList& arguments, int delayMs) {
    QProcess process;
    process.start(QStringLiteral(VANTOLA_BINARY), arguments);
    process.waitForStarted();
    QThread::msleep(delayMs);
    const bool running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished();
    return running;
}

int runToEnd(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VANTOLA_BINARY), arguments);
    process.waitForFinished(300000);
    return process.exitCode();
}

// Every visible .jpg file below the folder decodes cleanly.
void expectOnlyWholeJpegFiles(const QString& folder) {
    QDirIterator it(folder, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const DecodedJpeg decoded = decodeWithDjpeg(path);
        EXPECT_EQ(decoded.status, 0) << qPrintable(path);
        EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(path) << qPrintable(decoded.errors);
    }
}

// Every file below the output folder, by relative path, with a digest of its bytes (the log's
// dates cut).
QMap<QString, QByteArray> outputContents(const QString& folder, const QString& source) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray bytes = readFileBytes(path);
        if (path.endsWith(QStringLiteral("log.txt")))
            bytes = logLinesWithoutDates(path)
                        .join(QLatin1Char('\n'))
                        .replace(source, QStringLiteral("SOURCE/"))
                        .toUtf8();
        contents.insert(QDir(folder).relativeFilePath(path),
                        QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    }
    return contents;
}

void checkInterruptedJobs(bool doublePass) {
    TempFolder reference;
    writePages(reference.path());
    QDir().mkpath(reference.path() + QStringLiteral("home"));
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runToEnd(jobArguments(reference.path() + QStringLiteral("home"), reference.path(),
                                    doublePass)),
              0);
    const int duration = int(timer.elapsed());
    const auto expected =
        outputContents(reference.path() + QStringLiteral("VANTOLA"), reference.path());
    ASSERT_FALSE(expected.isEmpty());

    for (const double fraction : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        TempFolder work;
        writePages(work.path());
        const QString home = work.path() + QStringLiteral("home");
        QDir().mkpath(home);
        const QStringList arguments = jobArguments(home, work.path(), doublePass);
        runAndKill(arguments, int(duration * fraction));
        expectOnlyWholeJpegFiles(work.path());
        // Once a double pass has moved its pieces into VANTOLA, running it again cuts those
        // pieces once more (the second pass takes every .jpg it finds there), as any second run
        // of a double-pass job does: only runs killed before that point must come out equal.
        const bool secondPassInPlace = !QDir(work.path() + QStringLiteral("VANTOLA"))
                                            .entryList({QStringLiteral("*.jpg-????.jpg-????.jpg")})
                                            .isEmpty();

        ASSERT_EQ(runToEnd(arguments), 0);
        if (secondPassInPlace)
            continue;
        const auto contents = outputContents(work.path() + QStringLiteral("VANTOLA"), work.path());
        EXPECT_EQ(contents.keys(), expected.keys()) << "killed at " << fraction << " of the job";
        EXPECT_TRUE(contents == expected) << "killed at " << fraction << " of the job";
        EXPECT_EQ(QDir(work.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                  (QStringList{QStringLiteral("VANTOLA"), QStringLiteral("home")}));
    }
}

TEST(InterruptedJob, SinglePassKilledAndRunAgainEqualsAnUninterruptedRun) {
    checkInterruptedJobs(false);
}

TEST(InterruptedJob, DoublePassKilledAndRunAgainEqualsAnUninterruptedRun) {
    checkInterruptedJobs(true);
}

} // namespace
} // namespace vantola::test
