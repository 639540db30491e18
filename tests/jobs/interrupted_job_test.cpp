// A job killed (SIGKILL) at any moment leaves no half-written JPEG under a final name, and
// running it again gives exactly what an uninterrupted run gives.
#include "support/djpeg.h"
#include "support/job_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// A program folder and five A4 pages at 150 dpi, with the command line that cuts them.
struct PagesToCut {
    explicit PagesToCut(bool doublePass) {
        for (int page = 1; page <= 5; ++page)
            writeComicPage(folder.path(), QStringLiteral("page%1").arg(page), page,
                           QSize(1240, 1754));
        QDir().mkpath(folder.file(QStringLiteral("home")));
        arguments = QStringList{"cut",
                                "--home",
                                folder.file("home"),
                                "--quiet",
                                doublePass ? "--double-pass" : "--single-pass",
                                folder.path()};
    }
    // Runs the job to its end, or kills it after killAfterMs; returns its exit status.
    int run(int killAfterMs = -1) const {
        QProcess process;
        process.start(QStringLiteral(VANTOLA_BINARY), arguments);
        process.waitForStarted();
        if (killAfterMs >= 0) {
            QThread::msleep(killAfterMs);
            process.kill();
        }
        process.waitForFinished(300000);
        return process.exitCode();
    }
    QMap<QString, QByteArray> output() const {
        return folderContents(folder.file(QStringLiteral("VANTOLA")), folder.path());
    }

    TempFolder folder;
    QStringList arguments;
};

void checkInterruptedJobs(bool doublePass) {
    const PagesToCut reference(doublePass);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(reference.run(), 0);
    const int duration = int(timer.elapsed());
    const auto expected = reference.output();
    ASSERT_FALSE(expected.isEmpty());

    for (const double fraction : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        SCOPED_TRACE(QStringLiteral("killed at %1 of the job").arg(fraction).toStdString());
        const PagesToCut work(doublePass);
        work.run(int(duration * fraction));
        // Every visible .jpg file decodes cleanly.
        QDirIterator it(work.folder.path(), {QStringLiteral("*.jpg")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const DecodedJpeg decoded = decodeWithDjpeg(it.next());
            EXPECT_EQ(decoded.status, 0) << qPrintable(it.filePath());
            EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(decoded.errors);
        }
        // Once a double pass has moved its pieces into VANTOLA, running it again cuts those
        // pieces once more (the second pass takes every .jpg it finds there), as any second run
        // of a double-pass job does: only runs killed before that point must come out equal.
        const bool secondPassInPlace = !QDir(work.folder.file(QStringLiteral("VANTOLA")))
                                            .entryList({QStringLiteral("*.jpg-????.jpg-????.jpg")})
                                            .isEmpty();
        ASSERT_EQ(work.run(), 0);
        if (secondPassInPlace)
            continue;
        const auto contents = work.output();
        EXPECT_EQ(contents.keys(), expected.keys());
        EXPECT_TRUE(contents == expected);
        EXPECT_EQ(QDir(work.folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                  (QStringList{"VANTOLA", "home"}));
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
