#pragma once

#include "cutting/cut_record.h"
#include "cutting/grid_rotation.h"
#include "cutting/job_host.h"
#include "cutting/page_preparation.h"
#include "cutting/panel_layout.h"
#include "cutting/program_state.h"
#include "image/jpeg_writing.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace vantola {

class CutPipeline;
struct PieceSlot;
struct PreparedPage;

// The white levels a job takes: the cutter compares pixels with the level times 10000 as a
// signed 32-bit value, which a level outside these bounds would wrap.
inline constexpr qint32 kLargestWhiteLevel = std::numeric_limits<qint32>::max() / 10000;
inline constexpr qint32 kSmallestWhiteLevel = std::numeric_limits<qint32>::min() / 10000;

// What a job did: whether it ran, and its counts.
struct JobSummary {
    bool started = false;
    QString refusal;   // why the job did not start
    QString failure;   // what failed beside the pages: a double pass that kept the first pass, a
                       // cut record that could not be written whole
    qint32 pieces = 0; // pieces written (lNumDiapo - 1 at the end)
    qint32 errors = 0; // failed pages
    QString outputFolder;
};

// The state and operations of a cutting job, owned by the main window (or by the command line):
// the output folder and log of the current pass, the piece counter, the error count, the header
// and footer rows, and the operations that cut a page, write a piece and run a job.
//
// Every page goes through one pipeline (cut_pipeline.h). On one thread the calling thread
// prepares each page and encodes its pieces itself; with several, worker threads prepare the next
// pages and encode their pieces ahead, while the calling thread replays what each page reported
// and puts its pieces in place, in order. The files written, the log, the cut record, the counts
// and the calls made on the host are the same either way; the host is only ever called from the
// thread that called Decoupage.
//
// cutting_job.cpp runs the job (folders, log, passes); page_cutter.cpp cuts one page.
class CuttingJob {
public:
    CuttingJob(ProgramState& state, JobHost& host);

    // Runs one job over a picture, a folder (path ending with a separator), the clipboard
    // (inbPage = -1) or PDF pages (inbPage > 0, pages given by setPdfPageSource).
    JobSummary Decoupage(const QString& sFichierAOuvrir, const QString& sFichierAOuvrirCourt,
                         qint16 inbPage);

    // Cuts one page into pieces; failures of the page are logged and counted, never raised.
    // An empty sFichier takes the page from the clipboard or the PDF source, and then
    // sNomSortie (a folder followed by a three-digit page number) is replaced by the name of
    // the captured page.
    void DecouperPage(const QString& sFichier, qint32 lSeuilPixel, QString& sNomSortie,
                      qint16 iPasse);

    // Turns a picture file into a JPEG file with the JPEG settings of the moment, then deletes
    // the picture file. Failures are raised (AppError).
    void saveJPG(const QString& FileName, const QString& sFichierSortie);

    // Encodes a piece held in memory as the JPEG file jpegPath. On failure the piece is left
    // as the bitmap bitmapPath and the failure is raised.
    void savePiece(const PieceSlot& slot, const QString& bitmapPath, const QString& jpegPath);

    // Where the pages of a PDF job come from: page number (from 1) to picture (a null picture
    // fails that page), and how many pages the document has. A job asked for more pages stops
    // after the document's last page. Without a source, captured pages come from the clipboard.
    void setPdfPageSource(std::function<QImage(int)> source,
                          int documentPages = std::numeric_limits<int>::max()) {
        pdfPageSource_ = std::move(source);
        pdfDocumentPages_ = documentPages;
    }

    // Fields shared with the windows.
    QString sRepSortie;
    QString sFichierLog;
    qint32 lNumDiapo = 1;
    qint32 lNbErreurs = 0;
    qint32 lLigneEntete = 0;
    qint32 lLignePied = 0;
    JobSwitches switches;
    JpegOverrides jpegOverrides;
    // Pages that failed before the job (an archive's entries that could not be extracted): the
    // next job that starts logs each line and counts it as a failed page.
    QStringList pagesFailedBefore;
    // Threads that cut the pages (--threads): unset, each job reads the key THREADS of param.ini
    // (default: the number of cores). 1 cuts page after page on the calling thread alone.
    std::optional<int> threads;
    // Memory that the pages in flight may take together, in MiB (--memory): unset, each job reads
    // the key MEMOIRE_MAX of param.ini (default: half the physical memory).
    std::optional<qint32> memoryMebibytes;
    // The name of the panel book (--cbz), NAME.cbz; empty, the source folder's name.
    QString panelBookName;

private:
    class HostReport; // the report of the page being cut, on the calling thread

    // The job: its log, its sources and its second pass.
    void writeLogHeader();
    void cutFolder(const QString& folder, const QStringList& names, qint16 iPasse,
                   qint32 lSeuilPixel);
    void cutCapturedPages(qint16 inbPage, qint32 lSeuilPixel);
    // The job bar's value: page k of count, in the first pass or the second.
    int jobPercent(double k, double count, bool firstPass) const;
    // The JPEG pieces that this job's first pass wrote for one picture.
    QStringList piecesOfThisJob(const QString& baseName) const;
    // Cuts the pieces again into VANTOLA2 and puts the result in place of the first pass (the
    // whole folder, or only those pieces). Returns why the first pass was kept, or "".
    QString runSecondPass(const QString& sourceFolder, const QStringList& pieces, bool wholeFolder,
                          qint32 lSeuilPixel);
    QString replaceFirstPassFolder(const QString& sourceFolder);
    QString mergeSecondPass(const QString& sourceFolder, const QStringList& pieces);
    // Writes the panel book and the panel maps that the switches ask for into VANTOLA. Returns
    // why one could not be written (also logged), or "".
    QString writePanelOutputs(const QString& sourceFolder, bool secondPassInPlace);

    // One page.
    JpegSettings currentJpegSettings() const;
    PageOptions currentPageOptions() const;
    // Cuts the pages in order through one pipeline, with worker threads when the job has them
    // and mayWorkAhead allows.
    void cutPages(std::vector<PageRequest> pages, bool mayWorkAhead,
                  const std::function<void(std::size_t)>& beforePage,
                  const std::function<void(std::size_t)>& afterPage = {});
    std::unique_ptr<CutPipeline> makePipeline(std::vector<PageRequest> pages, int workers);
    // Cuts page `index` of the pipeline; returns its sNomSortie (a captured page's new name).
    QString cutPage(CutPipeline& pipeline, std::size_t index);
    void writePieces(CutPipeline& pipeline, PreparedPage& page);
    void placeEncodedPiece(CutPipeline& pipeline, PieceSlot& slot, const QString& bitmapPath,
                           const QString& jpegPath);
    void keepAsBitmap(const QImage& piece, const QString& bitmapPath);
    QImage takeCapturedPage(int pageNumber);
    void failPage(const QString& sFichier, const QString& sNomSortie, const QString& description,
                  int number);

    ProgramState& state_;
    JobHost& host_;
    JobCutRecord record_; // the running job's cut record
    PanelLayout panels_;  // where the running job's pieces lie on their pages
    std::function<QImage(int)> pdfPageSource_;
    int pdfDocumentPages_ = std::numeric_limits<int>::max();
    int failingStep_ = kStepStart; // the step of the page being cut, logged when it fails
    qint32 secondPassTotal_ = 1;   // pieces written by the second pass, plus one
    int jobThreads_ = 1;           // threads of the running job
};

} // namespace vantola
