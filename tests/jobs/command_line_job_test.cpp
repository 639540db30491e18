// Jobs of the vantola program: bad pages fail alone and the job goes on (exit status 1); unusable
// output folders, a full disk, a job already running and a killed job lose nothing of the user's.
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <tuple>

namespace vantola::test {
namespace {

QByteArray pictureBytes(const QImage& picture, PageFormat format = PageFormat::Jpeg) {
    TempFolder folder;
    return readFileBytes(savePage(picture, folder.path(), "x", format));
}

// A real JPEG whose frame header claims width x height.
QByteArray jpegClaimingSize(int width, int height) {
    QByteArray bytes = pictureBytes(plainPage(16, 16, qRgb(90, 90, 90)));
    const qsizetype frame = bytes.indexOf(QByteArrayView("\xFF\xC0", 2));
    qToBigEndian(quint16(height), bytes.data() + frame + 5);
    qToBigEndian(quint16(width), bytes.data() + frame + 7);
    return bytes;
}

class BadInput : public ::testing::Test, public JobFixture {};

TEST_F(BadInput, EveryBadPageFailsAloneAndTheJobGoesOn) {
    const QString folder = source() + "BD [1] é=x/";
    QDir().mkpath(folder);
    const QString good = writeComicPage(folder, "bonne [2]=é", 1);
    const QByteArray goodBytes = readFileBytes(good);
    // Cameras and tools append data after a picture's end, even the start of another picture:
    // the page is cut as any other.
    writeFileBytes(folder + "suivie.jpg", goodBytes + goodBytes.left(1000));
    QByteArray damaged = goodBytes; // its scan data damaged halfway: the decoder only warns
    for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    const QByteArray bmp = pictureBytes(plainPage(64, 64), PageFormat::Bmp);
    const QByteArray gif =
        readFileBytes(QStringLiteral(VANTOLA_SOURCE_DIR) + "/fuzz/corpus/fuzz_picture/page.gif");
    const QMap<QString, QByteArray> bad{
        {"vide.jpg", QByteArray()},
        {"coupee.jpg", goodBytes.left(goodBytes.size() / 2)},
        {"texte.jpg", QByteArray("ceci n'est pas une image\n")},
        {"geante.jpg", jpegClaimingSize(65000, 65000)},
        {"minuscule.jpg", pictureBytes(plainPage(1, 1))},
        {"abimee.jpg", damaged},
        {"bmp-coupe.jpg", bmp.left(bmp.size() / 2)},
        {"gif-coupe.jpg", gif.left(gif.size() - 20)},
        // More than the memory given to the job: refused before its pixels are allocated.
        {"enorme.jpg", jpegClaimingSize(17000, 17000)},
    };
    for (auto it = bad.begin(); it != bad.end(); ++it)
        writeFileBytes(folder + it.key(), it.value());
    // A pipe and a device are no pictures: they fail at once, neither read nor copied.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "tube.jpg"), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "zero.jpg"));

    // The pages share 10 MiB, one page's worth: with four threads they wait for each other.
    const ProcessResult result = cutWithVantola(folder, {"--threads", "4", "--memory", "10"});

    EXPECT_EQ(result.status, 1) << qPrintable(result.err);
    const QString output = folder + "VANTOLA/";
    EXPECT_TRUE(result.out.trimmed().endsWith("11 pages failed, output: " + output))
        << qPrintable(result.out);
    const QStringList log = textFileLines(output + "log.txt");
    EXPECT_EQ(log.filter("ERREUR DE TRAITEMENT DU FICHIER: ").size(), 11);
    // The undecodable files say so in two more lines, the damaged ones with the decoder's words;
    // the 1x1 page fails on its arithmetic.
    EXPECT_EQ(log.filter("Votre image est déffectueuse").size(), 9);
    EXPECT_EQ(log.filter("Invalid picture: ").size(), 6);
    EXPECT_TRUE(log.contains("Invalid picture (481)"));
    EXPECT_TRUE(log.contains("Overflow (6)"));
    EXPECT_TRUE(log.contains("Out of memory (7)"));
    EXPECT_EQ(log.filter("ont étés créées pour la page " + good).size(), 1);
    EXPECT_FALSE(QDir(output).entryList({"suivie.jpg-*.jpg"}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(output + "tube.jpg.bmp"));
    for (auto it = bad.begin(); it != bad.end(); ++it) {
        EXPECT_EQ(readFileBytes(output + it.key() + ".bmp"), it.value()) << qPrintable(it.key());
        EXPECT_EQ(readFileBytes(folder + it.key()), it.value()); // the source is untouched
    }
    EXPECT_FALSE(QDir(output).entryList({"bonne*.jpg"}).isEmpty());
    const QString record = QString::fromUtf8(readFileBytes(state.sFichierDecoupage));
    EXPECT_TRUE(record.contains("[" + good + "]\r\nCOLONNE_1_1="));
}

TEST_F(BadInput, SettingsAndRowsThatCannotWorkFailEveryPage) {
    const QString page = writeComicPage(source(), "p", 1);
    const auto log = [&] { return outputLog(); };
    const auto written = [&](const char* name) {
        return QFileInfo::exists(output() + QLatin1String(name));
    };

    // A header row equal to the footer row: the page's progress divides by zero.
    EXPECT_EQ(cutWithVantola(page, {"--header", "100", "--footer", "100"}).status, 1);
    EXPECT_TRUE(log().contains("Division by zero (11)"));

    // A quality that is no number: every piece fails and stays as a bitmap.
    setParam("JPG_QUALITY", "haute");
    EXPECT_EQ(cutWithVantola(page).status, 1);
    EXPECT_TRUE(log().contains("JPG Qualité : haute"));
    EXPECT_TRUE(log().contains("Type mismatch (13)"));
    EXPECT_TRUE(written("p.jpg-0001.bmp"));
    EXPECT_FALSE(written("p.jpg-0001.jpg"));
    EXPECT_TRUE(written("p.jpg.bmp"));

    // The command line's quality replaces the broken setting for this run only.
    const ProcessResult result = cutWithVantola(page, {"--quality", "60"});
    EXPECT_EQ(result.status, 0) << qPrintable(result.out);
    EXPECT_TRUE(written("p.jpg-0001.jpg"));
    EXPECT_TRUE(
        QString::fromUtf8(readFileBytes(state.sFichierParam)).contains("JPG_QUALITY=haute"));
}

TEST_F(BadInput, OutputFolderThatCannotServeRefusesTheJobAndLosesNothing) {
    // The entry is made in the source folder: a link to the target, or a file when there is no
    // target. Without an entry, the source folder is mounted read-only.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"VANTOLA", "../ailleurs", "cut", "est un lien symbolique"},
        {"VANTOLA", ".", "cut", "est un lien symbolique"},
        {"VANTOLA2", "../ailleurs", "cut", "est un lien symbolique"},
        {"VANTOLA", "", "cut", "n'est pas un dossier"},
        {"", "", "cut", "n'a pas pu être créé (système de fichiers en lecture seule)"},
        {"", "", "clipboard", "n'a pas pu être créé (système de fichiers en lecture seule)"},
    };
    for (const auto& [entryName, target, command, reason] : cases) {
        SCOPED_TRACE(std::string(entryName) + " " + target + " " + command);
        JobFixture fixture;
        writeComicPage(fixture.source(), "p", 1);
        const QString elsewhere = fixture.source() + "../ailleurs/";
        QDir().mkpath(elsewhere);
        writeFileBytes(elsewhere + "precieux.txt", "keep me");
        const QString entry = fixture.source() + entryName;
        if (*target)
            QFile::link(target, entry);
        else if (*entryName)
            writeFileBytes(entry, "occupied");
        const QStringList arguments{command,        fixture.source(), "--home",
                                    fixture.home(), "--quiet",        "--double-pass"};
        // Mounts $1 read-only, then runs vantola with the other arguments.
        const ProcessResult result =
            *entryName
                ? runVantola(arguments)
                : runInPrivateMounts("mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro "
                                     "\"$1\" && shift && exec \"$VANTOLA\" \"$@\"",
                                     QStringList{fixture.source()} + arguments);
        if (result.status == kNoPrivateMounts)
            GTEST_SKIP() << "no private mount namespace (unshare) here for a read-only folder";

        EXPECT_EQ(result.status, 2) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(reason))) << qPrintable(result.err);
        EXPECT_EQ(QDir(elsewhere).entryList(QDir::Files), QStringList{"precieux.txt"});
        EXPECT_EQ(readFileBytes(elsewhere + "precieux.txt"), "keep me");
        EXPECT_EQ(QDir(fixture.source()).entryList({"*.jpg"}), QStringList{"p.jpg"});
        EXPECT_EQ(QFileInfo(entry).isSymLink(), *target != '\0');
        EXPECT_FALSE(QFileInfo::exists(fixture.output() + "log.txt"));
    }
}

TEST_F(BadInput, DoublePassOnAFullDiskKeepsTheFirstPass) {
    writeComicPages(source(), 4);
    // The first pass alone, on the real disk: what the full disk must keep.
    ASSERT_EQ(cutWithVantola(source()).status, 0);
    QMap<QString, QByteArray> firstPass;
    qint64 pages = 0, pieces = 0;
    const auto blocks = [](qint64 size) { return (size + 4095) / 4096 * 4096; };
    for (const QFileInfo& file : QDir(output()).entryInfoList({"*.jpg"}, QDir::Files)) {
        firstPass.insert(file.fileName(), readFileBytes(file.filePath()));
        pieces += blocks(file.size());
    }
    for (const QFileInfo& file : QDir(source()).entryInfoList({"*.jpg"}, QDir::Files))
        pages += blocks(file.size());

    // A tmpfs with room for the pages, the first pass and half the second.
    const QString disk = QDir::cleanPath(source() + "../disque");
    const QString after = QDir::cleanPath(source() + "../apres") + '/';
    QDir().mkpath(disk);
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=$2 tmpfs \"$1\" && mkdir \"$1/p\" && cp \"$3\"/*.jpg \"$1/p/\" "
        "|| exit 99\n\"$VANTOLA\" cut --home \"$4\" --quiet --double-pass \"$1/p/\"\n"
        "status=$?; cp -a \"$1/p\" \"$5\" && exit $status");
    const ProcessResult result =
        runInPrivateMounts(script, {disk, QString::number(pages + pieces * 3 / 2 + 65536), source(),
                                    home(), after.chopped(1)});
    if (result.status == kNoPrivateMounts)
        GTEST_SKIP() << "no private mount namespace (unshare) here for a small tmpfs";

    EXPECT_EQ(result.status, 1) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains("La double passe n'a pas pu aboutir"));
    EXPECT_EQ(QDir(after).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"VANTOLA"});
    QMap<QString, QByteArray> kept;
    for (const QString& name : QDir(after + "VANTOLA").entryList({"*.jpg"}, QDir::Files))
        kept.insert(name, readFileBytes(after + "VANTOLA/" + name));
    EXPECT_TRUE(kept == firstPass) << qPrintable(kept.keys().join(' '));
    const QStringList log = textFileLines(after + "VANTOLA/log.txt");
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.first(), "Traitement commencé à");
    EXPECT_EQ(log.filter("ERREUR : La double passe n'a pas pu aboutir").size(), 1);
    EXPECT_EQ(log.filter("pour la page " + disk + "/p/p").size(), 4);
    EXPECT_EQ(log.last(), "Traitement terminé à");
    for (const QString& line : log.filter(QRegularExpression("^-"))) // no line cut short
        EXPECT_EQ(line, QString(70, QLatin1Char('-')));
}

TEST_F(BadInput, ASecondJobOnTheSameFoldersIsRefusedAndNamesTheFirst) {
    writeComicPages(source(), 3, QSize(1240, 1754));
    const QString otherFolder = source() + "../autres/";
    QDir().mkpath(otherFolder);
    writeComicPage(otherFolder, "q", 4);
    QProcess first;
    first.start(QStringLiteral(VANTOLA_BINARY),
                {"cut", "--home", home(), "--quiet", "--threads", "1", source()});
    ASSERT_TRUE(first.waitForStarted());
    // Its log begins once it holds its locks; stopped, it keeps them.
    for (int wait = 0; wait < 2000 && !QFileInfo::exists(output() + "log.txt"); ++wait)
        QThread::msleep(5);
    ::kill(pid_t(first.processId()), SIGSTOP);
    ASSERT_EQ(first.state(), QProcess::Running);

    for (const QString& folder : {source(), otherFolder}) {
        const ProcessResult second = cutWithVantola(folder);
        EXPECT_EQ(second.status, 2);
        EXPECT_TRUE(second.err.contains(
            QStringLiteral("processus %1, découpage de %2").arg(first.processId()).arg(source())))
            << qPrintable(second.err);
    }
    EXPECT_FALSE(QFileInfo::exists(otherFolder + "VANTOLA/log.txt"));
    ::kill(pid_t(first.processId()), SIGCONT);
    first.waitForFinished(120000);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(outputLog().filter("pour la page").size(), 3);
}

// A cut record that cannot be written whole (read-only, the program folder a file, a full file
// system) is reported, and what was there stays as it was.
TEST_F(BadInput, CutRecordThatCannotBeWrittenIsReportedAndKeptWhole) {
    const QString page = writeComicPage(source(), "p", 1);
    const QByteArray previous("[earlier]\r\nA=1\r\n");
    const QString record = home() + "decoupage.ini";
    const QString fileAsHome = home() + "fichier";
    const QString copied = source() + "copie.ini";
    writeFileBytes(record, previous);
    QFile::setPermissions(record, QFileDevice::ReadOwner);
    writeFileBytes(fileAsHome, previous);
    // The last row mounts a small tmpfs over the program folder in a private namespace and
    // fills it before the job.
    const QString fullDisk = QStringLiteral(
        "mount -t tmpfs -o size=8k tmpfs \"$1\" && printf '[earlier]\\r\\nA=1\\r\\n' > "
        "\"$1/decoupage.ini\" && head -c 4096 /dev/zero > \"$1/plein\" || exit 99; \"$VANTOLA\" "
        "cut --home \"$1\" \"$2\"; s=$?; cp \"$1/decoupage.ini\" \"$3\"; exit $s");
    const struct {
        QString kept;
        QStringList arguments;
        bool onFullDisk;
    } rows[] = {
        {record, {"cut", "--home", home(), page}, false},
        {fileAsHome, {"cut", "--home", fileAsHome, page}, false},
        {copied, {home(), page, copied}, true},
    };
    for (const auto& [kept, arguments, onFullDisk] : rows) {
        const ProcessResult result =
            onFullDisk ? runInPrivateMounts(fullDisk, arguments) : runVantola(arguments);
        if (result.status == kNoPrivateMounts) {
            std::cout << "[  SKIPPED ] full disk: no private tmpfs (unshare refused)\n";
            continue;
        }
        EXPECT_EQ(result.status, 1) << qPrintable(kept) << qPrintable(result.err);
        EXPECT_EQ(readFileBytes(kept), previous) << qPrintable(kept);
        EXPECT_EQ(outputLog().filter("ERREUR : le fichier de découpage").size(), 1);
        EXPECT_TRUE(QDir(home()).entryList({".vantola-*"}, QDir::Hidden | QDir::Files).isEmpty());
    }
}

TEST_F(BadInput, UsageErrorsStartNoJob) {
    const QString folder = source();
    for (const QStringList& arguments :
         {QStringList{}, QStringList{folder + "absent.jpg"}, QStringList{"--level", "haut", folder},
          QStringList{"--rotate", "left", folder}, QStringList{"--sampling", "5:1", folder},
          QStringList{"--level", "300000", folder}, QStringList{"--level", "-300000", folder},
          QStringList{"--memory", "0", folder}}) {
        const ProcessResult result =
            runVantola(QStringList{"cut"} + arguments + QStringList{"--home", home()});
        EXPECT_EQ(result.status, 2) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(result.err.isEmpty());
        // A level out of range says so once, in words that fit a level too small.
        EXPECT_LE(result.err.count("Le niveau de blanc"), 1);
        EXPECT_FALSE(result.err.contains("-300000 est trop grand"));
        EXPECT_FALSE(QFileInfo::exists(output()));
    }
}

// Five A4 pages at 150 dpi and the vantola command line that cuts them in one or two passes.
struct PagesToCut : JobFixture {
    explicit PagesToCut(bool doublePass) : doublePass(doublePass) {
        writeComicPages(source(), 5, QSize(1240, 1754));
    }
    // Runs the job to its end, or kills it (SIGKILL) after killAfterMs; returns its exit status.
    int run(int killAfterMs = -1) const {
        QProcess process;
        process.start(QStringLiteral(VANTOLA_BINARY),
                      {"cut", "--home", home(), "--quiet",
                       doublePass ? "--double-pass" : "--single-pass", source()});
        process.waitForStarted();
        if (killAfterMs >= 0) {
            QThread::msleep(killAfterMs);
            process.kill();
        }
        process.waitForFinished(300000);
        return process.exitCode();
    }

    bool doublePass;
};

// A job killed at any moment leaves no half-written JPEG under a final name, and running it
// again gives exactly what an uninterrupted run gives.
class InterruptedJob : public ::testing::TestWithParam<bool> {};

TEST_P(InterruptedJob, KilledAndRunAgainEqualsAnUninterruptedRun) {
    const PagesToCut reference(GetParam());
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(reference.run(), 0);
    const int duration = int(timer.elapsed());
    const auto expected = folderContents(reference.output(), reference.source());
    ASSERT_FALSE(expected.isEmpty());

    for (const double fraction : {0.1, 0.3, 0.5, 0.7, 0.9}) {
        SCOPED_TRACE(QStringLiteral("killed at %1 of the job").arg(fraction).toStdString());
        const PagesToCut work(GetParam());
        work.run(int(duration * fraction));
        QDirIterator it(work.source(), {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const DecodedJpeg decoded = decodeWithDjpeg(it.next());
            EXPECT_EQ(decoded.status, 0) << qPrintable(it.filePath());
            EXPECT_TRUE(decoded.errors.isEmpty()) << qPrintable(decoded.errors);
        }
        // Once a double pass has moved its pieces into VANTOLA, running it again cuts those
        // pieces once more (the second pass takes every .jpg it finds there), as any second run
        // of a double-pass job does: only runs killed before that point must come out equal.
        const bool secondPassInPlace =
            !QDir(work.output()).entryList({"*.jpg-????.jpg-????.jpg"}).isEmpty();
        ASSERT_EQ(work.run(), 0);
        if (secondPassInPlace)
            continue;
        const auto contents = folderContents(work.output(), work.source());
        EXPECT_EQ(contents.keys(), expected.keys());
        EXPECT_TRUE(contents == expected);
        EXPECT_EQ(QDir(work.source()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                  QStringList{"VANTOLA"});
    }
}

INSTANTIATE_TEST_SUITE_P(SingleAndDoublePass, InterruptedJob, ::testing::Bool());

} // namespace
} // namespace vantola::test
