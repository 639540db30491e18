#pragma once

#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "support/temp_folder.h"

#include <QImage>
#include <QMap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace vantola::test {

struct ProcessResult {
    int status = -1;
    QString out;
    QString err;
};

// Runs a program with the French locale, the offscreen platform and $VANTOLA naming the built
// executable, then the environment changes ("NAME=value", or "NAME=" to remove NAME).
ProcessResult runProgram(const QString& program, const QStringList& arguments,
                         int timeoutMs = 120000, const QStringList& environmentChanges = {});
// Runs the built vantola executable with the arguments, as runProgram does.
ProcessResult runVantola(const QStringList& arguments, int timeoutMs = 120000,
                         const QStringList& environmentChanges = {});

// The status of runInPrivateMounts where no private mount namespace can be made.
inline constexpr int kNoPrivateMounts = -2;
// Runs the shell script with the arguments ($1...) in a private mount namespace, as root of a
// user namespace, so that it may mount a small tmpfs or a read-only bind without touching the
// machine's mounts. Same environment as runVantola.
ProcessResult runInPrivateMounts(const QString& script, const QStringList& arguments);

// The lines of a text file written with CR LF line ends (the last, empty one dropped), with the
// date and time of a log's opening and closing lines cut off.
QStringList textFileLines(const QString& path);
// Every key = value of one section of an INI file, in file order, as "KEY=VALUE".
QStringList iniSectionLines(const QString& path, const QString& section);
// The rectangles of a page's pieces in a cut record, in piece order.
std::vector<QRect> recordedPieces(const QString& record, const QString& page);

// The host of every test job: records each call in order as text ("job 50 1er passe de b.jpg"),
// and whether any came from another thread than the one that made the host.
class RecordingHost : public JobHost {
public:
    void jobProgress(int value, const QString& text) override { record("job", value, text); }
    void pageProgress(int value, const QString& text) override { record("page", value, text); }
    void setPageProgressColour(quint32 colour) override { record("colour", colour); }
    void setPageFrameVisible(bool visible) override { record("frame", visible); }
    // With the path: the size, the middle pixel and the footer row the page before left.
    void pageShown(const QString& path, const QImage& page) override;
    void setCaption(const QString& caption) override { record("caption " + caption); }
    void yield() override;
    bool pauseRequested() override;
    void showMessage(const QString& title, const QString& text) override {
        record("message " + title + " | " + text);
    }

    // The calls that begin with the prefix, the prefix cut off.
    QStringList callsOf(const QString& prefix) const;

    QStringList calls;
    bool callFromAnotherThread = false;
    const qint32* footerRow = nullptr;
    int pausesLeft = 0; // the next answers of pauseRequested that hold the job
    std::function<void(const QString&)> onShown;
    std::function<void()> onYield;

private:
    void record(const QString& call);
    // "kind value", then the text after a space when there is one.
    void record(const char* kind, qint64 value, const QString& text = {}) {
        record(QStringLiteral("%1 %2 %3").arg(kind).arg(value).arg(text).trimmed());
    }
    std::thread::id madeOn_ = std::this_thread::get_id();
};

// A program folder and a source folder in a temporary place, with a job ready to run.
class JobFixture {
public:
    JobFixture();

    QString home() const { return root_.path() + "home/"; }
    QString source() const { return root_.path() + "pages/"; }
    QString output() const { return source() + "VANTOLA/"; }
    QString file(const QString& name) const { return source() + name; }
    QStringList outputLog() const;

    // Writes key = value into section PARAM of param.ini.
    void setParam(const QString& key, const QString& value);
    // Runs "vantola cut PATH --home HOME --quiet OPTIONS..." and waits for it.
    ProcessResult cutWithVantola(const QString& path, const QStringList& options = {}) const {
        return runVantola(QStringList{"cut", "--home", home(), "--quiet", path} + options);
    }

    ProgramState state;
    RecordingHost host;
    CuttingJob job;

private:
    TempFolder root_;
};

// Three tiers of two panels each, the six pieces the cutter finds.
inline constexpr int kPanelsPerPage = 6;
QImage comicPage(std::uint64_t seed, QSize size = QSize(500, 700));

// Saves comicPage as folder/name.jpg (quality 95).
QString writeComicPage(const QString& folder, const QString& name, std::uint64_t seed,
                       QSize size = QSize(620, 877));
// Saves pages p1.jpg..pN.jpg (seeds 1..N) in the folder.
void writeComicPages(const QString& folder, int count, QSize size = QSize(620, 877));

// The names of the files of a folder that match the pattern, in name order.
QStringList fileNames(const QString& folder, const QString& pattern = "*");

// Every file and folder under root by relative path: a file's bytes, "<folder>" for a folder, and
// for a log.txt its lines without their dates, the source folder written SOURCE/.
QMap<QString, QByteArray> folderContents(const QString& root, const QString& source = {});

// Writes a PDF whose pages are the pictures, each filling a page sized so that rendering it at
// dpi gives back the picture's size (widths and heights multiples of 25 pixels at 150 dpi).
void writePdf(const QString& path, const std::vector<QImage>& pages, int dpi = 150);

} // namespace vantola::test
