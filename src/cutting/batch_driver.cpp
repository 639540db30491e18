// The cutting job from end to end: output folder, log header, the pages of a picture, a folder,
// the clipboard or a PDF, the optional second pass, and the closing line and message.
#include "cutting/cutting_job.h"
#include "cutting/job_log.h"
#include "cutting/thread_setting.h"
#include "image/jpeg_writing.h"
#include "settings/app_error.h"
#include "settings/folder_listing.h"
#include "settings/path_parts.h"
#include "settings/text_file.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vantola {

namespace {

const QString kFirstPassFolder = QStringLiteral("VANTOLA/");
const QString kSecondPassFolder = QStringLiteral("VANTOLA2/");

int roundedPercent(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

CuttingJob::CuttingJob(ProgramState& state, JobHost& host) : state_(state), host_(host) {}

JobSummary CuttingJob::Decoupage(const QString& sFichierAOuvrir,
                                 const QString& sFichierAOuvrirCourt, qint16 inbPage) {
    JobSummary summary;
    // The cutter compares pixels with the white level times 10000 as a signed 32-bit value; a
    // level whose product does not fit would compare against a wrapped threshold.
    const qint64 threshold = qint64(state_.lNiveauBlanc) * 10000;
    if (threshold > std::numeric_limits<qint32>::max() ||
        threshold < std::numeric_limits<qint32>::min()) {
        summary.refusal = QStringLiteral("Le niveau de blanc %1 est trop grand : le découpage "
                                         "n'a pas été lancé (niveau maximum %2).")
                              .arg(state_.lNiveauBlanc)
                              .arg(std::numeric_limits<qint32>::max() / 10000);
        host_.showMessage(QStringLiteral("DECOUPAGE IMPOSSIBLE"), summary.refusal);
        return summary;
    }
    const qint32 lSeuilPixel = static_cast<qint32>(threshold);
    summary.started = true;
    jobThreads_ =
        threads ? std::clamp(*threads, 1, kMaxJobThreads) : jobThreadsSetting(state_.sFichierParam);

    lNumDiapo = 1;
    lNbErreurs = 0;
    host_.setPageFrameVisible(true);
    host_.setPageProgressColour(kColourBlue);
    const QString sourceFolder = ExtraireDossier(sFichierAOuvrir);
    state_.sRepSource = sourceFolder;

    // Preparing the record, the output folder and the log: a failure here does not stop the job.
    record_.start(state_.sFichierDecoupage);
    QDir().mkpath(state_.sRepSource + kFirstPassFolder);
    sRepSortie = state_.sRepSource + kFirstPassFolder;
    sFichierLog = sRepSortie + QStringLiteral("log.txt");
    // What a killed run was writing when it stopped goes, so that this run ends as if the
    // killed one had never been.
    removeStaleTemporaryFiles(sRepSortie);
    removeStaleTemporaryFiles(state_.sRepSource);
    writeLogHeader();

    if (inbPage == 0 && !ExtraireNomFichier(sFichierAOuvrir).isEmpty()) {
        PageRequest page;
        page.sFichier = sFichierAOuvrir;
        page.sNomSortie = sFichierAOuvrirCourt;
        page.lSeuilPixel = lSeuilPixel;
        cutPages({page}, true, [](std::size_t) {});
    } else if (inbPage == 0) {
        cutFolder(state_.sRepSource, 1, lSeuilPixel);
    } else {
        cutCapturedPages(inbPage, lSeuilPixel);
    }
    host_.pageProgress(0, QString());
    host_.jobProgress(0, QString());

    if (switches.doublePass)
        runSecondPass(sourceFolder, lSeuilPixel);

    host_.pageProgress(0, QString());
    host_.jobProgress(0, QString());
    host_.setPageFrameVisible(false);
    summary.recordFailure = record_.commit();
    if (!summary.recordFailure.isEmpty())
        appendTextLines(sFichierLog, {summary.recordFailure});
    appendTextLines(sFichierLog, {QStringLiteral("Traitement terminé à ") + logDateTime()});

    summary.pieces = lNumDiapo - 1;
    summary.errors = lNbErreurs;
    summary.outputFolder = switches.doublePass && !QDir(sourceFolder + kSecondPassFolder).exists()
                               ? sourceFolder + kFirstPassFolder
                               : sRepSortie;
    if (!state_.bSansMessage)
        host_.showMessage(
            QStringLiteral("DECOUPAGE TERMINE"),
            QStringLiteral("%1 diapos créées et %2 erreurs rencontré(s).")
                    .arg(lNumDiapo - 1)
                    .arg(lNbErreurs) +
                (summary.recordFailure.isEmpty() ? QString() : "\n" + summary.recordFailure));
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
    writeTextLines(sFichierLog,
                   {QStringLiteral("Traitement commencé à ") + logDateTime(),
                    QStringLiteral("JPG Qualité : ") + jpeg.quality,
                    QStringLiteral("JPG Sample : ") + sample,
                    QStringLiteral("Niveau du blanc : ") + QString::number(state_.lNiveauBlanc)});
}

void CuttingJob::cutFolder(const QString& folder, qint16 iPasse, qint32 lSeuilPixel) {
    const QStringList names = listJpegPages(folder);
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
        host_.setCaption(QStringLiteral("Découpage de BD - %1/%2").arg(k).arg(count));
        double percent = double(k) * 100.0 / double(count);
        if (firstPass && switches.doublePass)
            percent = double(k) * 100.0 / (2.0 * double(count));
        if (!firstPass)
            percent = percent / 2.0 + 50.0;
        host_.jobProgress(
            roundedPercent(percent),
            (firstPass ? QStringLiteral("1er passe de ") : QStringLiteral("2e passe de ")) + name);
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
        cutPages({page}, false, [this](std::size_t) { currentCapturedPage_ = 0; });
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
        page.capture = [source = pdfPageSource_, number] {
            return capturedOnPaper(source(number), number);
        };
    }
    const auto beforePage = [&](std::size_t k) {
        const int number = int(k) + 1;
        double percent = double(number) * 100.0 / double(lastPage);
        if (switches.doublePass)
            percent = double(number) * 100.0 / (2.0 * double(lastPage));
        host_.jobProgress(roundedPercent(percent), QStringLiteral("Traitement du presse papier"));
        host_.yield();
        currentCapturedPage_ = number;
    };
    // Without a PDF source the pages come from the clipboard, which only the calling thread
    // reads.
    cutPages(std::move(pages), bool(pdfPageSource_), beforePage,
             [this](std::size_t) { host_.yield(); });
    if (pastDocumentEnd) {
        appendTextLines(sFichierLog, {QStringLiteral("Le document PDF n'a que %1 page(s) : le "
                                                     "découpage s'est arrêté à sa dernière page "
                                                     "(%2 pages demandées).")
                                          .arg(lastPage)
                                          .arg(inbPage)});
    }
}

void CuttingJob::runSecondPass(const QString& sourceFolder, qint32 lSeuilPixel) {
    state_.sRepSource = sourceFolder + kFirstPassFolder;
    QDir().mkpath(sourceFolder + kSecondPassFolder);
    sRepSortie = sourceFolder + kSecondPassFolder;
    removeStaleTemporaryFiles(sRepSortie);
    host_.setPageProgressColour(kColourBlack);
    secondPassTotal_ = 1;
    cutFolder(state_.sRepSource, 2, lSeuilPixel);
    lNumDiapo = secondPassTotal_;
    replaceFirstPassFolder(sourceFolder);
    state_.sRepSource = sourceFolder;
}

void CuttingJob::replaceFirstPassFolder(const QString& sourceFolder) {
    const QString firstPass = sourceFolder + kFirstPassFolder;
    const QString secondPass = sourceFolder + kSecondPassFolder;
    copyFileAtomically(firstPass + QStringLiteral("log.txt"),
                       secondPass + QStringLiteral("log.txt"));

    // The first pass is moved aside before the second takes its name, and removed only once
    // the second pass is in place: at no moment are both sets of pieces missing.
    const QString firstPassName = QStringLiteral("VANTOLA");
    const QString asideName = QStringLiteral("VANTOLA.ancien");
    QDir source(sourceFolder);
    if (source.exists(asideName))
        QDir(sourceFolder + asideName).removeRecursively();
    if (!source.rename(firstPassName, asideName)) {
        appendTextLines(sFichierLog, {QStringLiteral("ERREUR : le dossier VANTOLA n'a pas pu être "
                                                     "remplacé par VANTOLA2 (renommage refusé).")});
        return;
    }
    if (!source.rename(QStringLiteral("VANTOLA2"), firstPassName)) {
        source.rename(asideName, firstPassName);
        appendTextLines(sFichierLog, {QStringLiteral("ERREUR : le dossier VANTOLA2 n'a pas pu être "
                                                     "déplacé vers VANTOLA ; les pièces de la "
                                                     "seconde passe sont restées dans VANTOLA2.")});
        return;
    }
    QDir(sourceFolder + asideName).removeRecursively();
}

} // namespace vantola
