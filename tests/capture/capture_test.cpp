// PDF and clipboard pages through the job, the main window's commands and the real program.
#include "app/capture_commands.h"
#include "app/main_window_test_fixture.h"
#include "app/pdf_source.h"
#include "cutting/program_settings.h"
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace vantola::test {
namespace {

QString writeComicPdf(const QString& path, int count, std::uint64_t firstSeed) {
    std::vector<QImage> pages;
    for (int i = 0; i < count; ++i)
        pages.push_back(comicPage(firstSeed + std::uint64_t(i)));
    writePdf(path, pages);
    return path;
}

// A job whose pages come from a PDF at 150 dpi: the pages are kept in source(), cut into output().
class PdfJobTest : public ::testing::Test, public JobFixture {
protected:
    QStringList bar() const { return host.callsOf("job ").filter(QRegularExpression(" \\S")); }

    void usePdf(int count) { openPdf(writeComicPdf(home() + "album.pdf", count, 1), count); }
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
    // The second-pass pieces are named after the first-pass piece they come from.
    const QStringList names = fileNames(output(), "*.jpg");
    EXPECT_EQ(names.first(), "BD001.jpg-0001.jpg-0001.jpg");
    EXPECT_TRUE(names.last().startsWith("BD002.jpg-0012.jpg-"));
    // The header moved with the pieces; the page lines of both passes are in the chosen folder.
    EXPECT_EQ(outputLog().size(), 4);
    const QStringList log = textFileLines(source() + "log.txt");
    EXPECT_EQ(log.filter(QRegularExpression("pour la page $")).size(), 2);
    EXPECT_EQ(log.filter("pour la page " + output() + "BD00").size(), 2 * kPanelsPerPage);
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

class CaptureWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        openWindow();
        QDir().mkpath(out());
        // The file dialogs are answered by their title; one left out is cancelled.
        window->dialogs().setExecution([this](QFileDialog& dialog) {
            dialogTitles << dialog.windowTitle();
            const QString answer = answers.value(dialog.windowTitle());
            if (answer.isEmpty())
                return int(QDialog::Rejected);
            dialog.selectFile(answer);
            return int(QDialog::Accepted);
        });
        window->hooks().confirm = [this](const QString& title, const QString&) {
            notices << title;
            return noticeAccepted;
        };
        answers[kOutputDialog] = out() + "nouveau.jpg";
    }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    QString out() const { return home.path() + "sortie/"; }
    QString pieces() const { return out() + "VANTOLA/"; }
    void usePdf(int count) {
        answers[kPdfDialog] = writeComicPdf(home.file("album.pdf"), count, 11);
    }

    const QString kOutputDialog = "Nom du fichier en sortie...";
    const QString kPdfDialog = "Document PDF à découper...";
    QMap<QString, QString> answers;
    QStringList dialogTitles;
    QStringList notices;
    bool noticeAccepted = true;
};

TEST_F(CaptureWindowTest, ClipboardPictureIsSavedCutAndRecorded) {
    // A picture copied with a transparent margin is cut as it looks: over white paper.
    QImage copied(500, 700, QImage::Format_ARGB32);
    copied.fill(Qt::transparent);
    QPainter(&copied).drawImage(20, 20, comicPage(4).copy(20, 20, 460, 660));
    QGuiApplication::clipboard()->setImage(copied);
    runClipboardCommand(*window);

    EXPECT_EQ(dialogTitles, QStringList{kOutputDialog});
    EXPECT_EQ(state.sRepSource, out());
    EXPECT_EQ(fileNames(out()), (QStringList{"BD000.jpg", "log.txt"}));
    const QImage saved = decodeWithDjpeg(out() + "BD000.jpg").picture;
    ASSERT_EQ(saved.size(), QSize(500, 700));
    EXPECT_GT(qGray(saved.pixel(5, 5)), 250);
    const QStringList names = fileNames(pieces(), "*.jpg");
    ASSERT_EQ(names.size(), kPanelsPerPage);
    EXPECT_EQ(names.first(), "BD000.jpg-0001.jpg");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "6 diapos créées et 0 erreurs rencontré(s).");

    // The command leaves bSansMessage as the review window set it: no closing message.
    state.bSansMessage = true;
    runClipboardCommand(*window);
    EXPECT_TRUE(state.bSansMessage);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(CaptureWindowTest, ClipboardWithoutPictureFailsThePageAndTheJobEnds) {
    for (const QString& text : QStringList{QString(), "du texte, pas une image"}) {
        if (text.isEmpty())
            QGuiApplication::clipboard()->clear();
        else
            QGuiApplication::clipboard()->setText(text);
        messages.clear();
        runClipboardCommand(*window);

        const QStringList log = textFileLines(out() + "log.txt");
        EXPECT_TRUE(log.contains("ERREUR DE TRAITEMENT DU FICHIER: "));
        EXPECT_TRUE(log.contains("Le presse-papier ne contient pas d'image (521)"))
            << qPrintable(log.join('\n'));
        EXPECT_EQ(log.last(), "Traitement terminé à");
        EXPECT_FALSE(QFileInfo::exists(out() + "BD000.jpg"));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "0 diapos créées et 1 erreurs rencontré(s).");
        EXPECT_FALSE(window->isJobRunning());
    }

    // A cancelled output dialog runs no job.
    answers.clear();
    QDir(out()).removeRecursively();
    runClipboardCommand(*window);
    EXPECT_EQ(state.sRepSource, QString());
    EXPECT_FALSE(QFileInfo::exists(out()));
    // Nor does an output folder that does not exist: a message says so, and nothing is made.
    answers[kOutputDialog] = out() + "nouveau.jpg";
    runClipboardCommand(*window);
    EXPECT_EQ(messages.back().title, "DOSSIER INTROUVABLE");
    EXPECT_FALSE(QFileInfo::exists(out()));
}

TEST_F(CaptureWindowTest, PdfCommandProposesTheDocumentsPageCountAndCutsThePagesAsked) {
    usePdf(3);
    writeParamIni("[PARAM]\r\nPDF_DPI=75\r\n");
    nextAnswer = "2";
    runPdfCommand(*window);

    EXPECT_EQ(dialogTitles, (QStringList{kPdfDialog, kOutputDialog}));
    EXPECT_EQ(asked.value(2), "3"); // the prompt offers the document's page count

    // Two pages at PDF_DPI = 75: half the size they were drawn at.
    EXPECT_EQ(fileNames(out(), "*.jpg"), (QStringList{"BD001.jpg", "BD002.jpg"}));
    EXPECT_EQ(decodeWithDjpeg(out() + "BD002.jpg").picture.size(), QSize(250, 350));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(CaptureWindowTest, PdfCommandEndsBeforeAnyJobWhenRefusedOrUnusable) {
    usePdf(1);
    const auto nothingWritten = [&] {
        return fileNames(out()).isEmpty() && !QFileInfo::exists(pieces()) &&
               !QFileInfo::exists(state.sFichierDecoupage);
    };

    noticeAccepted = false;
    runPdfCommand(*window);
    EXPECT_TRUE(dialogTitles.isEmpty());
    noticeAccepted = true;

    // Not a number, or below -1, is refused with a message; a cancelled prompt says nothing.
    for (const std::optional<QString>& answer : {std::optional<QString>("deux"), {"-2"}, {}}) {
        nextAnswer = answer;
        messages.clear();
        runPdfCommand(*window);
        EXPECT_EQ(messageTitles(), answer ? QStringList{"NOMBRE DE PAGES"} : QStringList());
        EXPECT_TRUE(nothingWritten());
    }

    // A file that is no PDF: a message, and neither the output dialog nor the prompt.
    writeFileBytes(home.file("faux.pdf"), "%PDF-1.4 tronqué");
    answers[kPdfDialog] = home.file("faux.pdf");
    dialogTitles.clear();
    asked.clear();
    runPdfCommand(*window);
    EXPECT_EQ(dialogTitles, QStringList{kPdfDialog});
    EXPECT_TRUE(asked.isEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "DOCUMENT PDF ILLISIBLE");
    EXPECT_TRUE(messages[0].text.contains(home.file("faux.pdf")));
    EXPECT_TRUE(nothingWritten());
}

class CaptureCommandLineTest : public ::testing::Test, public JobFixture {
protected:
    void SetUp() override { writeComicPdf(album, 2, 21); }
    QString out() const { return source() + "sortie/"; }
    ProcessResult run(const QStringList& arguments) {
        return runVantola(QStringList{arguments.first(), "--home", home(), "--quiet"} +
                          arguments.mid(1));
    }

    const QString album = file("album.pdf");
};

TEST_F(CaptureCommandLineTest, PdfCutsEveryPageOrThoseAskedAtTheResolutionAsked) {
    ProcessResult result = run({"pdf", album, out()});
    EXPECT_EQ(result.status, 0) << qPrintable(result.err);
    EXPECT_EQ(result.out, "12 pieces written, 0 pages failed, output: " + out() + "VANTOLA/\n");
    EXPECT_EQ(fileNames(out(), "*.jpg"), (QStringList{"BD001.jpg", "BD002.jpg"}));

    QDir(out()).removeRecursively();
    result = run({"pdf", album, out(), "--pages", "1", "--dpi", "300", "--double-pass"});
    EXPECT_EQ(result.status, 0) << qPrintable(result.err);
    EXPECT_EQ(fileNames(out(), "*.jpg"), QStringList{"BD001.jpg"});
    EXPECT_EQ(decodeWithDjpeg(out() + "BD001.jpg").picture.size(), QSize(1000, 1400));
    EXPECT_TRUE(fileNames(out() + "VANTOLA", "*.jpg").first().startsWith("BD001.jpg-0001.jpg-"));
}

// A display that cannot be reached: the clipboard command and the main window say so.
TEST_F(CaptureCommandLineTest, UnreachableDisplayIsReported) {
    for (const QStringList& arguments :
         {QStringList{"clipboard", "--home", home(), out()}, QStringList{"--home", home()}}) {
        const ProcessResult unreachable =
            runVantola(arguments, 60000, {"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "DISPLAY=:7913"});
        EXPECT_EQ(unreachable.status, 2) << qPrintable(unreachable.err);
        EXPECT_TRUE(unreachable.err.contains("DISPLAY=:7913 cannot be reached"));
    }
}

TEST_F(CaptureCommandLineTest, ParamIniThatCannotBeReadGivesTheDefaultsAndOneWarning) {
    const QString page = writeComicPage(source(), "page", 23);
    const QString param = home() + "param.ini";
    const std::vector<std::pair<QStringList, int>> commands{
        {{"cut", page}, 0},
        {{"pdf", album, out(), "--pages", "1"}, 0},
        {{"clipboard", out()}, 1}, // the offscreen clipboard holds no picture
        {{"jpeg", page, file("copie.jpg")}, 0},
    };
    for (const bool fifo : {false, true}) {
        ASSERT_TRUE(fifo ? QDir(param).removeRecursively() && ::mkfifo(qPrintable(param), 0600) == 0
                         : QDir().mkpath(param));
        for (const auto& [arguments, status] : commands) {
            const ProcessResult result = run(arguments);
            EXPECT_EQ(result.status, status) << qPrintable(arguments.first() + result.err);
            EXPECT_EQ(result.err.count("param.ini cannot be read"), 1);
        }
    }
}

} // namespace
} // namespace vantola::test
