// Jobs over a single picture: the pieces and their pixels, the cut record, the log, the closing
// message, rotation, header and footer, and the refusal of a white level that cannot be used.
#include "jobs/job_fixture.h"
#include "support/djpeg.h"
#include "support/page_generator.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

const QRgb kInk = qRgb(128, 128, 128);

// A 600 x 800 page: two panels side by side over rows 40..380, one wide panel over rows
// 420..760, white everywhere else.
QImage twoTierPage() {
    QImage page = plainPage(600, 800);
    for (int y = 0; y < 800; ++y) {
        for (int x = 0; x < 600; ++x) {
            const bool topTier =
                y >= 40 && y <= 380 && ((x >= 40 && x <= 290) || (x >= 310 && x <= 560));
            const bool bottomTier = y >= 420 && y <= 760 && x >= 40 && x <= 560;
            if (topTier || bottomTier)
                page.setPixel(x, y, kInk);
        }
    }
    return page;
}

QStringList outputNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The payload of a JPEG file's frame header (SOF0): precision, size, components.
QByteArray frameHeader(const QString& jpegPath) {
    for (const JpegSegment& segment : parseJpeg(readFileBytes(jpegPath)).segments) {
        if (segment.marker == 0xC0)
            return segment.payload;
    }
    return {};
}

void expectPieceMatches(const QString& jpegPath, const QImage& expected) {
    const DecodedJpeg decoded = decodeWithDjpeg(jpegPath);
    ASSERT_EQ(decoded.status, 0) << qPrintable(jpegPath);
    EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(decoded.errors);
    ASSERT_EQ(decoded.picture.size(), expected.size()) << qPrintable(jpegPath);
    EXPECT_GT(psnr(decoded.picture, expected), 30.0) << qPrintable(jpegPath);
}

TEST(PictureJob, WritesPiecesRecordLogAndMessage) {
    JobFixture fixture;
    const QImage page = twoTierPage();
    const QString path =
        savePage(page, fixture.source(), QStringLiteral("planche"), PageFormat::Png);

    const JobSummary summary = fixture.job.Decoupage(path, QStringLiteral("planche.png"), 0);

    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.pieces, 3);
    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(outputNames(fixture.output()),
              (QStringList{QStringLiteral("log.txt"), QStringLiteral("planche.png-0001.jpg"),
                           QStringLiteral("planche.png-0002.jpg"),
                           QStringLiteral("planche.png-0003.jpg")}));
    // Blocks are (right - left) x (bottom - top) from their top-left corner.
    expectPieceMatches(fixture.output() + QStringLiteral("planche.png-0001.jpg"),
                       page.copy(39, 39, 252, 342));
    expectPieceMatches(fixture.output() + QStringLiteral("planche.png-0002.jpg"),
                       page.copy(309, 39, 252, 342));
    expectPieceMatches(fixture.output() + QStringLiteral("planche.png-0003.jpg"),
                       page.copy(39, 419, 522, 342));

    const QString piece = fixture.output() + QStringLiteral("planche.png-000");
    EXPECT_EQ(iniSectionLines(fixture.state.sFichierDecoupage, path),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=291", "LIGNE_1_1=39", "LIGNE_2_1=381",
                           "WIDTH=600", "HEIGHT=800", "FICHIER_1=" + piece + "1.jpg",
                           "COLONNE_1_2=309", "COLONNE_2_2=561", "LIGNE_1_2=39", "LIGNE_2_2=381",
                           "FICHIER_2=" + piece + "2.jpg", "COLONNE_1_3=39", "COLONNE_2_3=561",
                           "LIGNE_1_3=419", "LIGNE_2_3=761", "FICHIER_3=" + piece + "3.jpg"}));

    EXPECT_EQ(logLinesWithoutDates(fixture.output() + QStringLiteral("log.txt")),
              (QStringList{"Traitement commencé à", "JPG Qualité : 75",
                           "JPG Sample : 2:2  [Default]", "Niveau du blanc : 1450",
                           "3 images (1-4) ont étés créées pour la page " + path,
                           "Traitement terminé à"}));
    EXPECT_EQ(fixture.host.messages,
              QStringList{"DECOUPAGE TERMINE | 3 diapos créées et 0 erreurs rencontré(s)."});
    EXPECT_TRUE(fixture.host.captions.isEmpty()); // a single picture leaves the caption alone
    EXPECT_EQ(fixture.host.shownPages, QStringList{path});
    EXPECT_EQ(fixture.host.pageValues.front(), 0);
    EXPECT_EQ(*std::max_element(fixture.host.pageValues.begin(), fixture.host.pageValues.end()),
              100);
}

TEST(PictureJob, DefaultSamplingIsTwoByTwoAndSettingsApplyPerPiece) {
    JobFixture fixture;
    const QString path =
        savePage(twoTierPage(), fixture.source(), QStringLiteral("p"), PageFormat::Png);
    fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
    const QByteArray frame = frameHeader(fixture.output() + QStringLiteral("p.png-0001.jpg"));
    ASSERT_EQ(frame.size(), 15);
    ASSERT_EQ(frame.at(5), 3);            // three components
    EXPECT_EQ(quint8(frame.at(7)), 0x22); // luminance sampled 2x2

    fixture.setParam(QStringLiteral("JPG_GREYSCALE"), QStringLiteral("1"));
    fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
    EXPECT_EQ(frameHeader(fixture.output() + QStringLiteral("p.png-0001.jpg")).at(5), 1);
    EXPECT_TRUE(textFileLines(fixture.output() + QStringLiteral("log.txt"))
                    .contains(QStringLiteral("JPG Sample : GRIS")));
}

TEST(PictureJob, HeaderAndFooterLimitTheRowsRead) {
    JobFixture fixture;
    const QString path =
        savePage(twoTierPage(), fixture.source(), QStringLiteral("p"), PageFormat::Png);
    fixture.job.lLigneEntete = 400;
    fixture.job.lLignePied = 799;
    fixture.job.switches.footerEnabled = true;
    const JobSummary summary = fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
    EXPECT_EQ(summary.pieces, 1); // the top tier lies above the header
    EXPECT_EQ(iniSectionLines(fixture.state.sFichierDecoupage, path).mid(0, 4),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=561", "LIGNE_1_1=419", "LIGNE_2_1=761"}));
    // Without the footer switch the footer row is the page's last row.
    fixture.job.switches.footerEnabled = false;
    fixture.job.lLignePied = 500;
    fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
    EXPECT_EQ(fixture.job.lLignePied, 799);
}

TEST(PictureJob, RotationTurnsTheGridButNotThePageSize) {
    for (const Rotation rotation : {Rotation::Clockwise, Rotation::Anticlockwise}) {
        JobFixture fixture;
        const QString path =
            savePage(twoTierPage(), fixture.source(), QStringLiteral("p"), PageFormat::Png);
        fixture.job.switches.rotation = rotation;
        const JobSummary summary = fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
        ASSERT_EQ(summary.errors, 0);
        ASSERT_GT(summary.pieces, 0);
        EXPECT_EQ(fixture.job.lLignePied, 599); // the turned page is 600 rows high
        const QStringList record = iniSectionLines(fixture.state.sFichierDecoupage, path);
        EXPECT_TRUE(record.contains(QStringLiteral("WIDTH=600")));
        EXPECT_TRUE(record.contains(QStringLiteral("HEIGHT=800")));
        // Every piece is as large as its recorded rectangle.
        for (int n = 1; n <= summary.pieces; ++n) {
            const auto value = [&](const QString& key) {
                for (const QString& line : record) {
                    if (line.startsWith(key + QString::number(n) + QLatin1Char('=')))
                        return line.section(QLatin1Char('='), 1).toInt();
                }
                return -1;
            };
            const QString jpeg =
                fixture.output() + QStringLiteral("p.png-%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
            const DecodedJpeg decoded = decodeWithDjpeg(jpeg);
            ASSERT_EQ(decoded.status, 0);
            const int width = value("COLONNE_2_") - value("COLONNE_1_");
            const int height = value("LIGNE_2_") - value("LIGNE_1_");
            // A band kept whole, recorded as columns 0..R (R = 800 once turned), is as wide as
            // the page picture.
            const bool wholeBand = value("COLONNE_1_") == 0 && value("COLONNE_2_") == 800;
            EXPECT_EQ(decoded.picture.width(), wholeBand ? 600 : width);
            EXPECT_EQ(decoded.picture.height(), height);
        }
    }
}

TEST(PictureJob, WhiteLevelTooLargeForTheThresholdStartsNothing) {
    JobFixture fixture;
    const QString path =
        savePage(twoTierPage(), fixture.source(), QStringLiteral("p"), PageFormat::Png);
    writeFileBytes(fixture.state.sFichierDecoupage, "[earlier]\r\nA=1\r\n");
    fixture.state.lNiveauBlanc = 214749; // 2147490000 does not fit 32 bits
    const JobSummary summary = fixture.job.Decoupage(path, QStringLiteral("p.png"), 0);
    EXPECT_FALSE(summary.started);
    EXPECT_FALSE(QFileInfo::exists(fixture.output()));
    EXPECT_EQ(readFileBytes(fixture.state.sFichierDecoupage), QByteArray("[earlier]\r\nA=1\r\n"));
    ASSERT_EQ(fixture.host.messages.size(), 1);
    EXPECT_TRUE(fixture.host.messages.first().contains(QStringLiteral("214749")));

    fixture.host.messages.clear();
    fixture.state.lNiveauBlanc = 214748; // the largest level that fits
    EXPECT_TRUE(fixture.job.Decoupage(path, QStringLiteral("p.png"), 0).started);
}

} // namespace
} // namespace vantola::test
