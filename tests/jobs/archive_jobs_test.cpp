// Comic-book archives cut through the real binary: each format that bsdtar writes, pages of
// several picture types in the natural order of their paths, and hostile archives that fail
// safely without touching anything outside their new folder.
#include "support/job_fixture.h"
#include "support/qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// The archive alone in the source folder, the files it is made of in "src/" beside that folder.
class ArchiveBook : public JobFixture {
public:
    // "pN.EXT": a comic page (seed N) saved as EXT; "zerosN": N MiB of zeros.
    QString sourceFile(const QString& key) {
        const QString path = source() + "../src/" + key;
        QDir().mkpath(source() + "../src");
        const bool written =
            key.startsWith("zeros")
                ? writeFileBytes(path, QByteArray(key.mid(5).toInt() << 20, '\0'))
                : QFile::exists(path) ||
                      comicPage(key.section('.', 0, 0).mid(1).toUInt()).save(path, nullptr, 95);
        EXPECT_TRUE(written) << path.toStdString();
        return path;
    }

    // Writes NAME with bsdtar from "ENTRY KEY" items split by ", " (ENTRY with mtree escapes, KEY
    // "link" for a link to /etc/passwd), in the C locale so that names stay the bytes given.
    QString writeArchive(const QString& name, const QString& format, const QString& entries) {
        QString mtree = "#mtree\n";
        for (const QString& entry : entries.split(", ")) {
            const QString key = entry.section(' ', 1);
            mtree += entry.section(' ', 0, 0) +
                     (key == "link" ? " type=link link=/etc/passwd\n"
                                    : " type=file contents=" + sourceFile(key) + "\n");
        }
        EXPECT_TRUE(writeFileBytes(source() + "../src/mtree", mtree.toUtf8()));
        const ProcessResult made =
            runProgram("bsdtar",
                       QStringList{"-cPf", file(name), "--format"} + format.split(' ') +
                           QStringList{"@" + source() + "../src/mtree"},
                       120000, {"LC_ALL=C"});
        EXPECT_EQ(made.status, 0) << made.err.toStdString();
        return file(name);
    }
};

struct ArchiveCase {
    const char* archive;
    const char* format; // bsdtar's --format, then its other options
    QString entries;
    std::function<void(QByteArray&, ArchiveBook&)> damage; // to the archive's bytes
    int status;
    QString folder;   // the new folder ("BOOK (2)": a file BOOK is there first); "" refused
    QString pages;    // in it, separated by spaces
    const char* told; // on stdout, on stderr or in the job's log
};

TEST(ArchiveJob, FormatsPictureTypesAndHostileArchives) {
    // Written out of order, with a file that is no picture: the pages follow the paths.
    const QString book = "ch1/p10.png p4.png, ch1/ComicInfo.xml zeros1, ch1/p2.webp p2.webp, "
                         "ch1/p1.jpg p1.jpg, ch1/p3.bmp p3.bmp";
    const char* bookPages = "0001-p1.jpg 0002-p2.webp 0003-p3.bmp 0004-p10.png";
    const char* allCut = "24 pieces written, 0 pages failed";
    // Paths that leave the folder, a link, names alike, names in CP437 and in UTF-8, a name too
    // long for the disk.
    const QString evil = "../x.jpg p1.jpg, Xetc/y.jpg p1.jpg, C__win_z.jpg p1.jpg, a/p.jpg p2.jpg, "
                         "b/p.jpg p3.jpg, link.jpg link, caf\\202.jpg p1.jpg, D:w.jpg p1.jpg, "
                         "\\303\\251t\\303\\251.jpg p1.jpg, " +
                         QString("\\303\\251").repeated(130) + ".jpg p1.jpg";
    const QString evilPages = "0001-x.jpg 0002-y.jpg 0003-p.jpg 0004-p.jpg 0005-z.jpg "
                              "0006-café.jpg 0007-w.jpg 0008-été.jpg 0009-" +
                              QString("é").repeated(60) + ".jpg";
    // Names that leave the folder: the archive's own bytes, as no archive writer writes them.
    const auto leaving = [](QByteArray& zip, ArchiveBook&) {
        zip.replace("Xetc/y.jpg", "/etc/y.jpg").replace("C__win_z.jpg", "C:\\win\\z.jpg");
    };
    // p2's bytes damaged; p3 marked encrypted in its local and central headers, whose flags are
    // 24 and 38 bytes before its name.
    const auto damaged = [](QByteArray& zip, ArchiveBook& book) {
        const qsizetype page2 = zip.indexOf(readFileBytes(book.sourceFile("p2.jpg")));
        ASSERT_GE(page2, 0);
        zip[page2 + 5000] = char(~zip[page2 + 5000]);
        for (const qsizetype flags : {zip.indexOf("p3.jpg") - 24, zip.lastIndexOf("p3.jpg") - 38})
            zip[flags] = char(zip[flags] | 1);
    };
    // A bomb whose headers claim 1000 bytes: what comes out is counted as it comes.
    const auto understated = [](QByteArray& zip, ArchiveBook&) {
        for (const qsizetype size : {zip.indexOf("bomb.png") - 8, zip.lastIndexOf("bomb.png") - 22})
            qToLittleEndian<quint32>(1000, zip.data() + size);
    };
    const auto budget1MiB = [](QByteArray&, ArchiveBook& book) {
        book.setParam("ARCHIVE_TAILLE_MAX", "1");
    };
    const auto noArchive = [](QByteArray& zip, ArchiveBook&) { zip = "not an archive"; };
    const char* bomb = "p1.jpg p1.jpg, bomb.png zeros32";
    const std::vector<ArchiveCase> rows{
        {"BOOK.cbz", "zip", book, nullptr, 0, "BOOK", bookPages, allCut},
        {"BOOK.ZIP", "zip", book, nullptr, 0, "BOOK (2)", bookPages, allCut},
        {"BOOK.cbt", "pax", book, nullptr, 0, "BOOK", bookPages, allCut},
        {"BOOK.tar", "ustar", book, nullptr, 0, "BOOK (2)", bookPages, allCut},
        {"BOOK.cb7", "7zip", book, nullptr, 0, "BOOK", bookPages, allCut},
        {"evil.cbz", "zip", evil, leaving, 1, "evil", evilPages,
         "link.jpg (lien ou fichier spécial, non suivi)"},
        {"evil.cbz", "zip --options zip:compression=store",
         "p1.jpg p1.jpg, p2.jpg p2.jpg, p3.jpg p3.jpg, p4.jpg p4.jpg", damaged, 1, "evil",
         "0001-p1.jpg 0002-p4.jpg", "12 pieces written, 2 pages failed"},
        {"bomb.cbz", "zip", bomb, nullptr, 2, "", "", "dépasse"},
        {"lie.cbz", "zip", bomb, understated, 2, "", "", "dépasse"},
        {"big.cbt", "ustar", "p1.jpg p1.jpg, big.jpg zeros2", budget1MiB, 2, "", "",
         "dépasse 1.0 Mio"},
        {"none.cbz", "zip", "p1.jpg p1.jpg", noArchive, 2, "", "", "L'archive"},
    };
    for (const ArchiveCase& row : rows) {
        SCOPED_TRACE((row.archive + row.folder).toStdString());
        ArchiveBook book;
        const QString archive = book.writeArchive(row.archive, row.format, row.entries);
        QByteArray bytes = readFileBytes(archive);
        if (row.damage)
            row.damage(bytes, book);
        ASSERT_TRUE(writeFileBytes(archive, bytes));
        const bool nameTaken = row.folder.endsWith(" (2)");
        if (nameTaken) {
            ASSERT_TRUE(writeFileBytes(book.file("BOOK"), "mine"));
        }

        // Where the folder's name is taken, the panel book still bears the archive's name.
        const ProcessResult run =
            book.cutWithVantola(archive, nameTaken ? QStringList{"--cbz"} : QStringList{});

        EXPECT_EQ(run.status, row.status) << run.err.toStdString();
        EXPECT_EQ(readFileBytes(archive), bytes);
        const QString folder = book.file(row.folder + "/");
        EXPECT_EQ(row.folder.isEmpty() ? QStringList{} : fileNames(folder),
                  row.pages.split(' ', Qt::SkipEmptyParts));
        // Nothing else came beside the archive: no page outside its folder, no work folder.
        QStringList beside{row.archive, row.folder, nameTaken ? "BOOK" : ""};
        beside.removeAll("");
        beside.sort();
        EXPECT_EQ(
            QDir(book.source())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                           QDir::Name),
            beside);
        if (nameTaken) {
            EXPECT_EQ(readFileBytes(book.file("BOOK")), "mine");
            EXPECT_TRUE(QFileInfo::exists(folder + "VANTOLA/BOOK.cbz"));
        }
        const QString told =
            run.out + run.err + textFileLines(folder + "VANTOLA/log.txt").join('\n');
        EXPECT_TRUE(told.contains(row.told)) << told.toStdString();
    }
}

// tests/data/book.cbr holds p1.pgm, a plain-text page of two panels, stored as `rar a -m0` stores
// it: no RAR writer is packaged for Debian, so its RAR 4 headers were written once by a script.
TEST(ArchiveJob, RarIsRead) {
    ArchiveBook book;
    const QString archive = book.file("BOOK.cbr");
    ASSERT_TRUE(QFile::copy(VANTOLA_SOURCE_DIR "/tests/data/book.cbr", archive));
    const QByteArray bytes = readFileBytes(archive);
    const ProcessResult run = book.cutWithVantola(archive);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(fileNames(book.file("BOOK/")), QStringList({"0001-p1.pgm"}));
    // The page's bytes follow the mark (7 bytes), the main (13) and the file header (38).
    EXPECT_EQ(readFileBytes(book.file("BOOK/0001-p1.pgm")), bytes.mid(58, bytes.size() - 65));
    EXPECT_EQ(readFileBytes(archive), bytes);
}

} // namespace
} // namespace vantola::test
