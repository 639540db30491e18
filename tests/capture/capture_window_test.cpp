// The main window's clipboard and PDF commands, the clipboard set and every dialog answered here.
#include "app/capture_commands.h"
#include "app/main_window_test_fixture.h"
#include "support/djpeg.h"
#include "support/job_fixture.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QPainter>

namespace vantola::test {
namespace {

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
        std::vector<QImage> pages;
        for (int i = 1; i <= count; ++i)
            pages.push_back(comicPage(std::uint64_t(10 + i)));
        writePdf(home.file("album.pdf"), pages);
        answers[kPdfDialog] = home.file("album.pdf");
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

    EXPECT_EQ(notices, QStringList{"CHARGEMENT"});
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

    // Not a number, or below -1: the prompt's answer is refused with a message.
    for (const char* answer : {"deux", "-2"}) {
        nextAnswer = answer;
        messages.clear();
        runPdfCommand(*window);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].title, "NOMBRE DE PAGES");
        EXPECT_TRUE(nothingWritten());
    }
    nextAnswer.reset(); // the prompt cancelled
    messages.clear();
    runPdfCommand(*window);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(nothingWritten());

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

} // namespace
} // namespace vantola::test
