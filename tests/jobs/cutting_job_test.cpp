// Cutting jobs over one picture and over a folder, run in this process: what they write, what
// they tell their host, and the double pass.
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
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

class PictureJob : public ::testing::Test, public JobFixture {
protected:
    JobSummary cut() { return job.Decoupage(path, "p.png", 0); }
    QString piece(int n) const {
        return output() + QStringLiteral("p.png-%1.jpg").arg(n, 4, 10, QLatin1Char('0'));
    }

    const QImage page = twoTierPage();
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
}

TEST_F(PictureJob, TransparentPaperIsCutAsWhite) {
    // The paper made transparent over black, as a drawing program may save it.
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
        EXPECT_TRUE(record.contains("WIDTH=600"));
        EXPECT_TRUE(record.contains("HEIGHT=800"));
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
    EXPECT_EQ(recut, pieces.filter(QRegularExpression("^p1")));
    for (const QString& piece : recut)
        EXPECT_TRUE(piece.contains(secondPass)) << qPrintable(piece);
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

} // namespace
} // namespace vantola::test
