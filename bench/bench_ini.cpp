// The cut record of a large job: 1,000 pages of 8 pieces, 7 writes per piece (56,000 writes)
// into one growing decoupage.ini, then 1,000 reads of the finished file.
//
// Printed: the total time and rate of the writes; the time of the last tenth of the writes
// over the first tenth (near 1 when a write costs the same however large the file is); the
// writes over a reference that does only the unavoidable work, one append of the same line per
// write; and the reads over a reference of one cold load of the whole file.
#include "cutting/cut_record.h"
#include "settings/cls_initreg.h"
#include "settings/ini_file_cache.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace vantola;

namespace {

constexpr int kPages = 1000;
constexpr int kPieces = 8;
constexpr int kWritesPerPiece = 7;
constexpr int kReads = 1000;

QString pagePath(int page) {
    return QStringLiteral("/home/me/BD [1]/page%1.jpg").arg(page);
}

QString piecePath(int page, int piece) {
    return QStringLiteral("/home/me/BD [1]/VANTOLA/%1.bmp")
        .arg((page - 1) * kPieces + piece, 4, 10, QLatin1Char('0'));
}

double seconds(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e9;
}

// The writes of the whole job; returns the time of each tenth of the pages.
std::vector<double> recordJob(const QString& record) {
    std::vector<double> tenths;
    QElapsedTimer timer;
    timer.start();
    for (int page = 1; page <= kPages; ++page) {
        for (qint16 piece = 1; piece <= kPieces; ++piece) {
            if (!EnregistreDecoupe(1, pagePath(page), piece, 2480, 3508, 10 * piece, 2400,
                                   400 * piece, 400 * piece + 350, piecePath(page, piece),
                                   record)) {
                std::fprintf(stderr, "bench_ini: the record %s cannot be written\n",
                             qPrintable(record));
                std::exit(1);
            }
        }
        if (page % (kPages / 10) == 0) {
            tenths.push_back(seconds(timer));
            timer.restart();
        }
    }
    return tenths;
}

// The same lines appended one write at a time, with nothing else to do.
double appendReference(const QByteArray& lines, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    const QByteArray local = QFile::encodeName(path);
    qsizetype start = 0;
    while (start < lines.size()) {
        const qsizetype end = lines.indexOf('\n', start) + 1;
        const int fd = ::open(local.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, lines.constData() + start, end - start) != end - start)
            std::fprintf(stderr, "reference append failed\n");
        ::close(fd);
        start = end;
    }
    return seconds(timer);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::TempFolder temp;
    const QString record = temp.file(QStringLiteral("decoupage.ini"));

    const std::vector<double> tenths = recordJob(record);
    double total = 0;
    for (double t : tenths)
        total += t;
    const int writes = kPages * kPieces * kWritesPerPiece;
    const QByteArray recorded = test::readFileBytes(record);
    const double reference = appendReference(recorded, temp.file(QStringLiteral("plain.ini")));

    std::printf("cut record: %d pages x %d pieces x %d writes = %d writes, file %.1f MB\n", kPages,
                kPieces, kWritesPerPiece, writes, recorded.size() / 1e6);
    std::printf("  total %.3f s, %.0f writes/s\n", total, writes / total);
    std::printf("  each tenth of the job (s):");
    for (double t : tenths)
        std::printf(" %.3f", t);
    std::printf("\n  last tenth / first tenth: %.2f\n", tenths.back() / tenths.front());
    std::printf("  writes / plain appends of the same lines (%.3f s): %.2f\n", reference,
                total / reference);

    Cls_InitREG ini;
    QElapsedTimer timer;
    IniFileCache::instance().clear();
    timer.start();
    const QString first = ini.IniLire(pagePath(1), QStringLiteral("FICHIER_1"), QString(), record);
    const double coldLoad = seconds(timer);
    timer.restart();
    int found = 0;
    for (int i = 0; i < kReads; ++i) {
        const int page = 1 + (i * 7919) % kPages;
        const QString key = QStringLiteral("LIGNE_2_%1").arg(1 + i % kPieces);
        found += ini.IniLire(pagePath(page), key, QString(), record).isEmpty() ? 0 : 1;
    }
    const double reads = seconds(timer);
    std::printf("reads: %d IniLire on the finished file: %.4f s (%.1f us each), %d found\n", kReads,
                reads, reads / kReads * 1e6, found);
    std::printf("  first read, loading the file (%s): %.4f s; %d reads / that load: %.2f\n",
                first.isEmpty() ? "failed" : "ok", coldLoad, kReads, reads / coldLoad);
    return found == kReads && !first.isEmpty() ? 0 : 1;
}
