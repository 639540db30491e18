// The cutting job from end to end: output folder, log header, the pages of a picture, a folder,
// the clipboard or a PDF, the optional second pass, and the closing line and message.
#include "cutting/cutting_job.h"

#include "cutting/job_folders.h"
#include "cutting/job_log.h"
#include "cutting/panel_book.h"
#include "cutting/panel_maps.h"
#include "cutting/piece_picture.h"
#include "cutting/safe_folder.h"
#include "cutting/thread_setting.h"
#include "image/jpeg_writing.h"
#include "image/pixel_memory.h"
#include "settings/app_error.h"
#include "settings/folder_listing.h"
#include "settings/path_parts.h"
#include "settings/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <unistd.h>
#include <utility>

namespace vantola {

namespace {

QString whiteLevelProblem(qint32 level) {
    if (level >= kSmallestWhiteLevel && level <= kLargestWhiteLevel)
        return {};
    return QCoreApplication::translate(
               "vantola::CuttingJob",
               "Le niveau de blanc %1 est hors limites : le découpage n'a pas été "
               "lancé (niveau de %2 à %3).")
        .arg(level)
        .arg(kSmallestWhiteLevel)
        .arg(kLargestWhiteLevel);
}

} // namespace

CuttingJob::CuttingJob(ProgramState& state, JobHost& host) : state_(state), host_(host) {}

JobSummary CuttingJob::Decoupage(const QString& sFichierAOuvrir,
                                 const QString& sFichierAOuvrirCourt, qint16 inbPage) {
    JobSummary summary;
    pixel_memory::keepFreedMemoryBetweenPages();
    const QString sourceFolder = ExtraireDossier(sFichierAOuvrir);
    JobFolders folders;
    summary.refusal = whiteLevelProblem(state_.lNiveauBlanc);
    if (summary.refusal.isEmpty())
        summary.refusal = folders.prepare(
            sourceFolder, switches.doublePass, ExtraireDossier(state_.sFichierDecoupage),
            QStringLiteral("processus %1, découpage de %2").arg(::getpid()).arg(sFichierAOuvrir));
    if (!summary.refusal.isEmpty()) {
        host_.showMessage(
            QCoreApplication::translate("vantola::CuttingJob", "DECOUPAGE IMPOSSIBLE"),
            summary.refusal);
        return summary;
    }
    const qint32 lSeuilPixel = state_.lNiveauBlanc * 10000;
    summary.started = true;
    jobThreads_ =
        threads ? std::clamp(*threads, 1, kMaxJobThreads) : jobThreadsSetting(state_.sFichierParam);

    lNumDiapo = 1;
    lNbErreurs = 0;
    host_.setPageFrameVisible(true);
    host_.setPageProgressColour(kColourBlue);
    state_.sRepSource = sourceFolder;
    state_.sourceFinder = currentPageOptions().switches.finder;

    // Preparing the record and the log: a failure here does not stop the job.
    record_.start(state_.sFichierDecoupage);
    panels_.clear();
    sRepSortie = state_.sRepSource + kFirstPassFolder;
    sFichierLog = sRepSortie + QStringLiteral("log.txt");
    // What a killed run was writing when it stopped goes, so that this run ends as if the
    // killed one had never been.
    removeStaleTemporaryFiles(sRepSortie);
    removeStaleTemporaryFiles(state_.sRepSource);
    removeLeftAsideFolders(state_.sRepSource);
    writeLogHeader();
    for (const QString& line : std::exchange(pagesFailedBefore, {})) {
        (void)appendTextLines(sFichierLog, {line}); // the count below tells a refused line
        ++lNbErreurs;
    }

    const bool onePicture = inbPage == 0 && !ExtraireNomFichier(sFichierAOuvrir).isEmpty();
    if (onePicture) {
        PageRequest page;
        page.sFichier = sFichierAOuvrir;
        page.sNomSortie = sFichierAOuvrirCourt;
        page.lSeuilPixel = lSeuilPixel;
        cutPages({page}, true, [](std::size_t) {});
    } else if (inbPage == 0) {
        QStringList shadowed;
        const QStringList pages = listFolderPages(state_.sRepSource, &shadowed);
        // A log that refuses the warning also refuses each page's line, which fails the page:
        // the job's count of errors tells it.
        for (const QString& name : shadowed)
            (void)appendTextLines(
                sFichierLog, {QStringLiteral("Fichier non découpé : un second fichier se lit %1 "
                                             "(son nom est écrit en Windows-1252)")
                                  .arg(state_.sRepSource + name)});
        cutFolder(state_.sRepSource, pages, 1, lSeuilPixel);
    } else {
        cutCapturedPages(inbPage, lSeuilPixel);
    }
    host_.pageProgress(0, QString());
    host_.jobProgress(0, QString());

    // A re-cut of one picture cuts again only the pieces it has just written; the other pages'
    // pieces stay as they are.
    if (switches.doublePass)
        summary.failure = runSecondPass(sourceFolder,
                                        onePicture ? piecesOfThisJob(sFichierAOuvrirCourt)
                                                   : listJpegPages(sourceFolder + kFirstPassFolder),
                                        !onePicture, lSeuilPixel);
    if (switches.panelBook || switches.panelMaps) {
        const QString panelFailure =
            writePanelOutputs(sourceFolder, switches.doublePass && summary.failure.isEmpty());
        if (!panelFailure.isEmpty())
            summary.failure +=
                (summary.failure.isEmpty() ? QString() : QStringLiteral("\n")) + panelFailure;
    }

    host_.pageProgress(0, QString());
    host_.jobProgress(0, QString());
    host_.setPageFrameVisible(false);
    const QString recordFailure = record_.commit();
    if (!recordFailure.isEmpty()) {
        // The failure is in the closing message whether or not the log takes it.
        (void)appendTextLines(sFichierLog, {recordFailure});
        summary.failure +=
            (summary.failure.isEmpty() ? QString() : QStringLiteral("\n")) + recordFailure;
    }
    // Every page is in the log already; a closing line that cannot follow loses only the time.
    (void)appendTextLines(sFichierLog, {QStringLiteral("Traitement terminé à ") + logDateTime()});

    summary.pieces = lNumDiapo - 1;
    summary.errors = lNbErreurs;
    summary.outputFolder = sourceFolder + kFirstPassFolder;
    QString closing = QCoreApplication::translate("vantola::CuttingJob",
                                                  "%1 diapos créées et %2 erreurs rencontré(s).")
                          .arg(lNumDiapo - 1)
                          .arg(lNbErreurs);
    if (!summary.failure.isEmpty())
        closing += QLatin1Char('\n') + summary.failure;
    // A double pass that could not end, or a cut record that could not be written, is told even
    // to a job that ends silently.
    if (!state_.bSansMessage)
        host_.showMessage(QCoreApplication::translate("vantola::CuttingJob", "DECOUPAGE TERMINE"),
                          closing);
    else if (!summary.failure.isEmpty())
        host_.showMessage(QCoreApplication::translate("vantola::CuttingJob", "DECOUPAGE INCOMPLET"),
                          summary.failure);
    return summary;
}

void CuttingJob::writeLogHeader() {
    const JpegSettings jpeg = currentJpegSettings();
    // A grey setting that is no number shows as the sampling text; the pieces will fail on it.
    bool greyscale = false;
    try {
        greyscale = jpeg.isGreyscale();
    } catch (const AppError&) {
    }
    const QString sample = greyscale ? QStringLiteral("GRIS") : jpeg.sample;
    // A log that cannot be written fails each page at its own line, and the closing message
    // counts those pages as errors.
    (void)writeTextLines(
        sFichierLog,
        {QStringLiteral("Traitement commencé à ") + logDateTime(),
         QStringLiteral("JPG Qualité : ") + jpeg.quality, QStringLiteral("JPG Sample : ") + sample,
         QStringLiteral("Niveau du blanc : ") + QString::number(state_.lNiveauBlanc)});
}

void CuttingJob::cutFolder(const QString& folder, const QStringList& names, qint16 iPasse,
                           qint32 lSeuilPixel) {
    const qsizetype count = names.size();
    const bool firstPass = iPasse == 1;
    std::vector<PageRequest> pages;
    for (const QString& name : names) {
        PageRequest& page = pages.emplace_back();
        page.sFichier = folder + name;
        page.sNomSortie = name;
        page.lSeuilPixel = lSeuilPixel;
        page.iPasse = iPasse;
    }
    const auto beforePage = [&](std::size_t k) {
        const QString& name = names.at(qsizetype(k));
        host_.setCaption(
            QCoreApplication::translate("vantola::CuttingJob", "Découpage de BD - %1/%2")
                .arg(k)
                .arg(count));
        host_.jobProgress(
            jobPercent(double(k), double(count), firstPass),
            (firstPass ? QCoreApplication::translate("vantola::CuttingJob", "1er passe de ")
                       : QCoreApplication::translate("vantola::CuttingJob", "2e passe de ")) +
                name);
        host_.yield();
        // Each piece of the first pass numbers its own pieces from 1.
        if (!firstPass)
            lNumDiapo = 1;
    };
    const auto afterPage = [&](std::size_t) {
        if (!firstPass)
            secondPassTotal_ += lNumDiapo - 1;
    };
    cutPages(std::move(pages), true, beforePage, afterPage);
}

void CuttingJob::cutCapturedPages(qint16 inbPage, qint32 lSeuilPixel) {
    if (inbPage < 0) {
        // The clipboard is read on the calling thread, when the page comes.
        PageRequest page;
        page.sNomSortie = state_.sRepSource + QStringLiteral("000");
        page.lSeuilPixel = lSeuilPixel;
        page.capture = [this] { return takeCapturedPage(0); };
        cutPages({page}, false, [](std::size_t) {});
        return;
    }
    // A document shorter than the count asked ends the job at its last page: the pages past it
    // do not exist, so they are not failures. The job bar runs over the pages actually cut.
    const bool pastDocumentEnd = pdfPageSource_ && pdfDocumentPages_ < inbPage;
    const int lastPage = pastDocumentEnd ? std::max(pdfDocumentPages_, 0) : int(inbPage);
    std::vector<PageRequest> pages;
    for (int number = 1; number <= lastPage; ++number) {
        PageRequest& page = pages.emplace_back();
        page.sNomSortie =
            state_.sRepSource + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
        page.lSeuilPixel = lSeuilPixel;
        page.capture = [this, number] { return takeCapturedPage(number); };
    }
    const auto beforePage = [&](std::size_t k) {
        host_.jobProgress(jobPercent(double(k + 1), double(lastPage), true),
                          QStringLiteral("Traitement du presse papier"));
        host_.yield();
    };
    // Without a PDF source the pages come from the clipboard, which only the calling thread
    // reads.
    cutPages(std::move(pages), bool(pdfPageSource_), beforePage,
             [this](std::size_t) { host_.yield(); });
    if (pastDocumentEnd) {
        // A log that refuses the note refused the pages' lines too, and those pages failed.
        (void)appendTextLines(sFichierLog,
                              {QStringLiteral("Le document PDF n'a que %1 page(s) : le "
                                              "découpage s'est arrêté à sa dernière page "
                                              "(%2 pages demandées).")
                                   .arg(lastPage)
                                   .arg(inbPage)});
    }
}

int CuttingJob::jobPercent(double k, double count, bool firstPass) const {
    double percent = k * 100.0 / count;
    // With a double pass the first pass fills the first half of the bar, the second the other.
    if (firstPass && switches.doublePass)
        percent = k * 100.0 / (2.0 * count);
    if (!firstPass)
        percent = percent / 2.0 + 50.0;
    return static_cast<int>(std::nearbyint(percent));
}

QStringList CuttingJob::piecesOfThisJob(const QString& baseName) const {
    QStringList pieces;
    for (qint32 number = 1; number < lNumDiapo; ++number) {
        const QString name =
            baseName + QLatin1Char('-') + pieceNumberText(number) + QStringLiteral(".jpg");
        if (QFileInfo::exists(sRepSortie + name))
            pieces << name;
    }
    return pieces;
}

QString CuttingJob::runSecondPass(const QString& sourceFolder, const QStringList& pieces,
                                  bool wholeFolder, qint32 lSeuilPixel) {
    const qint32 firstPassPieces = lNumDiapo - 1;
    const qint32 firstPassErrors = lNbErreurs;
    state_.sRepSource = sourceFolder + kFirstPassFolder;
    // What a killed job left in VANTOLA2 is no part of this pass. What cannot be removed of it is
    // replaced piece by piece, and a piece that cannot be written fails the pass.
    (void)removeFolderSafely(sourceFolder, kSecondPassName);
    QDir(sourceFolder).mkdir(kSecondPassName);
    sRepSortie = sourceFolder + kSecondPassFolder;
    host_.setPageProgressColour(kColourBlack);
    secondPassTotal_ = 1;
    cutFolder(state_.sRepSource, pieces, 2, lSeuilPixel);
    lNumDiapo = secondPassTotal_;
    state_.sRepSource = sourceFolder;

    // The first pass gives way only to a complete second pass.
    QString failure;
    if (lNbErreurs != firstPassErrors)
        failure = QStringLiteral("%1 pièce(s) de la première passe n'ont pas pu être "
                                 "redécoupées")
                      .arg(lNbErreurs - firstPassErrors);
    else if (wholeFolder)
        failure = replaceFirstPassFolder(sourceFolder);
    else
        failure = mergeSecondPass(sourceFolder, pieces);
    if (failure.isEmpty())
        return {};
    // The failure is told below; what stays of VANTOLA2 the next double pass clears.
    (void)removeFolderSafely(sourceFolder, kSecondPassName);
    lNumDiapo = firstPassPieces + 1;
    const QString text = QStringLiteral("La double passe n'a pas pu aboutir (%1) : les pièces de "
                                        "la première passe sont restées dans VANTOLA, celles de "
                                        "la seconde ont été retirées.")
                             .arg(failure);
    // The caller shows the text whether or not the log takes it.
    (void)appendTextLines(sFichierLog, {QStringLiteral("ERREUR : ") + text});
    return text;
}

QString CuttingJob::replaceFirstPassFolder(const QString& sourceFolder) {
    if (!copyFileAtomically(sourceFolder + kFirstPassFolder + QStringLiteral("log.txt"),
                            sourceFolder + kSecondPassFolder + QStringLiteral("log.txt")))
        return QStringLiteral("le journal n'a pas pu être copié dans VANTOLA2");

    // The first pass is moved aside before the second takes its name, and removed only once
    // the second pass is in place: at no moment are both sets of pieces missing.
    const QString asideName = freshAsideName(sourceFolder);
    if (!renameFolderSafely(sourceFolder, kFirstPassName, asideName))
        return QStringLiteral("VANTOLA n'a pas pu être mis de côté");
    if (!renameFolderSafely(sourceFolder, kSecondPassName, kFirstPassName)) {
        if (!renameFolderSafely(sourceFolder, asideName, kFirstPassName))
            return QStringLiteral("VANTOLA2 n'a pas pu prendre la place de VANTOLA ; la première "
                                  "passe, mise de côté dans %1, reprendra le nom VANTOLA au "
                                  "prochain découpage de ce dossier")
                .arg(asideName);
        return QStringLiteral("VANTOLA2 n'a pas pu prendre la place de VANTOLA");
    }
    // The next job removes what is left aside (removeLeftAsideFolders).
    (void)removeFolderSafely(sourceFolder, asideName);
    return {};
}

QString CuttingJob::mergeSecondPass(const QString& sourceFolder, const QStringList& pieces) {
    if (!moveEntries(sourceFolder, kSecondPassName, kFirstPassName))
        return QStringLiteral("les pièces de la seconde passe n'ont pas pu être placées dans "
                              "VANTOLA");
    // A first-pass piece that cannot be removed stays beside its re-cut pieces: nothing is lost.
    (void)removeEntries(sourceFolder, kFirstPassName, pieces);
    // VANTOLA2 is empty now; the next double pass clears what stays of it.
    (void)removeFolderSafely(sourceFolder, kSecondPassName);
    return {};
}

QString CuttingJob::writePanelOutputs(const QString& sourceFolder, bool secondPassInPlace) {
    const QString folder = sourceFolder + kFirstPassFolder;
    const std::vector<PlacedPiece> pieces = panels_.finalPieces(folder, secondPassInPlace);
    // A job that wrote no piece has nothing to bind or map; its pages' failures say why.
    if (pieces.empty())
        return {};
    const QString name = panelBookName.isEmpty()
                             ? QFileInfo(QDir::cleanPath(sourceFolder)).fileName()
                             : panelBookName;
    QStringList failures;
    if (switches.panelBook)
        failures << writePanelBook(pieces, name, folder);
    if (switches.panelMaps)
        failures += writePanelMaps(pieces, name, folder);
    failures.removeAll(QString());
    if (failures.isEmpty())
        return {};
    QStringList lines;
    for (const QString& failure : failures)
        lines << QStringLiteral("ERREUR : ") + failure;
    // The caller shows the failures whether or not the log takes them.
    (void)appendTextLines(sFichierLog, lines);
    return lines.join(QLatin1Char('\n'));
}

} // namespace vantola
