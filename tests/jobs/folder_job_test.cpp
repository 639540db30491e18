// Jobs over a folder: which files are pages, the caption and job bar, the double pass and its
// final layout, and a second job over the same folder.
#include "jobs/job_fixture.h"
#include "support/djpeg.h"
#include "support/page_generator.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// A three-tier page whose panels the cutter finds; written as JPEG at high quality.
QString writeComicPage(const QString& folder, const QString& name, std::uint64_t seed) {
    PageSpec spec;
    spec.width = 620;
    spec.height = 877;
    spec.seed = seed;
    spec.minPanels = 2;
    spec.maxPanels = 2;
    spec.margin = 30;
    spec.gutter = 16;
    return savePage(generatePage(spec).image, folder, name, PageFormat::Jpeg, 95);
}

QStringList jpegNames(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
}

TEST(FolderJob, CutsOnlyJpegFilesWithCaptionAndBarPerPage) {
    JobFixture fixture;
    writeComicPage(fixture.source(), QStringLiteral("b"), 1);
    QFile::rename(writeComicPage(fixture.source(), QStringLiteral("a"), 2),
                  fixture.file(QStringLiteral("a.JPG")));
    savePage(plainPage(50, 50), fixture.source(), QStringLiteral("c"), PageFormat::Bmp);
    writeFileBytes(fixture.file(QStringLiteral("d.jpeg")), readFileBytes(fixture.file("b.jpg")));
    QDir().mkpath(fixture.file(QStringLiteral("sub.jpg")));

    const JobSummary summary = fixture.job.Decoupage(fixture.source(), QString(), 0);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(fixture.host.captions,
              (QStringList{"Découpage de BD - 0/2", "Découpage de BD - 1/2"}));
    EXPECT_EQ(fixture.host.jobTexts.mid(0, 2),
              (QStringList{"1er passe de a.JPG", "1er passe de b.jpg"}));
    EXPECT_EQ(fixture.host.jobValues.at(0), 0);
    EXPECT_EQ(fixture.host.jobValues.at(1), 50);
    const QStringList pieces = jpegNames(fixture.output());
    ASSERT_EQ(pieces.size(), summary.pieces);
    ASSERT_EQ(pieces.size(), 12); // three tiers of two panels on each page
    // Numbers run on across the pages of the job.
    EXPECT_EQ(pieces.first(), QStringLiteral("a.JPG-0001.jpg"));
    EXPECT_EQ(pieces.at(6), QStringLiteral("b.jpg-0007.jpg"));
    for (const QString& piece : pieces)
        EXPECT_EQ(decodeWithDjpeg(fixture.output() + piece).status, 0);
    const QStringList log = logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt"));
    EXPECT_EQ(log.at(4), "6 images (1-7) ont étés créées pour la page " +
                             fixture.file(QStringLiteral("a.JPG")));
    EXPECT_EQ(log.at(5), "6 images (7-13) ont étés créées pour la page " +
                             fixture.file(QStringLiteral("b.jpg")));
}

TEST(FolderJob, DoublePassReplacesTheFirstPassAndCountsTheSecond) {
    JobFixture fixture;
    for (int page = 1; page <= 4; ++page)
        writeComicPage(fixture.source(), QStringLiteral("p%1").arg(page), page);
    fixture.job.switches.doublePass = true;

    const JobSummary summary = fixture.job.Decoupage(fixture.source(), QString(), 0);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_FALSE(QFileInfo::exists(fixture.source() + QStringLiteral("VANTOLA2")));
    EXPECT_EQ(QDir(fixture.source()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("VANTOLA")});
    EXPECT_EQ(summary.outputFolder, fixture.output());
    // Only second-pass pieces remain: each is named after the first-pass piece it came from.
    const QStringList pieces = jpegNames(fixture.output());
    EXPECT_EQ(pieces.size(), summary.pieces);
    EXPECT_GE(pieces.size(), 24);
    for (const QString& piece : pieces)
        EXPECT_TRUE(piece.contains(
            QRegularExpression(QStringLiteral("^p\\d\\.jpg-\\d{4}\\.jpg-\\d{4}\\.jpg$"))))
            << qPrintable(piece);
    EXPECT_EQ(fixture.host.messages,
              QStringList{QStringLiteral("DECOUPAGE TERMINE | %1 diapos créées et 0 erreurs "
                                         "rencontré(s).")
                              .arg(pieces.size())});
    // The job bar fills its first half over the pages, its second over the pieces.
    EXPECT_EQ(std::vector<int>(fixture.host.jobValues.begin(), fixture.host.jobValues.begin() + 4),
              (std::vector<int>{0, 12, 25, 38}));
    EXPECT_EQ(fixture.host.jobTexts.at(6).left(13), QStringLiteral("2e passe de p"));
    // The log holds both passes: four page lines, then a line per first-pass piece.
    const QStringList log = logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt"));
    EXPECT_EQ(log.first(), QStringLiteral("Traitement commencé à"));
    EXPECT_EQ(log.last(), QStringLiteral("Traitement terminé à"));
    EXPECT_EQ(log.filter(QStringLiteral("pour la page ") + fixture.source() + "p").size(), 4);
    EXPECT_EQ(log.filter(QStringLiteral("pour la page ") + fixture.output()).size(), 24);
    // The cut record names second-pass sections by the first-pass piece's JPEG path.
    const QString record = QString::fromUtf8(readFileBytes(fixture.state.sFichierDecoupage));
    EXPECT_TRUE(record.contains(QStringLiteral("[") + fixture.output() + "p1.jpg-0001.jpg]"));
}

TEST(FolderJob, SecondJobReplacesLogAndRecordButKeepsOtherPieces) {
    JobFixture fixture;
    writeComicPage(fixture.source(), QStringLiteral("p1"), 1);
    writeComicPage(fixture.source(), QStringLiteral("p2"), 2);
    fixture.job.Decoupage(fixture.source(), QString(), 0);
    const int firstCount = jpegNames(fixture.output()).size();
    QFile::remove(fixture.file(QStringLiteral("p1.jpg")));
    writeFileBytes(fixture.output() + QStringLiteral("mine.txt"), "keep me");

    const JobSummary summary = fixture.job.Decoupage(fixture.source(), QString(), 0);

    // p2's pieces now start at 1 and overwrite p1's numbers; p2's old numbers stay.
    EXPECT_EQ(jpegNames(fixture.output()).size(), firstCount + summary.pieces);
    EXPECT_EQ(readFileBytes(fixture.output() + QStringLiteral("mine.txt")), QByteArray("keep me"));
    const QStringList log = logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt"));
    EXPECT_EQ(log.filter(QStringLiteral("pour la page")).size(), 1);
    const QString record = QString::fromUtf8(readFileBytes(fixture.state.sFichierDecoupage));
    EXPECT_FALSE(record.contains(QStringLiteral("p1.jpg]")));
    EXPECT_TRUE(record.contains(QStringLiteral("p2.jpg]")));
}

TEST(FolderJob, EmptyFolderWritesHeaderAndClosingLine) {
    JobFixture fixture;
    const JobSummary summary = fixture.job.Decoupage(fixture.source(), QString(), 0);
    EXPECT_EQ(summary.pieces, 0);
    EXPECT_EQ(logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt")).size(), 5);
    EXPECT_EQ(fixture.host.messages,
              QStringList{"DECOUPAGE TERMINE | 0 diapos créées et 0 erreurs rencontré(s)."});
    fixture.host.messages.clear();
    fixture.state.bSansMessage = true;
    fixture.job.Decoupage(fixture.source(), QString(), 0);
    EXPECT_TRUE(fixture.host.messages.isEmpty());
}

} // namespace
} // namespace vantola::test
