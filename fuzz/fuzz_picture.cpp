// Fuzzing the loading and cutting of picture files: the input is a picture file (the seeds are
// tiny JPEG, PNG, BMP and GIF pages with two panels), written to a folder and loaded with a low
// pixel limit, so that a header announcing a large picture is refused before the fuzzer's memory
// limit is reached. A picture that decodes is cut by a real job in that folder: the pieces are
// written with our encoder. The last byte of the input also picks the job's switches (double
// pass, rotation, debug lines). Nothing may crash, leak or trip a sanitizer; a picture that does
// not decode is the invalid-picture error; every piece written is a JPEG file that decodes. The
// same byte runs the job on one thread or on two.
#include "cutting/cutting_job.h"
#include "cutting/program_settings.h"
#include "fuzz_support.h"
#include "image/picture_loader.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/folder_listing.h"
#include "settings/ini_file_cache.h"

#include <QDir>
#include <QImageReader>

namespace vantola {
namespace {

// Refused at load: keeps a decoded picture (4 bytes a pixel) far below the fuzzer's memory limit.
constexpr qint64 kMaxPixels = 4'000'000;
// Cut by a job only up to this size, so that each input takes milliseconds, not seconds.
constexpr qint64 kMaxPixelsCut = 65'536;

JobSwitches switchesFrom(quint8 last, ProgramState& state) {
    JobSwitches switches;
    switches.doublePass = (last & 1) != 0;
    switches.rotation = Rotation(((last >> 1) & 3) % 3);
    state.bModeDebug = (last & 8) != 0;
    return switches;
}

// A program folder whose param.ini asks for jobs on one thread, or on two (pages prepared and
// pieces encoded ahead by worker threads).
QString programFolder(bool twoThreads) {
    const QString home =
        fuzz::scratchFolder() + (twoThreads ? QStringLiteral("home2/") : QStringLiteral("home1/"));
    if (!QDir(home).exists()) {
        QDir().mkpath(home);
        // A scratch folder that refuses the setting only runs the job with the default threads.
        (void)Cls_InitREG().IniEcrire(QStringLiteral("PARAM"), QStringLiteral("THREADS"),
                                      twoThreads ? QStringLiteral("2") : QStringLiteral("1"),
                                      home + QStringLiteral("param.ini"));
    }
    return home;
}

// Every JPEG file of the folder decodes; returns how many there are.
qsizetype checkPiecesDecode(const QString& folder) {
    const QStringList pieces = listJpegPages(folder);
    for (const QString& name : pieces) {
        QImageReader reader(folder + name);
        FUZZ_CHECK(!reader.read().isNull());
    }
    return pieces.size();
}

} // namespace
} // namespace vantola

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vantola::fuzz::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace vantola;
    if (size == 0)
        return 0;
    const QString pages = fuzz::scratchFolder() + QStringLiteral("pages/");
    QDir().mkpath(pages);
    fuzz::emptyFolder(pages);
    const QString page = pages + QStringLiteral("page.jpg");
    fuzz::writeWholeFile(page, QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size)));

    QImage picture;
    try {
        picture = loadPicture(page, kMaxPixels);
    } catch (const AppError& error) {
        FUZZ_CHECK(error.number() == kErrInvalidPicture);
        return 0;
    }
    FUZZ_CHECK(!picture.isNull());
    if (qint64(picture.width()) * picture.height() > kMaxPixelsCut)
        return 0;
    picture = QImage();

    ProgramState state = loadProgramState(programFolder((bytes[size - 1] & 16) != 0));
    state.bSansMessage = true;
    JobHost host;
    CuttingJob job(state, host);
    job.switches = switchesFrom(bytes[size - 1], state);
    const JobSummary summary = job.Decoupage(page, QStringLiteral("page.jpg"), 0);
    FUZZ_CHECK(summary.started);
    FUZZ_CHECK(summary.errors == 0 || summary.errors == 1);
    const qsizetype written = checkPiecesDecode(summary.outputFolder);
    if (!job.switches.doublePass)
        FUZZ_CHECK(written == summary.pieces);
    // The cut record stays cached otherwise, and libFuzzer would run a leak check for it.
    IniFileCache::instance().clear();
    return 0;
}
