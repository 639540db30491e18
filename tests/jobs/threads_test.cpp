// A job cut on several threads leaves exactly what the same job leaves on one: the same files with
// the same bytes, the same cut record and log, the same counts, and the same calls on its host in
// the same order, made from the calling thread only. The folders hold pages that fail while they
// load, a piece that cannot be put in place, and a piece that fails to encode after the JPEG
// settings changed in the middle of a page.
#include "cutting/cut_record.h"
#include "jobs/job_fixture.h"
#include "settings/cls_initreg.h"
#include "support/page_generator.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace vantola::test {
namespace {

// Records every call in order, and whether any came from another thread than the test's.
class CallRecorder : public JobHost {
public:
    void jobProgress(int value, const QString& text) override {
        record(QStringLiteral("job %1 %2").arg(value).arg(text));
    }
    void pageProgress(int value, const QString& text) override {
        record(QStringLiteral("page %1%2").arg(value).arg(text));
    }
    void setPageProgressColour(quint32 colour) override {
        record(QStringLiteral("colour %1").arg(colour));
    }
    void setPageFrameVisible(bool visible) override {
        record(QStringLiteral("frame %1").arg(visible));
    }
    // The page's information line shows the footer row that the page before it left.
    void pageShown(const QString& path, const QImage& page) override {
        record(QStringLiteral("shown %1 %2x%3 %4 footer %5")
                   .arg(path)
                   .arg(page.width())
                   .arg(page.height())
                   .arg(page.isNull() ? 0 : page.pixel(page.width() / 2, page.height() / 2))
                   .arg(footerRow ? *footerRow : -1));
        if (onShown)
            onShown(path);
    }
    void setCaption(const QString& caption) override {
        record(QStringLiteral("caption ") + caption);
    }
    void yield() override {
        record(QStringLiteral("yield"));
        if (onYield)
            onYield();
    }
    bool pauseRequested() override {
        record(QStringLiteral("pause?"));
        if (pausesLeft == 0)
            return false;
        --pausesLeft;
        return true;
    }
    void showMessage(const QString& title, const QString& text) override {
        record(QStringLiteral("message ") + title + QLatin1Char(' ') + text);
    }

    QStringList calls;
    bool callFromAnotherThread = false;
    const qint32* footerRow = nullptr;
    int pausesLeft = 0;
    std::function<void(const QString&)> onShown;
    std::function<void()> onYield;

private:
    void record(const QString& call) {
        if (std::this_thread::get_id() != testThread_)
            callFromAnotherThread = true;
        calls << call;
    }
    std::thread::id testThread_ = std::this_thread::get_id();
};

// What a job left behind.
struct JobOutcome {
    JobSummary summary;
    QStringList calls;
    bool callFromAnotherThread = false;
    QMap<QString, QByteArray> files; // every file and folder under the source folder, log aside
    QStringList log;                 // without its dates
    QByteArray record;               // decoupage.ini
};

QMap<QString, QByteArray> folderContents(const QString& root) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(root.size());
        if (name.endsWith(QLatin1String("log.txt")))
            continue;
        contents[name] = it.fileInfo().isDir() ? QByteArray("<folder>") : readFileBytes(path);
    }
    return contents;
}

// The first place where two call sequences differ, or "" when they are the same.
QString firstDifference(const QStringList& expected, const QStringList& actual) {
    for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        if (expected.value(i) != actual.value(i)) {
            return QStringLiteral("call %1 of %2/%3: expected '%4', got '%5'")
                .arg(i)
                .arg(expected.size())
                .arg(actual.size())
                .arg(expected.value(i), actual.value(i));
        }
    }
    return {};
}

QString comicPage(const QString& folder, const QString& name, std::uint64_t seed, int width = 420,
                  int height = 600) {
    PageSpec spec;
    spec.width = width;
    spec.height = height;
    spec.seed = seed;
    spec.minTiers = 2;
    spec.minPanels = 2;
    spec.margin = 24;
    spec.gutter = 14;
    spec.noise = 3;
    return savePage(generatePage(spec).image, folder, name, PageFormat::Jpeg, 92);
}

class ThreadsTest : public ::testing::Test {
protected:
    // a.jpg cannot put its second piece in place (a folder holds its name), c.jpg is cut short,
    // d.jpg loses its quality setting after its first piece, e.jpg is text.
    void writeTroubledFolder() {
        comicPage(fixture.source(), QStringLiteral("a"), 1);
        comicPage(fixture.source(), QStringLiteral("b"), 2);
        const QByteArray whole = readFileBytes(comicPage(fixture.source(), QStringLiteral("c"), 3));
        writeFileBytes(fixture.file(QStringLiteral("c.jpg")), whole.left(whole.size() * 2 / 3));
        comicPage(fixture.source(), QStringLiteral("d"), 4);
        writeFileBytes(fixture.file(QStringLiteral("e.jpg")), "pas une image\n");
        comicPage(fixture.source(), QStringLiteral("f"), 5);
    }

    // Runs the job (by default over the source folder) from a clean start: no output folder,
    // no log beside the pages, quality 90.
    JobOutcome cut(int threads, const std::function<void(CuttingJob&, CallRecorder&)>& setUp,
                   const std::function<JobSummary(CuttingJob&)>& run = {}) {
        QDir(fixture.output()).removeRecursively();
        QFile::remove(fixture.file(QStringLiteral("log.txt")));
        for (const QString& captured : QDir(fixture.source()).entryList({QStringLiteral("BD*")}))
            QFile::remove(fixture.file(captured));
        fixture.setParam(QStringLiteral("JPG_QUALITY"), QStringLiteral("90"));
        CallRecorder host;
        CuttingJob job(fixture.state, host);
        job.threads = threads;
        host.footerRow = &job.lLignePied;
        setUp(job, host);
        JobOutcome outcome;
        outcome.summary = run ? run(job) : job.Decoupage(fixture.source(), QString(), 0);
        outcome.calls = host.calls << QStringLiteral("footer at the end %1").arg(job.lLignePied);
        outcome.callFromAnotherThread = host.callFromAnotherThread;
        outcome.files = folderContents(fixture.source());
        outcome.log = logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt"))
                      << QStringLiteral("(log beside the pages)")
                      << logLinesWithoutDates(fixture.file(QStringLiteral("log.txt")));
        outcome.record = readFileBytes(fixture.state.sFichierDecoupage);
        return outcome;
    }

    // The troubles of writeTroubledFolder that are set up for each run.
    void troubleEachRun(CallRecorder& host) {
        QDir().mkpath(fixture.output() + QStringLiteral("a.jpg-0002.jpg"));
        const QString pageD = fixture.file(QStringLiteral("d.jpg"));
        auto state = std::make_shared<int>(0); // 1: d.jpg shown, 2: quality broken
        host.onShown = [this, pageD, state](const QString& path) {
            if (path == pageD) {
                *state = 1;
            } else if (*state == 2) {
                fixture.setParam(QStringLiteral("JPG_QUALITY"), QStringLiteral("90"));
                *state = 3;
            }
        };
        host.onYield = [this, state] {
            if (*state == 1 && !QDir(fixture.output())
                                    .entryList({QStringLiteral("d.jpg-*.jpg")}, QDir::Files)
                                    .isEmpty()) {
                fixture.setParam(QStringLiteral("JPG_QUALITY"), QStringLiteral("haute"));
                *state = 2;
            }
        };
    }

    void expectSameOutcome(const JobOutcome& one, const JobOutcome& several) {
        EXPECT_FALSE(several.callFromAnotherThread);
        EXPECT_EQ(several.summary.pieces, one.summary.pieces);
        EXPECT_EQ(several.summary.errors, one.summary.errors);
        EXPECT_EQ(several.files.keys(), one.files.keys());
        for (auto it = one.files.begin(); it != one.files.end(); ++it)
            EXPECT_EQ(several.files.value(it.key()), it.value()) << qPrintable(it.key());
        EXPECT_EQ(several.log, one.log);
        EXPECT_EQ(several.record, one.record);
        EXPECT_EQ(firstDifference(one.calls, several.calls), QString());
    }

    JobFixture fixture;
};

TEST_F(ThreadsTest, FailingPagesAndPiecesGiveTheSameJobOnFourThreads) {
    writeTroubledFolder();
    const auto setUp = [this](CuttingJob&, CallRecorder& host) {
        troubleEachRun(host);
        fixture.state.bModeDebug = true;
    };
    const JobOutcome one = cut(1, setUp);
    const JobOutcome four = cut(4, setUp);
    expectSameOutcome(one, four);

    // The troubles did happen: a.jpg stops at its second piece, d.jpg at the piece after the
    // settings broke; the next pages number on from there.
    EXPECT_EQ(one.summary.errors, 4);
    EXPECT_TRUE(one.log.contains(QStringLiteral("Type mismatch (13)")));
    const QStringList failed = one.log.filter(QStringLiteral("ERREUR DE TRAITEMENT DU FICHIER: "));
    EXPECT_EQ(failed.size(), 4);
    const QStringList pageLines = one.log.filter(QStringLiteral(" ont étés créées pour la page "));
    ASSERT_EQ(pageLines.size(), 2);
    EXPECT_TRUE(pageLines.at(0).contains(QStringLiteral("(2-")) &&
                pageLines.at(0).endsWith(QStringLiteral("b.jpg")))
        << qPrintable(pageLines.at(0));
    EXPECT_TRUE(one.files.contains(QStringLiteral("VANTOLA/a.jpg-0001.jpg")));
    EXPECT_FALSE(one.files.contains(QStringLiteral("VANTOLA/a.jpg-0003.jpg")));
    EXPECT_TRUE(one.files.contains(QStringLiteral("VANTOLA/a.jpg-0002.bmp")));
    EXPECT_TRUE(one.files.contains(QStringLiteral("VANTOLA/c.jpg.bmp")));
    const QStringList dPieces =
        QStringList(one.files.keys()).filter(QStringLiteral("VANTOLA/d.jpg-"));
    ASSERT_EQ(dPieces.size(), 2) << qPrintable(dPieces.join(' ')); // one JPEG, then the bitmap
    EXPECT_TRUE(dPieces.at(1).endsWith(QStringLiteral(".bmp")));
    // Nothing is left under a hidden temporary name.
    EXPECT_TRUE(QStringList(four.files.keys()).filter(QStringLiteral("/.")).isEmpty());
    EXPECT_EQ(
        iniSectionLines(fixture.state.sFichierDecoupage, fixture.file(QStringLiteral("a.jpg")))
            .filter(QStringLiteral("FICHIER_")),
        (QStringList{"FICHIER_1=" + fixture.output() + "a.jpg-0001.jpg",
                     "FICHIER_2=" + fixture.output() + "a.jpg-0002.jpg"}));
}

TEST_F(ThreadsTest, DoublePassGivesTheSameJobOnFourThreads) {
    writeTroubledFolder();
    const auto setUp = [this](CuttingJob& job, CallRecorder& host) {
        troubleEachRun(host);
        job.switches.doublePass = true;
    };
    const JobOutcome one = cut(1, setUp);
    const JobOutcome four = cut(4, setUp);
    expectSameOutcome(one, four);
    EXPECT_FALSE(one.files.contains(QStringLiteral("VANTOLA2")));
    EXPECT_GT(one.summary.pieces, 8);
}

TEST_F(ThreadsTest, PdfPagesGiveTheSameJobOnFourThreads) {
    // Each page is kept as BDnnn.jpg beside the log of the pages; page 3 cannot be rendered.
    const auto run = [this](CuttingJob& job) {
        job.setPdfPageSource(
            [](int page) {
                if (page == 3)
                    return QImage();
                PageSpec spec;
                spec.width = 400;
                spec.height = 560;
                spec.seed = std::uint64_t(page);
                spec.minTiers = 2;
                return generatePage(spec).image;
            },
            5);
        return job.Decoupage(fixture.source(), fixture.source(), 5);
    };
    const auto setUp = [](CuttingJob&, CallRecorder&) {};
    const JobOutcome one = cut(1, setUp, run);
    const JobOutcome four = cut(4, setUp, run);
    expectSameOutcome(one, four);
    EXPECT_EQ(one.summary.errors, 1);
    EXPECT_TRUE(one.files.contains(QStringLiteral("BD005.jpg")));
    EXPECT_FALSE(one.files.contains(QStringLiteral("BD003.jpg")));
    EXPECT_EQ(one.log.filter(QStringLiteral("ont étés créées pour la page")).size(), 4);
}

TEST_F(ThreadsTest, FooterRowCarriedFromPageToPageUnderRotationIsTheSame) {
    // With the footer switch on, a page's footer row is the one the page before left, and a
    // turned page leaves its width: pages of different sizes catch a worker that guesses it.
    comicPage(fixture.source(), QStringLiteral("p1"), 6, 420, 600);
    comicPage(fixture.source(), QStringLiteral("p2"), 7, 600, 420);
    comicPage(fixture.source(), QStringLiteral("p3"), 8, 380, 640);
    comicPage(fixture.source(), QStringLiteral("p4"), 9, 500, 500);
    const auto setUp = [](CuttingJob& job, CallRecorder&) {
        job.switches.rotation = Rotation::Clockwise;
        job.switches.footerEnabled = true;
        job.lLignePied = 0;
    };
    const JobOutcome one = cut(1, setUp);
    const JobOutcome four = cut(4, setUp);
    expectSameOutcome(one, four);
    EXPECT_GT(one.summary.pieces, 4);
}

TEST_F(ThreadsTest, PauseHoldsTheWorkersAheadAndTheJobEndsTheSame) {
    for (int page = 1; page <= 6; ++page)
        comicPage(fixture.source(), QStringLiteral("p%1").arg(page), std::uint64_t(page));
    // At the first page's first row the pause holds for 20 yields of 20 ms, while the workers
    // have the next pages to prepare and encode. Only the encodings already running when the
    // pause came may end during it: at most one temporary file per thread.
    const auto temporaryFiles = [this] {
        return QDir(fixture.output())
            .entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden)
            .size();
    };
    auto grewDuringPause = std::make_shared<qsizetype>(-1);
    const auto setUp = [&](CuttingJob&, CallRecorder& host) {
        auto yields = std::make_shared<int>(-1);
        auto atStart = std::make_shared<qsizetype>(0);
        host.onShown = [&host, this, yields](const QString& path) {
            if (path == fixture.file(QStringLiteral("p1.jpg"))) {
                host.pausesLeft = 20;
                *yields = 0;
            }
        };
        host.onYield = [&host, yields, atStart, grewDuringPause, temporaryFiles] {
            // The yields of the pause come after its first "paused" answer.
            if (*yields < 0 || host.pausesLeft == 0 || host.pausesLeft == 20)
                return;
            if (++*yields == 1)
                *atStart = temporaryFiles();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (*yields == 19)
                *grewDuringPause = temporaryFiles() - *atStart;
        };
    };
    const JobOutcome one = cut(1, setUp);
    EXPECT_EQ(*grewDuringPause, 0);
    const JobOutcome four = cut(4, setUp);
    EXPECT_LE(*grewDuringPause, 4);
    expectSameOutcome(one, four);
}

TEST_F(ThreadsTest, JobStoppedByItsHostLeavesNoTemporaryFile) {
    // The window stops a job by throwing from its yield (it is closing); the workers then stop
    // and the pieces they wrote ahead are removed. Stopped at several points of the job.
    for (int page = 1; page <= 6; ++page)
        comicPage(fixture.source(), QStringLiteral("p%1").arg(page), std::uint64_t(page));
    struct Stop {};
    for (const int stopAt : {1, 400, 1500, 4000}) {
        QDir(fixture.output()).removeRecursively();
        CallRecorder host;
        int yields = 0;
        host.onYield = [&] {
            if (++yields == stopAt)
                throw Stop{};
        };
        CuttingJob job(fixture.state, host);
        job.threads = 4;
        EXPECT_THROW(job.Decoupage(fixture.source(), QString(), 0), Stop) << stopAt;
        EXPECT_EQ(
            QDir(fixture.output()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
            QStringList())
            << stopAt;
    }
}

} // namespace
} // namespace vantola::test
