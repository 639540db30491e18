// PDF pages through the cutting job, and the documents that PdfSource cannot open.
#include "app/pdf_source.h"
#include "cutting/program_settings.h"
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace vantola::test {
namespace {

// A job whose pages come from a PDF at 150 dpi: the pages are kept in source(), cut into output().
class PdfJobTest : public ::testing::Test, public JobFixture {
protected:
    QStringList bar() const { return host.callsOf("job ").filter(QRegularExpression(" \\S")); }

    // Writes a PDF of comic pages (seeds 1..count) and hands it to the job.
    void usePdf(int count) {
        std::vector<QImage> pages;
        for (int i = 1; i <= count; ++i)
            pages.push_back(comicPage(std::uint64_t(i)));
        writePdf(home() + "album.pdf", pages);
        openPdf(home() + "album.pdf", count);
    }
    void openPdf(const QString& path, int count) {
        QString error;
        pdf = PdfSource::open(path, error);
        ASSERT_TRUE(pdf) << qPrintable(error);
        ASSERT_EQ(pdf->pageCount(), count);
        job.setPdfPageSource([this](int page) { return pdf->renderPage(page, 150); }, count);
    }

    JobSummary cut(qint16 pages) { return job.Decoupage(source(), source(), pages); }

    std::unique_ptr<PdfSource> pdf;
};

TEST_F(PdfJobTest, PagesAreSavedCutRecordedAndLoggedUpToTheDocumentsLastPage) {
    usePdf(2);
    const JobSummary summary = cut(5);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(summary.pieces, 2 * kPanelsPerPage);
    EXPECT_EQ(fileNames(source()), (QStringList{"BD001.jpg", "BD002.jpg", "log.txt"}));
    const DecodedJpeg page = decodeWithDjpeg(source() + "BD001.jpg");
    ASSERT_EQ(page.status, 0);
    ASSERT_EQ(page.picture.size(), QSize(500, 700));
    // Poppler smooths the compressed picture when rendering: compare without the fine detail.
    const auto overview = [](const QImage& picture) {
        return picture.convertToFormat(QImage::Format_RGB888)
            .scaled(100, 140, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    EXPECT_GT(psnr(overview(page.picture), overview(comicPage(1))), 25.0);

    // Piece numbers run on from page to page.
    QStringList expected;
    for (int i = 1; i <= 2 * kPanelsPerPage; ++i)
        expected << QStringLiteral("BD00%1.jpg-%2.jpg")
                        .arg(i <= kPanelsPerPage ? 1 : 2)
                        .arg(i, 4, 10, QLatin1Char('0'));
    EXPECT_EQ(fileNames(output()), expected + QStringList{"log.txt"});
    // The bar runs over the pages there are: no page is left to fail past the last one.
    EXPECT_EQ(bar(),
              (QStringList{"50 Traitement du presse papier", "100 Traitement du presse papier"}));

    // Captured pages have no file: the next page's pieces replace those under the empty name.
    EXPECT_TRUE(iniSectionLines(state.sFichierDecoupage, QString())
                    .contains("FICHIER_1=" + output() + "BD002.jpg-0007.jpg"));

    // The header stays in VANTOLA/log.txt; the page and closing lines go to the chosen folder.
    const QStringList header = outputLog();
    ASSERT_EQ(header.size(), 4);
    EXPECT_EQ(header.first(), "Traitement commencé à");
    EXPECT_EQ(header.last(), "Niveau du blanc : 1450");
    EXPECT_EQ(textFileLines(source() + "log.txt"),
              (QStringList{"6 images (1-7) ont étés créées pour la page ",
                           "6 images (7-13) ont étés créées pour la page ",
                           "Le document PDF n'a que 2 page(s) : le découpage s'est arrêté à sa "
                           "dernière page (5 pages demandées).",
                           "Traitement terminé à"}));
    EXPECT_EQ(host.callsOf("message "),
              QStringList{"DECOUPAGE TERMINE | 12 diapos créées et 0 erreurs rencontré(s)."});
}

TEST_F(PdfJobTest, DoublePassRecutsThePiecesOfEveryPage) {
    usePdf(2);
    job.switches.doublePass = true;
    const JobSummary summary = cut(2);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(bar().mid(0, 2),
              (QStringList{"25 Traitement du presse papier", "50 Traitement du presse papier"}));
    EXPECT_EQ(fileNames(source(), "*.jpg"), (QStringList{"BD001.jpg", "BD002.jpg"}));
    // The second-pass pieces are named after the first-pass piece they come from.
    const QStringList names = fileNames(output(), "*.jpg");
    EXPECT_EQ(names.first(), "BD001.jpg-0001.jpg-0001.jpg");
    EXPECT_TRUE(names.last().startsWith("BD002.jpg-0012.jpg-"));
    // The header moved with the pieces; the page lines of both passes are in the chosen folder.
    EXPECT_EQ(outputLog().size(), 4);
    const QStringList log = textFileLines(source() + "log.txt");
    EXPECT_EQ(log.filter(QRegularExpression("pour la page $")).size(), 2);
    EXPECT_EQ(log.filter("pour la page " + output() + "BD00").size(), 2 * kPanelsPerPage);
    EXPECT_EQ(log.last(), "Traitement terminé à");
}

TEST_F(PdfJobTest, PagesPast999KeepAllTheirDigits) {
    // One-piece pages whose shade tells page 1000 from page 1, whose file it must not take.
    const auto shade = [](int page) { return page == 1000 ? 40 : 160; };
    job.setPdfPageSource(
        [&](int page) { return plainPage(16, 16, qRgb(shade(page), shade(page), shade(page))); },
        1000);
    const JobSummary summary = cut(1000);

    EXPECT_EQ(summary.errors, 0);
    EXPECT_EQ(summary.pieces, 1000);
    EXPECT_EQ(fileNames(source(), "*.jpg").size(), 1000);
    EXPECT_NEAR(qRed(QImage(source() + "BD001.jpg").pixel(8, 8)), 160, 3);
    EXPECT_NEAR(qRed(QImage(source() + "BD1000.jpg").pixel(8, 8)), 40, 3);
    EXPECT_TRUE(QFileInfo::exists(output() + "BD1000.jpg-1000.jpg"));
}

TEST_F(PdfJobTest, PageTooLargeToRenderFailsAloneAndTheJobGoesOn) {
    // Written at 1 dpi: a 4 x 6 inch page, then a 200-inch square one, 30000 pixels at 150 dpi.
    writePdf(home() + "affiche.pdf", {plainPage(4, 6, qRgb(128, 128, 128)), plainPage(200, 200)},
             1);
    openPdf(home() + "affiche.pdf", 2);

    const JobSummary summary = cut(2);

    EXPECT_EQ(summary.errors, 1);
    EXPECT_EQ(fileNames(source(), "*.jpg"), QStringList{"BD001.jpg"});
    const QStringList log = textFileLines(source() + "log.txt");
    EXPECT_TRUE(log.contains("ERREUR DE TRAITEMENT DU FICHIER: "));
    EXPECT_EQ(log.filter("La page 2 du PDF ferait 30000 x 30000 pixels à 150 dpi").size(), 1);
}

TEST(PdfSource, OpensAndRendersOnlyWhatItCanAndSaysWhy) {
    TempFolder folder;
    writePdf(folder.file("bon.pdf"), {comicPage(1)});
    QString error;
    const auto pdf = PdfSource::open(folder.file("bon.pdf"), error);
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->renderPage(0, 150).isNull());
    EXPECT_TRUE(pdf->renderPage(2, 150).isNull());

    const QByteArray good = readFileBytes(folder.file("bon.pdf"));
    writeFileBytes(folder.file("texte.pdf"), "ceci n'est pas un PDF\n");
    writeFileBytes(folder.file("coupe.pdf"), good.left(good.size() / 3));
    writeFileBytes(folder.file("vide.pdf"), QByteArray());
    const std::vector<std::pair<QString, QString>> cases{
        {"absent.pdf", "n'existe pas"},
        {"texte.pdf", "n'est pas un document PDF lisible"},
        {"coupe.pdf", "n'est pas un document PDF lisible"},
        {"vide.pdf", "n'est pas un document PDF lisible"},
    };
    for (const auto& [name, reason] : cases) {
        EXPECT_FALSE(PdfSource::open(folder.file(name), error)) << qPrintable(name);
        EXPECT_TRUE(error.contains(folder.file(name))) << qPrintable(error);
        EXPECT_TRUE(error.contains(reason)) << qPrintable(error);
    }

    const ToolResult qpdf = runTool("qpdf", {"--encrypt", "lecteur", "auteur", "256", "--",
                                             folder.file("bon.pdf"), folder.file("secret.pdf")});
    if (qpdf.status != 0)
        GTEST_SKIP() << "qpdf is not installed: the encrypted case is not checked";
    EXPECT_FALSE(PdfSource::open(folder.file("secret.pdf"), error));
    EXPECT_TRUE(error.contains("protégé par un mot de passe")) << qPrintable(error);
}

TEST(PdfSource, ResolutionComesFromParamIniWhenUsable) {
    JobFixture fixture;
    EXPECT_EQ(pdfResolutionSetting(fixture.state), 150);
    for (const auto& [text, dpi] :
         std::vector<std::pair<QString, int>>{{" 72 ", 72}, {"abc", 150}, {"0", 150}}) {
        fixture.setParam("PDF_DPI", text);
        EXPECT_EQ(pdfResolutionSetting(fixture.state), dpi) << qPrintable(text);
    }
}

} // namespace
} // namespace vantola::test
