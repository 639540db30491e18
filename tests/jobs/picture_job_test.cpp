// Jobs over a single picture: the pieces and their pixels, the cut record, the log, the closing
// message, sampling, rotation, header and footer, and the refusal of a white level that cannot be
// used.
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// A 600 x 800 page: two panels side by side over rows 40..380, one wide panel over rows
// 420..760, white everywhere else.
QImage twoTierPage() {
    QImage page = plainPage(600, 800);
    QPainter painter(&page);
    for (const QRect& panel :
         {QRect(QPoint(40, 40), QPoint(290, 380)), QRect(QPoint(310, 40), QPoint(560, 380)),
          QRect(QPoint(40, 420), QPoint(560, 760))})
        painter.fillRect(panel, QColor(128, 128, 128));
    return page;
}

class PictureJob : public ::testing::Test {
protected:
    JobSummary cut() { return fixture.job.Decoupage(path, QStringLiteral("p.png"), 0); }
    QString piece(int n) const {
        return fixture.output() + QStringLiteral("p.png-%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
    }

    JobFixture fixture;
    const QImage page = twoTierPage();
    const QString path = savePage(page, fixture.source(), QStringLiteral("p"), PageFormat::Png);
};

TEST_F(PictureJob, WritesPiecesRecordLogAndMessage) {
    const JobSummary summary = cut();

    EXPECT_TRUE(summary.started);
    EXPECT_EQ(summary.pieces, 3);
    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(QDir(fixture.output()).entryList(QDir::Files, QDir::Name),
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

    EXPECT_EQ(iniSectionLines(fixture.state.sFichierDecoupage, path),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=291", "LIGNE_1_1=39", "LIGNE_2_1=381",
                           "WIDTH=600", "HEIGHT=800", "FICHIER_1=" + piece(1), "COLONNE_1_2=309",
                           "COLONNE_2_2=561", "LIGNE_1_2=39", "LIGNE_2_2=381",
                           "FICHIER_2=" + piece(2), "COLONNE_1_3=39", "COLONNE_2_3=561",
                           "LIGNE_1_3=419", "LIGNE_2_3=761", "FICHIER_3=" + piece(3)}));
    EXPECT_EQ(fixture.outputLog(),
              (QStringList{"Traitement commencé à", "JPG Qualité : 75",
                           "JPG Sample : 2:2  [Default]", "Niveau du blanc : 1450",
                           "3 images (1-4) ont étés créées pour la page " + path,
                           "Traitement terminé à"}));
    const RecordingHost& host = fixture.host;
    EXPECT_EQ(host.callsOf("message "),
              QStringList{"DECOUPAGE TERMINE | 3 diapos créées et 0 erreurs rencontré(s)."});
    EXPECT_TRUE(host.callsOf("caption ").isEmpty()); // a single picture leaves the caption alone
    ASSERT_EQ(host.callsOf("shown ").size(), 1);
    EXPECT_TRUE(host.callsOf("shown ").first().startsWith(path + " 600x800 "));
    EXPECT_EQ(host.callsOf("page ").first(), QStringLiteral("0"));
    EXPECT_TRUE(host.callsOf("page ").contains(QStringLiteral("100")));

    // Settings are read again by each job: a grey job writes one component.
    fixture.setParam(QStringLiteral("JPG_GREYSCALE"), QStringLiteral("1"));
    cut();
    EXPECT_EQ(decodeWithDjpeg(piece(1)).picture.format(), QImage::Format_Grayscale8);
    EXPECT_TRUE(fixture.outputLog().contains(QStringLiteral("JPG Sample : GRIS")));
}

TEST_F(PictureJob, TransparentPaperIsCutAsWhite) {
    // The paper made transparent over black, as a drawing program may save it.
    QImage clear = page.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < clear.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(clear.scanLine(y));
        std::replace(pixels, pixels + clear.width(), qRgb(255, 255, 255), qRgba(0, 0, 0, 0));
    }
    savePage(clear, fixture.source(), QStringLiteral("p"), PageFormat::Png);
    EXPECT_EQ(cut().pieces, 3);
}

TEST_F(PictureJob, HeaderAndFooterLimitTheRowsRead) {
    fixture.job.lLigneEntete = 400;
    fixture.job.lLignePied = 799;
    fixture.job.switches.footerEnabled = true;
    EXPECT_EQ(cut().pieces, 1); // the top tier lies above the header
    EXPECT_EQ(iniSectionLines(fixture.state.sFichierDecoupage, path).mid(0, 4),
              (QStringList{"COLONNE_1_1=39", "COLONNE_2_1=561", "LIGNE_1_1=419", "LIGNE_2_1=761"}));
    // Without the footer switch the footer row is the page's last row.
    fixture.job.switches.footerEnabled = false;
    fixture.job.lLignePied = 500;
    cut();
    EXPECT_EQ(fixture.job.lLignePied, 799);
}

TEST_F(PictureJob, RotationTurnsTheGridButNotThePageSize) {
    for (const Rotation rotation : {Rotation::Clockwise, Rotation::Anticlockwise}) {
        SCOPED_TRACE(int(rotation));
        fixture.job.switches.rotation = rotation;
        const JobSummary summary = cut();
        ASSERT_EQ(summary.errors, 0);
        ASSERT_GT(summary.pieces, 0);
        EXPECT_EQ(fixture.job.lLignePied, 599); // the turned page is 600 rows high
        const QStringList record = iniSectionLines(fixture.state.sFichierDecoupage, path);
        EXPECT_TRUE(record.contains(QStringLiteral("WIDTH=600")));
        EXPECT_TRUE(record.contains(QStringLiteral("HEIGHT=800")));
        // Every piece is as large as its recorded rectangle.
        for (int n = 1; n <= summary.pieces; ++n) {
            const auto value = [&](const char* key) {
                const QStringList line = record.filter(QStringLiteral("%1%2=").arg(key).arg(n));
                return line.isEmpty() ? -1 : line.first().section(QLatin1Char('='), 1).toInt();
            };
            const DecodedJpeg decoded = decodeWithDjpeg(piece(n));
            ASSERT_EQ(decoded.status, 0);
            // A band kept whole, recorded as columns 0..R (R = 800 once turned), is as wide as
            // the page picture.
            const bool wholeBand = value("COLONNE_1_") == 0 && value("COLONNE_2_") == 800;
            EXPECT_EQ(decoded.picture.width(),
                      wholeBand ? 600 : value("COLONNE_2_") - value("COLONNE_1_"));
            EXPECT_EQ(decoded.picture.height(), value("LIGNE_2_") - value("LIGNE_1_"));
        }
    }
}

TEST_F(PictureJob, WhiteLevelTooLargeForTheThresholdStartsNothing) {
    writeFileBytes(fixture.state.sFichierDecoupage, "[earlier]\r\nA=1\r\n");
    fixture.state.lNiveauBlanc = 214749; // 2147490000 does not fit 32 bits
    EXPECT_FALSE(cut().started);
    EXPECT_FALSE(QFileInfo::exists(fixture.output()));
    EXPECT_EQ(readFileBytes(fixture.state.sFichierDecoupage), QByteArray("[earlier]\r\nA=1\r\n"));
    ASSERT_EQ(fixture.host.callsOf("message ").size(), 1);
    EXPECT_TRUE(fixture.host.callsOf("message ").first().contains(QStringLiteral("214749")));

    fixture.state.lNiveauBlanc = 214748; // the largest level that fits
    EXPECT_TRUE(cut().started);
}

} // namespace
} // namespace vantola::test
