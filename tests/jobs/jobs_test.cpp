#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <thread>
#include <tuple>

namespace vantola::test {
namespace {

// Cutting jobs over one picture and over a folder, run in this process: what they write, what
// they tell their host, and the double pass.

class PictureJob : public ::testing::Test, public JobFixture {
protected:
    JobSummary cut() { return job.Decoupage(path, "p.png", 0); }
    QString piece(int n) const {
        return output() + QStringLiteral("p.png-%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
    }

    // A 600 x 800 page: two panels side by side over rows 40..380, one wide panel over rows
    // 420..760, white everywhere else.
    const QImage page = [] {
        QImage page = plainPage(600, 800);
        QPainter painter(&page);
        for (const QRect& panel :
             {QRect(QPoint(40, 40), QPoint(290, 380)), QRect(QPoint(310, 40), QPoint(560, 380)),
              QRect(QPoint(40, 420), QPoint(560, 760))})
            painter.fillRect(panel, QColor(128, 128, 128));
        return page;
    }();
    const QString path = savePage(page, source(), "p", PageFormat::Png);
};

TEST_F(PictureJob, WritesPiecesRecordLogAndMessage) {
    const JobSummary summary = cut();

    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.pieces, 3);
    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(QDir(output()).entryList(QDir::Files, QDir::Name),
              (QStringList{"log.txt", "p.png-0001.jpg", "p.png-0002.jpg", "p.png-0003.jpg"}));
    // Blocks are (right - left) x (bottom - top) from their top-left corner.
    const QRect blocks[] = {{39, 39, 252, 342}, {309, 39, 252, 342}, {39, 419, 522, 342}};
    for (int n = 1; n <= 3; ++n) {
        const DecodedJpeg decoded = decodeWithDjpeg(piece(n));
        ASSERT_EQ(decoded.status, 0) << n;
        EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(decoded.errors);
        ASSERT_EQ(decoded.picture.size(), blocks[n - 1].size()) << n;
        EXPECT_GT(psnr(decoded.picture, page.copy(blocks[n - 1])), 30.0) << n;
    }

    EXPECT_EQ(iniSectionLines(state.sFichierDecoupage, path),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=291", "LIGNE_1_1=39", "LIGNE_2_1=381",
                           "WIDTH=600", "HEIGHT=800", "FICHIER_1=" + piece(1), "COLONNE_1_2=309",
                           "COLONNE_2_2=561", "LIGNE_1_2=39", "LIGNE_2_2=381",
                           "FICHIER_2=" + piece(2), "COLONNE_1_3=39", "COLONNE_2_3=561",
                           "LIGNE_1_3=419", "LIGNE_2_3=761", "FICHIER_3=" + piece(3)}));
    EXPECT_EQ(outputLog(), (QStringList{"Traitement commencé à", "JPG Qualité : 75",
                                        "JPG Sample : 2:2  [Default]", "Niveau du blanc : 1450",
                                        "3 images (1-4) ont étés créées pour la page " + path,
                                        "Traitement terminé à"}));
    EXPECT_EQ(host.callsOf("message "),
              QStringList{"DECOUPAGE TERMINE | 3 diapos créées et 0 erreurs rencontré(s)."});
    EXPECT_TRUE(host.callsOf("caption ").isEmpty()); // a single picture leaves the caption alone
    ASSERT_EQ(host.callsOf("shown ").size(), 1);
    EXPECT_TRUE(host.callsOf("shown ").first().startsWith(path + " 600x800 "));
    EXPECT_EQ(host.callsOf("page ").first(), "0");
    EXPECT_TRUE(host.callsOf("page ").contains("100"));

    // Settings are read again by each job: a grey job writes one component.
    setParam("JPG_GREYSCALE", "1");
    cut();
    EXPECT_EQ(decodeWithDjpeg(piece(1)).picture.format(), QImage::Format_Grayscale8);
    EXPECT_TRUE(outputLog().contains("JPG Sample : GRIS"));

    // The paper made transparent over black, as a drawing program may save it, is cut as white.
    QImage clear = page.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < clear.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(clear.scanLine(y));
        std::replace(pixels, pixels + clear.width(), qRgb(255, 255, 255), qRgba(0, 0, 0, 0));
    }
    savePage(clear, source(), "p", PageFormat::Png);
    EXPECT_EQ(cut().pieces, 3);
}

TEST_F(PictureJob, HeaderAndFooterLimitTheRowsRead) {
    job.lLigneEntete = 400;
    job.lLignePied = 799;
    job.switches.footerEnabled = true;
    EXPECT_EQ(cut().pieces, 1); // the top tier lies above the header
    EXPECT_EQ(iniSectionLines(state.sFichierDecoupage, path).mid(0, 4),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=561", "LIGNE_1_1=419", "LIGNE_2_1=761"}));
    // Without the footer switch the footer row is the page's last row.
    job.switches.footerEnabled = false;
    job.lLignePied = 500;
    cut();
    EXPECT_EQ(job.lLignePied, 799);
}

TEST_F(PictureJob, RotationTurnsTheGridButNotThePageSize) {
    for (const Rotation rotation : {Rotation::Clockwise, Rotation::Anticlockwise}) {
        SCOPED_TRACE(int(rotation));
        job.switches.rotation = rotation;
        const JobSummary summary = cut();
        ASSERT_EQ(summary.errors, 0);
        ASSERT_GT(summary.pieces, 0);
        EXPECT_EQ(job.lLignePied, 599); // the turned page is 600 rows high
        const QStringList record = iniSectionLines(state.sFichierDecoupage, path);
        EXPECT_EQ(record.mid(4, 2), (QStringList{"WIDTH=600", "HEIGHT=800"}));
        // Every piece is as large as its recorded rectangle; a band kept whole, recorded as
        // columns 0..800 once turned, is as wide as the page picture.
        const std::vector<QRect> recorded = recordedPieces(state.sFichierDecoupage, path);
        ASSERT_EQ(recorded.size(), std::size_t(summary.pieces));
        for (int n = 1; n <= summary.pieces; ++n) {
            const QRect& r = recorded[std::size_t(n - 1)];
            const DecodedJpeg decoded = decodeWithDjpeg(piece(n));
            ASSERT_EQ(decoded.status, 0);
            const bool wholeBand = r.left() == 0 && r.right() == 800;
            EXPECT_EQ(decoded.picture.width(), wholeBand ? 600 : r.right() - r.left());
            EXPECT_EQ(decoded.picture.height(), r.bottom() - r.top());
        }
    }
}

TEST_F(PictureJob, WhiteLevelTooLargeForTheThresholdStartsNothing) {
    writeFileBytes(state.sFichierDecoupage, "[earlier]\r\nA=1\r\n");
    state.lNiveauBlanc = 214749; // 2147490000 does not fit 32 bits
    EXPECT_FALSE(cut().started);
    EXPECT_FALSE(QFileInfo::exists(output()));
    EXPECT_EQ(readFileBytes(state.sFichierDecoupage), QByteArray("[earlier]\r\nA=1\r\n"));
    ASSERT_EQ(host.callsOf("message ").size(), 1);
    EXPECT_TRUE(host.callsOf("message ").first().contains("214749"));

    state.lNiveauBlanc = 214748; // the largest level that fits
    EXPECT_TRUE(cut().started);
}

QString closingMessage(int pieces) {
    return QStringLiteral("DECOUPAGE TERMINE | %1 diapos créées et 0 erreurs rencontré(s).")
        .arg(pieces);
}

class FolderJob : public ::testing::Test, public JobFixture {};

TEST_F(FolderJob, CutsOnlyJpegFilesAndASecondJobReplacesLogAndRecord) {
    writeComicPage(source(), "b", 1);
    QFile::rename(writeComicPage(source(), "a", 2), file("a.JPG"));
    savePage(plainPage(50, 50), source(), "c", PageFormat::Bmp);
    writeFileBytes(file("d.jpeg"), readFileBytes(file("b.jpg")));
    QDir().mkpath(file("sub.jpg"));
    // A first pass that a double pass stopped between its two renames left aside, without
    // VANTOLA: it takes its name back rather than being cleared.
    const QString aside = file(".VANTOLA.vantola-999999-0.ancien/");
    QDir().mkpath(aside);
    writeFileBytes(aside + "old.txt", "first pass");

    const JobSummary summary = job.Decoupage(source(), QString(), 0);
    EXPECT_EQ(readFileBytes(output() + "old.txt"), "first pass");
    EXPECT_FALSE(QFileInfo::exists(aside));

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(host.callsOf("caption "),
              (QStringList{"Découpage de BD - 0/2", "Découpage de BD - 1/2"}));
    EXPECT_EQ(host.callsOf("job ").mid(0, 2),
              (QStringList{"0 1er passe de a.JPG", "50 1er passe de b.jpg"}));
    const QStringList pieces = fileNames(output(), "*.jpg");
    ASSERT_EQ(pieces.size(), summary.pieces);
    ASSERT_EQ(pieces.size(), 12); // three tiers of two panels on each page
    // Numbers run on across the pages of the job.
    EXPECT_EQ(pieces.first(), "a.JPG-0001.jpg");
    EXPECT_EQ(pieces.at(6), "b.jpg-0007.jpg");

    // Again without a.JPG and without the closing message: b's pieces now start at 1 over a's
    // numbers, its old numbers and the user's own files stay.
    QFile::remove(file("a.JPG"));
    writeFileBytes(output() + "mine.txt", "keep me");
    host.calls.clear();
    state.bSansMessage = true;
    const JobSummary again = job.Decoupage(source(), QString(), 0);
    EXPECT_EQ(fileNames(output(), "*.jpg").size(), 12 + again.pieces);
    EXPECT_EQ(readFileBytes(output() + "mine.txt"), QByteArray("keep me"));
    EXPECT_EQ(outputLog().filter("pour la page").size(), 1);
    const QString record = QString::fromUtf8(readFileBytes(state.sFichierDecoupage));
    EXPECT_FALSE(record.contains("a.JPG]"));
    EXPECT_TRUE(record.contains("b.jpg]"));
    EXPECT_TRUE(host.callsOf("message ").isEmpty());

    // A folder without pages: the log's header and closing line, the message with no piece.
    QFile::remove(file("b.jpg"));
    state.bSansMessage = false;
    EXPECT_EQ(job.Decoupage(source(), QString(), 0).pieces, 0);
    EXPECT_EQ(outputLog().size(), 5);
    EXPECT_EQ(host.callsOf("message "), QStringList{closingMessage(0)});
}

TEST_F(FolderJob, DoublePassReplacesTheFirstPassAndCountsTheSecond) {
    writeComicPages(source(), 4);
    job.switches.doublePass = true;
    const QString usersOwn = file("VANTOLA.ancien/mine.txt");
    QDir().mkpath(file("VANTOLA.ancien"));
    writeFileBytes(usersOwn, "keep me");

    const JobSummary summary = job.Decoupage(source(), QString(), 0);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(QDir(source()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"VANTOLA", "VANTOLA.ancien"}));
    EXPECT_EQ(readFileBytes(usersOwn), "keep me");
    EXPECT_EQ(summary.outputFolder, output());
    // Only second-pass pieces remain: each is named after the first-pass piece it came from.
    const QStringList pieces = fileNames(output(), "*.jpg");
    EXPECT_EQ(pieces.size(), summary.pieces);
    EXPECT_GE(pieces.size(), 24);
    const QRegularExpression secondPass("^p\\d\\.jpg-\\d{4}\\.jpg-\\d{4}\\.jpg$");
    for (const QString& piece : pieces)
        EXPECT_TRUE(piece.contains(secondPass)) << qPrintable(piece);
    EXPECT_EQ(host.callsOf("message "), QStringList{closingMessage(pieces.size())});
    // The job bar fills its first half over the pages, its second over the pieces.
    const QStringList bar = host.callsOf("job ");
    ASSERT_GT(bar.size(), 6);
    const int firstValues[] = {0, 12, 25, 38};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bar.at(i).section(' ', 0, 0).toInt(), firstValues[i]);
    EXPECT_TRUE(bar.at(6).section(' ', 1).startsWith("2e passe de p"));
    // The log holds both passes: four page lines, then a line per first-pass piece.
    const QStringList log = outputLog();
    EXPECT_EQ(log.first(), "Traitement commencé à");
    EXPECT_EQ(log.last(), "Traitement terminé à");
    EXPECT_EQ(log.filter("pour la page " + source() + "p").size(), 4);
    EXPECT_EQ(log.filter("pour la page " + output()).size(), 24);
    // The cut record names second-pass sections by the first-pass piece's JPEG path.
    const QString record = QString::fromUtf8(readFileBytes(state.sFichierDecoupage));
    EXPECT_TRUE(record.contains("[" + output() + "p1.jpg-0001.jpg]"));

    // Re-cutting one page cuts again only its own pieces: the other pages' pieces stay as they
    // are, and a piece the user deleted stays deleted.
    QFile::remove(output() + pieces.last());
    QMap<QString, QByteArray> others;
    for (const QString& piece : fileNames(output(), "*.jpg").filter(QRegularExpression("^p[2-4]")))
        others.insert(piece, readFileBytes(output() + piece));
    job.Decoupage(file("p1.jpg"), "p1.jpg", 0);
    const QStringList after = fileNames(output(), "*.jpg");
    const QStringList recut = after.filter(QRegularExpression("^p1"));
    EXPECT_EQ(recut, pieces.filter(QRegularExpression("^p1"))); // second-pass names, as above
    EXPECT_EQ(after.size() - recut.size(), others.size());
    for (auto it = others.begin(); it != others.end(); ++it)
        EXPECT_EQ(readFileBytes(output() + it.key()), it.value()) << qPrintable(it.key());
    EXPECT_FALSE(QFileInfo::exists(file("VANTOLA2")));
}

TEST_F(FolderJob, NamesThatAreNotUtf8AreCutUnderTheirWindows1252Reading) {
    // "planche_été.jpg" and "bédé.jpg" in Windows-1252 bytes; a UTF-8 "bédé.jpg" takes the name.
    const QByteArray folder = QFile::encodeName(source());
    const QByteArray latin1Names[] = {"planche_\xe9t\xe9.jpg", "b\xe9\x64\xe9.jpg"};
    for (const QByteArray& name : latin1Names) {
        const QString page = writeComicPage(source(), "x", name.size());
        std::rename(QFile::encodeName(page).constData(), (folder + name).constData());
    }
    writeComicPage(source(), "bédé", 3);

    EXPECT_EQ(cutWithVantola(source()).status, 0);
    const QStringList pieces = fileNames(output(), "*.jpg");
    EXPECT_EQ(pieces.size(), 12);
    EXPECT_EQ(pieces.value(6), "planche_été.jpg-0007.jpg");
    EXPECT_EQ(
        outputLog().mid(4, 3),
        (QStringList{"Fichier non découpé : un second fichier se lit " + file("bédé.jpg") +
                         " (son nom est écrit en Windows-1252)",
                     "6 images (1-7) ont étés créées pour la page " + file("bédé.jpg"),
                     "6 images (7-13) ont étés créées pour la page " + file("planche_été.jpg")}));

    const QString script =
        "exec \"$VANTOLA\" cut --home \"$1\" \"$2$(printf 'planche_\\351t\\351.jpg')\"";
    EXPECT_EQ(runProgram("sh", {"-c", script, "sh", home(), source()}).status, 0);
    EXPECT_EQ(outputLog().value(4),
              "6 images (1-7) ont étés créées pour la page " + file("planche_été.jpg"));
    // Qt could not remove these names with the temporary folder.
    for (const QByteArray& name : latin1Names)
        std::remove((folder + name).constData());
}

// A job cut on several threads leaves exactly what the same job leaves on one: the same files,
// cut record, counts and calls on its host in the same order, made from the calling thread only.
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

// Jobs of the vantola program: bad pages fail alone and the job goes on (exit status 1); unusable
// output folders, a full disk, a job already running and a killed job lose nothing of the user's.

QByteArray pictureBytes(const QImage& picture, PageFormat format = PageFormat::Jpeg) {
    TempFolder folder;
    return readFileBytes(savePage(picture, folder.path(), "x", format));
}

// A real JPEG whose frame header claims width x height.
QByteArray jpegClaimingSize(int width, int height) {
    QByteArray bytes = pictureBytes(plainPage(16, 16, qRgb(90, 90, 90)));
    const qsizetype frame = bytes.indexOf(QByteArrayView("\xFF\xC0", 2));
    qToBigEndian(quint16(height), bytes.data() + frame + 5);
    qToBigEndian(quint16(width), bytes.data() + frame + 7);
    return bytes;
}

class BadInput : public ::testing::Test, public JobFixture {};

TEST_F(BadInput, EveryBadPageFailsAloneAndTheJobGoesOn) {
    const QString folder = source() + "BD [1] é=x/";
    QDir().mkpath(folder);
    const QString good = writeComicPage(folder, "bonne [2]=é", 1);
    const QByteArray goodBytes = readFileBytes(good);
    // Cameras and tools append data after a picture's end, even the start of another picture:
    // the page is cut as any other.
    writeFileBytes(folder + "suivie.jpg", goodBytes + goodBytes.left(1000));
    QByteArray damaged = goodBytes; // its scan data damaged halfway: the decoder only warns
    for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    const QByteArray bmp = pictureBytes(plainPage(64, 64), PageFormat::Bmp);
    const QByteArray gif =
        readFileBytes(QStringLiteral(VANTOLA_SOURCE_DIR) + "/fuzz/corpus/fuzz_picture/page.gif");
    const QMap<QString, QByteArray> bad{
        {"vide.jpg", QByteArray()},
        {"coupee.jpg", goodBytes.left(goodBytes.size() / 2)},
        {"texte.jpg", QByteArray("ceci n'est pas une image\n")},
        {"geante.jpg", jpegClaimingSize(65000, 65000)},
        {"minuscule.jpg", pictureBytes(plainPage(1, 1))},
        {"abimee.jpg", damaged},
        {"bmp-coupe.jpg", bmp.left(bmp.size() / 2)},
        {"gif-coupe.jpg", gif.left(gif.size() - 20)},
        // More than the memory given to the job: refused before its pixels are allocated.
        {"enorme.jpg", jpegClaimingSize(17000, 17000)},
    };
    for (auto it = bad.begin(); it != bad.end(); ++it)
        writeFileBytes(folder + it.key(), it.value());
    // A pipe and a device are no pictures: they fail at once, neither read nor copied.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "tube.jpg"), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "zero.jpg"));

    // The pages share 10 MiB, one page's worth: with four threads they wait for each other.
    const ProcessResult result = cutWithVantola(folder, {"--threads", "4", "--memory", "10"});

    EXPECT_EQ(result.status, 1) << qPrintable(result.err);
    const QString output = folder + "VANTOLA/";
    EXPECT_TRUE(result.out.trimmed().endsWith("11 pages failed, output: " + output))
        << qPrintable(result.out);
    const QStringList log = textFileLines(output + "log.txt");
    EXPECT_EQ(log.filter("ERREUR DE TRAITEMENT DU FICHIER: ").size(), 11);
    // The undecodable files say so in two more lines, the damaged ones with the decoder's words;
    // the 1x1 page fails on its arithmetic.
    EXPECT_EQ(log.filter("Votre image est déffectueuse").size(), 9);
    EXPECT_EQ(log.filter("Invalid picture: ").size(), 6);
    EXPECT_TRUE(log.contains("Invalid picture (481)"));
    EXPECT_TRUE(log.contains("Overflow (6)"));
    EXPECT_TRUE(log.contains("Out of memory (7)"));
    EXPECT_EQ(log.filter("ont étés créées pour la page " + good).size(), 1);
    EXPECT_FALSE(QDir(output).entryList({"suivie.jpg-*.jpg"}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(output + "tube.jpg.bmp"));
    for (auto it = bad.begin(); it != bad.end(); ++it) {
        EXPECT_EQ(readFileBytes(output + it.key() + ".bmp"), it.value()) << qPrintable(it.key());
        EXPECT_EQ(readFileBytes(folder + it.key()), it.value()); // the source is untouched
    }
    const QString record = QString::fromUtf8(readFileBytes(state.sFichierDecoupage));
    EXPECT_TRUE(record.contains("[" + good + "]\r\nCOLONNE_1_1="));
}

TEST_F(BadInput, SettingsAndRowsThatCannotWorkFailEveryPage) {
    const QString page = writeComicPage(source(), "p", 1);
    const auto written = [&](const char* name) {
        return QFileInfo::exists(output() + QLatin1String(name));
    };

    // A header row equal to the footer row: the page's progress divides by zero.
    EXPECT_EQ(cutWithVantola(page, {"--header", "100", "--footer", "100"}).status, 1);
    EXPECT_TRUE(outputLog().contains("Division by zero (11)"));

    // A quality that is no number: every piece fails and stays as a bitmap.
    setParam("JPG_QUALITY", "haute");
    EXPECT_EQ(cutWithVantola(page).status, 1);
    EXPECT_TRUE(outputLog().contains("JPG Qualité : haute"));
    EXPECT_TRUE(written("p.jpg-0001.bmp"));
    EXPECT_FALSE(written("p.jpg-0001.jpg"));
    EXPECT_TRUE(written("p.jpg.bmp"));

    // The command line's quality replaces the broken setting for this run only.
    const ProcessResult result = cutWithVantola(page, {"--quality", "60"});
    EXPECT_EQ(result.status, 0) << qPrintable(result.out);
    EXPECT_TRUE(written("p.jpg-0001.jpg"));
    EXPECT_TRUE(
        QString::fromUtf8(readFileBytes(state.sFichierParam)).contains("JPG_QUALITY=haute"));
}

TEST_F(BadInput, OutputFolderThatCannotServeRefusesTheJobAndLosesNothing) {
    // The entry is made in the source folder: a link to the target, or a file when there is no
    // target. Without an entry, the source folder is mounted read-only.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"VANTOLA", "../ailleurs", "cut", "est un lien symbolique"},
        {"VANTOLA", ".", "cut", "est un lien symbolique"},
        {"VANTOLA2", "../ailleurs", "cut", "est un lien symbolique"},
        {"VANTOLA", "", "cut", "n'est pas un dossier"},
        {"", "", "cut", "n'a pas pu être créé (système de fichiers en lecture seule)"},
        {"", "", "clipboard", "n'a pas pu être créé (système de fichiers en lecture seule)"},
    };
    for (const auto& [entryName, target, command, reason] : cases) {
        SCOPED_TRACE(std::string(entryName) + " " + target + " " + command);
        JobFixture fixture;
        writeComicPage(fixture.source(), "p", 1);
        const QString elsewhere = fixture.source() + "../ailleurs/";
        QDir().mkpath(elsewhere);
        writeFileBytes(elsewhere + "precieux.txt", "keep me");
        const QString entry = fixture.source() + entryName;
        if (*target)
            QFile::link(target, entry);
        else if (*entryName)
            writeFileBytes(entry, "occupied");
        const QStringList arguments{command,        fixture.source(), "--home",
                                    fixture.home(), "--quiet",        "--double-pass"};
        // Mounts $1 read-only, then runs vantola with the other arguments.
        const ProcessResult result =
            *entryName
                ? runVantola(arguments)
                : runInPrivateMounts("mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro "
                                     "\"$1\" && shift && exec \"$VANTOLA\" \"$@\"",
                                     QStringList{fixture.source()} + arguments);
        if (result.status == kNoPrivateMounts)
            GTEST_SKIP() << "no private mount namespace (unshare) here for a read-only folder";

        EXPECT_EQ(result.status, 2) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(reason))) << qPrintable(result.err);
        EXPECT_EQ(QDir(elsewhere).entryList(QDir::Files), QStringList{"precieux.txt"});
        EXPECT_EQ(readFileBytes(elsewhere + "precieux.txt"), "keep me");
        EXPECT_EQ(QDir(fixture.source()).entryList({"*.jpg"}), QStringList{"p.jpg"});
        EXPECT_EQ(QFileInfo(entry).isSymLink(), *target != '\0');
        EXPECT_FALSE(QFileInfo::exists(fixture.output() + "log.txt"));
    }
}

TEST_F(BadInput, DoublePassOnAFullDiskKeepsTheFirstPass) {
    writeComicPages(source(), 4);
    // The first pass alone, on the real disk: what the full disk must keep.
    ASSERT_EQ(cutWithVantola(source()).status, 0);
    QMap<QString, QByteArray> firstPass;
    qint64 pages = 0, pieces = 0;
    const auto blocks = [](qint64 size) { return (size + 4095) / 4096 * 4096; };
    for (const QFileInfo& file : QDir(output()).entryInfoList({"*.jpg"}, QDir::Files)) {
        firstPass.insert(file.fileName(), readFileBytes(file.filePath()));
        pieces += blocks(file.size());
    }
    for (const QFileInfo& file : QDir(source()).entryInfoList({"*.jpg"}, QDir::Files))
        pages += blocks(file.size());

    // A tmpfs with room for the pages, the first pass and half the second.
    const QString disk = QDir::cleanPath(source() + "../disque");
    const QString after = QDir::cleanPath(source() + "../apres") + '/';
    QDir().mkpath(disk);
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=$2 tmpfs \"$1\" && mkdir \"$1/p\" && cp \"$3\"/*.jpg \"$1/p/\" "
        "|| exit 99\n\"$VANTOLA\" cut --home \"$4\" --quiet --double-pass \"$1/p/\"\n"
        "status=$?; cp -a \"$1/p\" \"$5\" && exit $status");
    const ProcessResult result =
        runInPrivateMounts(script, {disk, QString::number(pages + pieces * 3 / 2 + 65536), source(),
                                    home(), after.chopped(1)});
    if (result.status == kNoPrivateMounts)
        GTEST_SKIP() << "no private mount namespace (unshare) here for a small tmpfs";

    EXPECT_EQ(result.status, 1) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains("La double passe n'a pas pu aboutir"));
    EXPECT_EQ(QDir(after).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"VANTOLA"});
    QMap<QString, QByteArray> kept;
    for (const QString& name : QDir(after + "VANTOLA").entryList({"*.jpg"}, QDir::Files))
        kept.insert(name, readFileBytes(after + "VANTOLA/" + name));
    EXPECT_TRUE(kept == firstPass) << qPrintable(kept.keys().join(' '));
    const QStringList log = textFileLines(after + "VANTOLA/log.txt");
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.first(), "Traitement commencé à");
    EXPECT_EQ(log.filter("ERREUR : La double passe n'a pas pu aboutir").size(), 1);
    EXPECT_EQ(log.filter("pour la page " + disk + "/p/p").size(), 4);
    EXPECT_EQ(log.last(), "Traitement terminé à");
    for (const QString& line : log.filter(QRegularExpression("^-"))) // no line cut short
        EXPECT_EQ(line, QString(70, QLatin1Char('-')));
}

TEST_F(BadInput, ASecondJobOnTheSameFoldersIsRefusedAndNamesTheFirst) {
    writeComicPages(source(), 3, QSize(1240, 1754));
    const QString otherFolder = source() + "../autres/";
    QDir().mkpath(otherFolder);
    writeComicPage(otherFolder, "q", 4);
    QProcess first;
    first.start(QStringLiteral(VANTOLA_BINARY),
                {"cut", "--home", home(), "--quiet", "--threads", "1", source()});
    ASSERT_TRUE(first.waitForStarted());
    // Its log begins once it holds its locks; stopped, it keeps them.
    for (int wait = 0; wait < 2000 && !QFileInfo::exists(output() + "log.txt"); ++wait)
        QThread::msleep(5);
    ::kill(pid_t(first.processId()), SIGSTOP);
    ASSERT_EQ(first.state(), QProcess::Running);

    for (const QString& folder : {source(), otherFolder}) {
        const ProcessResult second = cutWithVantola(folder);
        EXPECT_EQ(second.status, 2);
        EXPECT_TRUE(second.err.contains(
            QStringLiteral("processus %1, découpage de %2").arg(first.processId()).arg(source())))
            << qPrintable(second.err);
    }
    EXPECT_FALSE(QFileInfo::exists(otherFolder + "VANTOLA/log.txt"));
    ::kill(pid_t(first.processId()), SIGCONT);
    first.waitForFinished(120000);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(outputLog().filter("pour la page").size(), 3);
}

// A cut record that cannot be written whole (read-only, the program folder a file, a full file
// system) is reported, and what was there stays as it was.
TEST_F(BadInput, CutRecordThatCannotBeWrittenIsReportedAndKeptWhole) {
    const QString page = writeComicPage(source(), "p", 1);
    const QByteArray previous("[earlier]\r\nA=1\r\n");
    const QString record = home() + "decoupage.ini";
    const QString fileAsHome = home() + "fichier";
    const QString copied = source() + "copie.ini";
    writeFileBytes(record, previous);
    QFile::setPermissions(record, QFileDevice::ReadOwner);
    writeFileBytes(fileAsHome, previous);
    // The last row mounts a small tmpfs over the program folder in a private namespace and
    // fills it before the job.
    const QString fullDisk = QStringLiteral(
        "mount -t tmpfs -o size=8k tmpfs \"$1\" && printf '[earlier]\\r\\nA=1\\r\\n' > "
        "\"$1/decoupage.ini\" && head -c 4096 /dev/zero > \"$1/plein\" || exit 99; \"$VANTOLA\" "
        "cut --home \"$1\" \"$2\"; s=$?; cp \"$1/decoupage.ini\" \"$3\"; exit $s");
    const struct {
        QString kept;
        QStringList arguments;
        bool onFullDisk;
    } rows[] = {
        {record, {"cut", "--home", home(), page}, false},
        {fileAsHome, {"cut", "--home", fileAsHome, page}, false},
        {copied, {home(), page, copied}, true},
    };
    for (const auto& [kept, arguments, onFullDisk] : rows) {
        const ProcessResult result =
            onFullDisk ? runInPrivateMounts(fullDisk, arguments) : runVantola(arguments);
        if (result.status == kNoPrivateMounts) {
            std::cout << "[  SKIPPED ] full disk: no private tmpfs (unshare refused)\n";
            continue;
        }
        EXPECT_EQ(result.status, 1) << qPrintable(kept) << qPrintable(result.err);
        EXPECT_EQ(readFileBytes(kept), previous) << qPrintable(kept);
        EXPECT_EQ(outputLog().filter("ERREUR : le fichier de découpage").size(), 1);
        EXPECT_TRUE(QDir(home()).entryList({".vantola-*"}, QDir::Hidden | QDir::Files).isEmpty());
    }
}

// Bad use of cut, pdf and clipboard, and a document that is no PDF: refused before any job.
TEST_F(BadInput, CommandLinesThatCannotRunWriteNothing) {
    const QString folder = source(), out = file("sortie/"), album = file("album.pdf");
    writePdf(album, {comicPage(21)});
    writeFileBytes(file("texte.pdf"), "pas un PDF");
    struct Refused {
        QStringList arguments;
        const char* reason = "";
        const char* start = "vantola: ";
    };
    const char* refusedLevel = "DECOUPAGE IMPOSSIBLE: "; // the job's refusal, not a usage error
    const Refused refused[] = {
        {{"cut"}},
        {{"cut", folder + "absent.jpg"}},
        {{"cut", "--level", "haut", folder}},
        {{"cut", "--rotate", "left", folder}},
        {{"cut", "--sampling", "5:1", folder}},
        {{"cut", "--level", "300000", folder}, "300000 est hors limites", refusedLevel},
        {{"cut", "--level", "-300000", folder}, "-300000 est hors limites", refusedLevel},
        {{"cut", "--memory", "0", folder}},
        {{"pdf", file("absent.pdf"), out}},
        {{"pdf", file("texte.pdf"), out}, "n'est pas un document PDF lisible"},
        {{"pdf", album}},
        {{"pdf", album, out, "--pages", "0"}},
        {{"pdf", album, out, "--pages", "deux"}},
        {{"pdf", album, out, "--dpi", "0"}},
        {{"pdf", album, out, "--dpi"}},
        {{"clipboard"}},
        {{"clipboard", out, out}},
    };
    for (const auto& [arguments, reason, start] : refused) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProcessResult result = runVantola(
            QStringList{arguments.first(), "--home", home(), "--quiet"} + arguments.mid(1));
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.startsWith(QLatin1String(start))) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(reason))) << qPrintable(result.err);
        // A level out of range says so once, in words that fit a level too small.
        EXPECT_LE(result.err.count("Le niveau de blanc"), 1);
        EXPECT_FALSE(result.err.contains("-300000 est trop grand"));
        EXPECT_FALSE(QFileInfo::exists(output()));
        EXPECT_FALSE(QFileInfo::exists(out));
    }
    EXPECT_TRUE(QDir(home()).isEmpty(QDir::Files));
}

// Five A4 pages at 150 dpi and the vantola command line that cuts them in one or two passes.
struct PagesToCut : JobFixture {
    explicit PagesToCut(bool doublePass) : doublePass(doublePass) {
        writeComicPages(source(), 5, QSize(1240, 1754));
    }
    // Runs the job to its end, or kills it (SIGKILL) after killAfterMs; returns its exit status.
    int run(int killAfterMs = -1) const {
        QProcess process;
        process.start(QStringLiteral(VANTOLA_BINARY),
                      {"cut", "--home", home(), "--quiet",
                       doublePass ? "--double-pass" : "--single-pass", source()});
        process.waitForStarted();
        if (killAfterMs >= 0) {
            QThread::msleep(killAfterMs);
            process.kill();
        }
        process.waitForFinished(300000);
        return process.exitCode();
    }

    bool doublePass;
};

// A job killed at any moment leaves no half-written JPEG under a final name, and running it
// again gives exactly what an uninterrupted run gives.
class InterruptedJob : public ::testing::TestWithParam<bool> {};

TEST_P(InterruptedJob, KilledAndRunAgainEqualsAnUninterruptedRun) {
    const PagesToCut reference(GetParam());
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(reference.run(), 0);
    const int duration = int(timer.elapsed());
    const auto expected = folderContents(reference.output(), reference.source());
    ASSERT_FALSE(expected.isEmpty());

    for (const double fraction : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        SCOPED_TRACE(QStringLiteral("killed at %1 of the job").arg(fraction).toStdString());
        const PagesToCut work(GetParam());
        work.run(int(duration * fraction));
        QDirIterator it(work.source(), {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const DecodedJpeg decoded = decodeWithDjpeg(it.next());
            EXPECT_EQ(decoded.status, 0) << qPrintable(it.filePath());
            EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(decoded.errors);
        }
        // Once a double pass has moved its pieces into VANTOLA, running it again cuts those
        // pieces once more (the second pass takes every .jpg it finds there), as any second run
        // of a double-pass job does: only runs killed before that point must come out equal.
        const bool secondPassInPlace =
            !QDir(work.output()).entryList({"*.jpg-????.jpg-????.jpg"}).isEmpty();
        ASSERT_EQ(work.run(), 0);
        if (secondPassInPlace)
            continue;
        const auto contents = folderContents(work.output(), work.source());
        EXPECT_EQ(contents.keys(), expected.keys());
        EXPECT_TRUE(contents == expected);
        EXPECT_EQ(QDir(work.source()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                  QStringList{"VANTOLA"});
    }
}

INSTANTIATE_TEST_SUITE_P(SingleAndDoublePass, InterruptedJob, ::testing::Bool());

} // namespace
} // namespace vantola::test
