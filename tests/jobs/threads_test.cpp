// A job cut on several threads leaves exactly what the same job leaves on one: the same files,
// cut record, counts and calls on its host in the same order, made from the calling thread only.
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vantola::test {
namespace {

// What a job left behind.
struct JobOutcome {
    JobSummary summary;
    QStringList calls;
    QMap<QString, QByteArray> files; // every file and folder under the source folder
    QStringList log;                 // both logs, without their dates
    QByteArray record;               // decoupage.ini
};

using JobSetUp = std::function<void(CuttingJob&, RecordingHost&)>;

class ThreadsTest : public ::testing::Test, public JobFixture {
protected:
    // Runs the job over the source folder, or over pdfPages pages of a PDF, from a clean start:
    // no output folder, no log beside the pages, quality 90.
    JobOutcome cut(int threads, const JobSetUp& setUp) {
        QDir(output()).removeRecursively();
        QFile::remove(file("log.txt"));
        for (const QString& captured : QDir(source()).entryList({"BD*"}))
            QFile::remove(file(captured));
        setParam("JPG_QUALITY", "90");
        RecordingHost host;
        CuttingJob job(state, host);
        job.threads = threads;
        host.footerRow = &job.lLignePied;
        if (setUp)
            setUp(job, host);
        JobOutcome outcome;
        outcome.summary = job.Decoupage(source(), pdfPages ? source() : QString(), pdfPages);
        outcome.calls = host.calls << QStringLiteral("footer at the end %1").arg(job.lLignePied);
        EXPECT_FALSE(host.callFromAnotherThread);
        outcome.files = folderContents(source());
        outcome.log = outputLog() + textFileLines(file("log.txt"));
        outcome.record = readFileBytes(state.sFichierDecoupage);
        return outcome;
    }

    // Cuts on one thread, then on four, and expects the same outcome byte for byte.
    JobOutcome expectSameOnFourThreads(const JobSetUp& setUp) {
        const JobOutcome one = cut(1, setUp);
        const JobOutcome several = cut(4, setUp);
        EXPECT_EQ(several.summary.pieces, one.summary.pieces);
        EXPECT_EQ(several.summary.errors, one.summary.errors);
        // Hidden temporary names left behind show up among the keys.
        EXPECT_EQ(several.files.keys(), one.files.keys());
        EXPECT_TRUE(several.files == one.files);
        EXPECT_EQ(several.record, one.record);
        EXPECT_EQ(several.calls, one.calls);
        return one;
    }

    qint16 pdfPages = 0;
};

// a.jpg cannot put its second piece in place (a folder holds its name), c.jpg is cut short,
// d.jpg loses its quality setting after its first piece, e.jpg is text; in one pass and in two.
TEST_F(ThreadsTest, FailingPagesAndPiecesGiveTheSameJobOnFourThreads) {
    for (const char* name : {"a", "b", "c", "d", "f"})
        writeComicPage(source(), name, std::uint64_t(name[0]), QSize(420, 600));
    const QByteArray whole = readFileBytes(file("c.jpg"));
    writeFileBytes(file("c.jpg"), whole.left(whole.size() * 2 / 3));
    writeFileBytes(file("e.jpg"), "pas une image\n");
    for (const bool doublePass : {false, true}) {
        SCOPED_TRACE(doublePass ? "double pass" : "single pass");
        const JobOutcome one = expectSameOnFourThreads([&](CuttingJob& job, RecordingHost& host) {
            job.switches.doublePass = doublePass;
            state.bModeDebug = !doublePass;
            QDir().mkpath(output() + "a.jpg-0002.jpg");
            auto state = std::make_shared<int>(0); // 1: d.jpg shown, 2: quality broken
            host.onShown = [this, state](const QString& path) {
                if (path == file("d.jpg")) {
                    *state = 1;
                } else if (*state == 2) {
                    setParam("JPG_QUALITY", "90");
                    *state = 3;
                }
            };
            host.onYield = [this, state] {
                if (*state == 1 &&
                    !QDir(output()).entryList({"d.jpg-*.jpg"}, QDir::Files).isEmpty()) {
                    setParam("JPG_QUALITY", "haute");
                    *state = 2;
                }
            };
        });
        if (doublePass) {
            EXPECT_FALSE(one.files.contains("VANTOLA2"));
            EXPECT_GT(one.summary.pieces, 8);
            continue;
        }
        // The troubles did happen: a.jpg stops at its second piece, d.jpg at the piece after the
        // settings broke; the next pages number on from there.
        EXPECT_EQ(one.summary.errors, 4);
        EXPECT_TRUE(one.log.contains("Type mismatch (13)"));
        EXPECT_EQ(one.log.filter("ERREUR DE TRAITEMENT DU FICHIER: ").size(), 4);
        const QStringList pageLines = one.log.filter(" ont étés créées pour la page ");
        ASSERT_EQ(pageLines.size(), 2);
        EXPECT_TRUE(pageLines.at(0).contains("(2-") && pageLines.at(0).endsWith("b.jpg"))
            << qPrintable(pageLines.at(0));
        for (const char* present : {"a.jpg-0001.jpg", "a.jpg-0002.bmp", "c.jpg.bmp"})
            EXPECT_TRUE(one.files.contains("VANTOLA/" + QLatin1String(present))) << present;
        EXPECT_FALSE(one.files.contains("VANTOLA/a.jpg-0003.jpg"));
        const QStringList dPieces = QStringList(one.files.keys()).filter("VANTOLA/d.jpg-");
        ASSERT_EQ(dPieces.size(), 2) << qPrintable(dPieces.join(' ')); // one JPEG, then the bitmap
        EXPECT_TRUE(dPieces.at(1).endsWith(".bmp"));
        EXPECT_EQ(iniSectionLines(state.sFichierDecoupage, file("a.jpg")).filter("FICHIER_"),
                  (QStringList{"FICHIER_1=" + output() + "a.jpg-0001.jpg",
                               "FICHIER_2=" + output() + "a.jpg-0002.jpg"}));
    }
}

TEST_F(ThreadsTest, PdfPagesGiveTheSameJobOnFourThreads) {
    // Each page is kept as BDnnn.jpg beside the log of the pages; page 3 cannot be rendered.
    pdfPages = 5;
    const JobOutcome one = expectSameOnFourThreads([](CuttingJob& job, RecordingHost&) {
        job.setPdfPageSource(
            [](int page) { return page == 3 ? QImage() : comicPage(page, QSize(400, 560)); }, 5);
    });
    EXPECT_EQ(one.summary.errors, 1);
    EXPECT_TRUE(one.files.contains("BD005.jpg"));
}

TEST_F(ThreadsTest, FooterRowCarriedFromPageToPageUnderRotationIsTheSame) {
    // With the footer switch on, a page's footer row is the one the page before left, and a
    // turned page leaves its width: pages of different sizes catch a worker that guesses it.
    const QSize sizes[] = {{420, 600}, {600, 420}, {380, 640}, {500, 500}};
    for (int page = 0; page < 4; ++page)
        writeComicPage(source(), QStringLiteral("p%1").arg(page), page + 6, sizes[page]);
    const JobOutcome one = expectSameOnFourThreads([](CuttingJob& job, RecordingHost&) {
        job.switches.rotation = Rotation::Clockwise;
        job.switches.footerEnabled = true;
        job.lLignePied = 0;
    });
    EXPECT_GT(one.summary.pieces, 4);
}

TEST_F(ThreadsTest, PauseHoldsTheWorkersAheadAndTheJobEndsTheSame) {
    writeComicPages(source(), 6, QSize(420, 600));
    // At the first page's first row the pause holds for 20 yields of 20 ms, while the workers
    // have the next pages to prepare and encode. Only the encodings already running when the
    // pause came may end during it: at most one temporary file per thread.
    const auto temporaryFiles = [this] {
        return QDir(output()).entryList({".vantola-*.tmp"}, QDir::Files | QDir::Hidden).size();
    };
    std::vector<qsizetype> grewDuringPause; // one entry per run
    const auto setUp = [&](CuttingJob&, RecordingHost& host) {
        grewDuringPause.push_back(-1);
        auto yields = std::make_shared<int>(-1);
        auto atStart = std::make_shared<qsizetype>(0);
        host.onShown = [&host, this, yields](const QString& path) {
            if (path == file("p1.jpg")) {
                host.pausesLeft = 20;
                *yields = 0;
            }
        };
        host.onYield = [&, yields, atStart] {
            // The yields of the pause come after its first "paused" answer.
            if (*yields < 0 || host.pausesLeft == 0 || host.pausesLeft == 20)
                return;
            if (++*yields == 1)
                *atStart = temporaryFiles();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (*yields == 19)
                grewDuringPause.back() = temporaryFiles() - *atStart;
        };
    };
    expectSameOnFourThreads(setUp);
    ASSERT_EQ(grewDuringPause.size(), 2u);
    EXPECT_EQ(grewDuringPause[0], 0);
    EXPECT_LE(grewDuringPause[1], 4);
}

TEST_F(ThreadsTest, JobStoppedByItsHostLeavesNoTemporaryFile) {
    // The window stops a job by throwing from its yield (it is closing); the workers then stop
    // and the pieces they wrote ahead are removed. Stopped at several points of the job.
    writeComicPages(source(), 6, QSize(420, 600));
    struct Stop {};
    for (const int stopAt : {1, 400, 1500, 4000}) {
        QDir(output()).removeRecursively();
        RecordingHost host;
        int yields = 0;
        host.onYield = [&] {
            if (++yields == stopAt)
                throw Stop{};
        };
        CuttingJob job(state, host);
        job.threads = 4;
        EXPECT_THROW(job.Decoupage(source(), QString(), 0), Stop) << stopAt;
        EXPECT_EQ(QDir(output()).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList())
            << stopAt;
    }
}

} // namespace
} // namespace vantola::test
