// Comic-book archives cut through the real binary: each format that bsdtar writes, pages of
// several picture types in the natural order of their paths, and hostile archives that fail
// safely without touching anything outside their new folder.
#include "support/job_fixture.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// Every entry of a folder, hidden ones too, in name order.
QStringList everything(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

// An archive and the place it sits in; sources are written under "src/", outside the archive's
// folder "books/".
class ArchiveBook : public JobFixture {
public:
    QString books() const { return root_.file("books/"); }

    // A source file for an entry: "pN.EXT" a comic page (seed N) saved as EXT, "zerosN" N MiB of
    // zero bytes, "link" nothing (the entry is a link to /etc/passwd).
    QString sourceFile(const QString& key) {
        const QString path = root_.file("src/" + key);
        if (key == "link" || QFile::exists(path))
            return path;
        QDir().mkpath(root_.file("src"));
        if (key.startsWith("zeros"))
            EXPECT_TRUE(writeFileBytes(path, QByteArray(key.mid(5).toInt() << 20, '\0')));
        else
            EXPECT_TRUE(
                comicPage(key.mid(1, key.indexOf('.') - 1).toUInt()).save(path, nullptr, 95));
        return path;
    }

    // Writes books/NAME with bsdtar from an mtree list of (entry name with mtree escapes, source
    // key), in the C locale so that names stay the bytes given.
    QString writeArchive(const QString& name, const QString& format,
                         const QList<std::pair<QString, QString>>& entries,
                         const QStringList& options = {}) {
        QString spec = "#mtree\n";
        for (const auto& [entry, key] : entries)
            spec += entry + (key == "link" ? " type=link link=/etc/passwd\n"
                                           : " type=file contents=" + sourceFile(key) + "\n");
        const QString specFile = root_.file("src/spec.mtree");
        QDir().mkpath(books());
        EXPECT_TRUE(writeFileBytes(specFile, spec.toUtf8()));
        const ProcessResult made =
            runProgram("bsdtar",
                       QStringList{"-cPf", books() + name, "--format", format} + options +
                           QStringList{"@" + specFile},
                       120000, {"LC_ALL=C"});
        EXPECT_EQ(made.status, 0) << made.err.toStdString();
        return books() + name;
    }

private:
    TempFolder root_;
};

struct FormatCase {
    const char* archive;
    const char* format; // bsdtar's --format
    const char* folder; // where the pages go: "BOOK (2)" when a file named BOOK is there first
};

TEST(ArchiveJob, EachFormatCutsItsPicturesInPathOrder) {
    for (const FormatCase& row :
         {FormatCase{"BOOK.cbz", "zip", "BOOK"}, FormatCase{"BOOK.ZIP", "zip", "BOOK (2)"},
          FormatCase{"BOOK.cbt", "pax", "BOOK"}, FormatCase{"BOOK.tar", "ustar", "BOOK (2)"},
          FormatCase{"BOOK.cb7", "7zip", "BOOK"}}) {
        SCOPED_TRACE(row.archive);
        ArchiveBook book;
        // Written out of order, with a file that is no picture: the pages follow the paths.
        const QString archive = book.writeArchive(row.archive, row.format,
                                                  {{"ch1/p10.png", "p4.png"},
                                                   {"ch1/ComicInfo.xml", "zeros1"},
                                                   {"ch1/p2.webp", "p2.webp"},
                                                   {"ch1/p1.jpg", "p1.jpg"},
                                                   {"ch1/p3.bmp", "p3.bmp"}});
        const bool nameTaken = QString(row.folder) != "BOOK";
        if (nameTaken) {
            ASSERT_TRUE(writeFileBytes(book.books() + "BOOK", "mine"));
        }
        const QByteArray before = readFileBytes(archive);

        const ProcessResult run = book.cutWithVantola(archive);

        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const QString folder = book.books() + row.folder + "/";
        EXPECT_EQ(run.out, "24 pieces written, 0 pages failed, output: " + folder + "VANTOLA/\n");
        EXPECT_EQ(fileNames(folder),
                  QStringList({"0001-p1.jpg", "0002-p2.webp", "0003-p3.bmp", "0004-p10.png"}));
        EXPECT_EQ(fileNames(folder + "VANTOLA/", "0004-p10.png-*.jpg").size(), 6);
        EXPECT_EQ(readFileBytes(archive), before);
        if (nameTaken) {
            EXPECT_EQ(readFileBytes(book.books() + "BOOK"), "mine");
        }
    }
}

TEST(ArchiveJob, RarIsReadWhenRarCanWriteOne) {
    if (QStandardPaths::findExecutable("rar").isEmpty())
        GTEST_SKIP() << "no rar program to write a RAR archive: CBR reading is not tested";
    ArchiveBook book;
    const QString page = book.sourceFile("p1.jpg");
    const QString archive = book.books() + "BOOK.cbr";
    QDir().mkpath(book.books());
    ASSERT_EQ(runProgram("rar", {"a", "-ep", archive, page}).status, 0);
    const ProcessResult run = book.cutWithVantola(archive);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(fileNames(book.books() + "BOOK/"), QStringList({"0001-p1.jpg"}));
}

// Sets the "encrypted" bit of a ZIP's n-th entry (from 0), in its local and central headers.
void markEncrypted(QByteArray& zip, int n) {
    for (const auto& [signature, flags] : {std::pair<QByteArray, int>{"PK\x03\x04", 6},
                                           std::pair<QByteArray, int>{"PK\x01\x02", 8}}) {
        qsizetype at = -1;
        for (int k = 0; k <= n; ++k)
            at = zip.indexOf(signature, at + 1);
        ASSERT_GE(at, 0);
        zip[at + flags] = char(zip[at + flags] | 1);
    }
}

struct HostileCase {
    const char* what;
    const char* format;
    QList<std::pair<QString, QString>> entries;
    std::function<void(QByteArray&, ArchiveBook&)> damage; // applied to the archive's bytes
    int status;
    QStringList pages;     // the new folder "evil/"; none when the archive is refused
    const char* said;      // in the job's log, or on stderr when refused
    const char* budgetMiB; // ARCHIVE_TAILLE_MAX, or null
    bool stored = false;   // entries stored as they are, not compressed
};

TEST(ArchiveJob, HostileArchivesFailSafely) {
    const auto noDamage = [](QByteArray&, ArchiveBook&) {};
    const std::vector<HostileCase> rows{
        {"paths that leave the folder, links, names alike, names in CP437 and UTF-8",
         "zip",
         {{"../x.jpg", "p1.jpg"},
          {"Xetc/y.jpg", "p1.jpg"},
          {"C__win_z.jpg", "p1.jpg"},
          {"a/p.jpg", "p2.jpg"},
          {"b/p.jpg", "p3.jpg"},
          {"link.jpg", "link"},
          {"caf\\202.jpg", "p1.jpg"},
          {"D:w.jpg", "p1.jpg"},
          {"\\303\\251t\\303\\251.jpg", "p1.jpg"}},
         [](QByteArray& zip, ArchiveBook&) {
             zip.replace("Xetc/y.jpg", "/etc/y.jpg").replace("C__win_z.jpg", "C:\\win\\z.jpg");
         },
         1,
         {"0001-x.jpg", "0002-y.jpg", "0003-p.jpg", "0004-p.jpg", "0005-z.jpg", "0006-café.jpg",
          "0007-w.jpg", "0008-été.jpg"},
         "link.jpg (lien, non suivi)",
         nullptr},
        {"a damaged entry and an encrypted one",
         "zip",
         {{"p1.jpg", "p1.jpg"}, {"p2.jpg", "p2.jpg"}, {"p3.jpg", "p3.jpg"}, {"p4.jpg", "p4.jpg"}},
         [](QByteArray& zip, ArchiveBook& book) {
             const qsizetype page2 = zip.indexOf(readFileBytes(book.sourceFile("p2.jpg")));
             ASSERT_GE(page2, 0);
             zip[page2 + 5000] = char(~zip[page2 + 5000]);
             markEncrypted(zip, 2);
         },
         1,
         {"0001-p1.jpg", "0002-p4.jpg"},
         "p3.jpg (entrée chiffrée)",
         nullptr,
         true},
        {"a zip bomb",
         "zip",
         {{"p1.jpg", "p1.jpg"}, {"bomb.png", "zeros32"}},
         noDamage,
         2,
         {},
         "dépasse",
         nullptr},
        {"a budget from param.ini",
         "ustar",
         {{"p1.jpg", "p1.jpg"}, {"big.jpg", "zeros2"}},
         noDamage,
         2,
         {},
         "dépasse 1.0 Mio",
         "1"},
        {"no archive at all",
         "zip",
         {{"p1.jpg", "p1.jpg"}},
         [](QByteArray& zip, ArchiveBook&) { zip = "not an archive"; },
         2,
         {},
         "L'archive",
         nullptr},
    };
    for (const HostileCase& row : rows) {
        SCOPED_TRACE(row.what);
        ArchiveBook book;
        const QString archive = book.writeArchive(
            "evil.cbz", row.format, row.entries,
            row.stored ? QStringList{"--options", "zip:compression=store"} : QStringList{});
        QByteArray bytes = readFileBytes(archive);
        row.damage(bytes, book);
        ASSERT_TRUE(writeFileBytes(archive, bytes));
        if (row.budgetMiB)
            book.setParam("ARCHIVE_TAILLE_MAX", row.budgetMiB);

        const ProcessResult run = book.cutWithVantola(archive);

        EXPECT_EQ(run.status, row.status) << run.err.toStdString();
        EXPECT_EQ(readFileBytes(archive), bytes);
        const QString folder = book.books() + "evil/";
        EXPECT_EQ(fileNames(folder), row.pages);
        if (row.pages.isEmpty()) {
            EXPECT_TRUE(run.err.contains(row.said)) << run.err.toStdString();
            EXPECT_EQ(everything(book.books()), QStringList({"evil.cbz"}));
            continue;
        }
        EXPECT_EQ(everything(book.books()), QStringList({"evil", "evil.cbz"}));
        const QString log = textFileLines(folder + "VANTOLA/log.txt").join('\n');
        EXPECT_TRUE(log.contains(row.said)) << log.toStdString();
    }
}

} // namespace
} // namespace vantola::test
