// Extracts the pictures of a comic-book archive with libarchive into a new folder that a folder
// job then cuts: entry names made safe, links skipped, a size budget, failed entries logged.
#include "cutting/archive_pages.h"

#include "cutting/memory_budget.h"
#include "settings/app_error.h"
#include "settings/atomic_file.h"
#include "settings/cls_initreg.h"
#include "settings/folder_listing.h"
#include "settings/ini_text_codec.h"
#include "settings/number_text.h"
#include "settings/program_folder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <numeric>
#include <unistd.h>
#include <vector>

namespace vantola {

namespace {

constexpr qint64 kBudgetTimesArchive = 20;
constexpr qint64 kLargestDefaultBudget = 4096 * kMebibyte;
constexpr int kMostRetries = 100;
// UTF-16 units kept of an entry's name before its suffix: at most 180 bytes in UTF-8, so that the
// page's name stays under the file system's 255 bytes.
constexpr qsizetype kLongestBaseName = 60;

// Code page 437 from 0x80 to 0xFF: the names of ZIP entries not marked UTF-8.
const QString kCp437High = QStringLiteral(
    "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌"
    "█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0");

struct ArchiveCloser {
    void operator()(archive* reader) const { archive_read_free(reader); }
};

// The entry's path as its archive means it: UTF-8 when libarchive or the bytes say so, else
// code page 437.
QString entryPath(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    const char* raw = archive_entry_pathname(entry);
    const QByteArrayView bytes(raw ? raw : "");
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString text;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text += code < 0x80 ? QChar(code) : kCp437High.at(code - 0x80);
    }
    return text;
}

// The last part of an entry's path, without drive letter or control characters, kept short: the
// only part of the path that reaches the disk.
QString pageBaseName(const QString& path) {
    QString name = path.mid(
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter())
        name.remove(0, 2);
    name.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > kLongestBaseName) {
        // A character in two UTF-16 units is kept whole or not at all.
        const qsizetype keep = kLongestBaseName - (name.at(kLongestBaseName - 1).isHighSurrogate());
        name.remove(keep, dot - keep);
    }
    return name;
}

bool isPictureName(const QString& name) {
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && formats.contains(name.mid(dot + 1).toLower().toUtf8());
}

// A folder of this process beside the archive, where the pages are written before they appear.
class WorkFolder {
public:
    explicit WorkFolder(const QString& parent) {
        static std::atomic<int> counter{0};
        path_ =
            parent + QStringLiteral(".vantola-extraction-%1-%2/").arg(::getpid()).arg(++counter);
        made_ = ::mkdir(QFile::encodeName(path_), 0777) == 0;
        error_ = made_ ? 0 : errno;
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    // What is left of the folder when it was not placed: only files this process wrote.
    ~WorkFolder() {
        if (!made_)
            return;
        for (const QString& name : listFileNames(path_))
            (void)::unlink(QFile::encodeName(path_ + name)); // what stays is told by rmdir
        (void)::rmdir(QFile::encodeName(path_)); // a leftover hidden folder harms nothing
    }
    bool made() const { return made_; }
    int error() const { return error_; }
    const QString& path() const { return path_; }
    // Renames the folder to `target`, never over anything that bears that name.
    int placeAs(const QString& target) {
        const QByteArray from = QFile::encodeName(path_.chopped(1));
        const QByteArray to = QFile::encodeName(target);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
            0) {
            made_ = false;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system without RENAME_NOREPLACE: the name was free a moment ago.
        if (pathExists(target))
            return EEXIST;
        if (::rename(from.constData(), to.constData()) != 0)
            return errno;
        made_ = false;
        return 0;
    }

private:
    QString path_;
    bool made_ = false;
    int error_ = 0;
};

// How writing one entry went.
struct EntryWrite {
    QString failure;         // why the entry's data could not be read: its page fails
    QString diskFailure;     // why the file could not be written: the extraction stops
    bool overBudget = false; // the pages together passed the budget: the extraction stops
};

// Writes the entry's data to a new file; `written` counts the bytes of every page.
EntryWrite writeEntry(archive* reader, const QString& file, qint64 budget, qint64& written) {
    EntryWrite result;
    const int fd =
        ::open(QFile::encodeName(file), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        result.diskFailure = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const la_ssize_t size = archive_read_data(reader, buffer.data(), buffer.size());
        if (size == 0)
            break;
        if (size < 0) {
            result.failure = QString::fromUtf8(archive_error_string(reader));
            break;
        }
        written += size;
        if (written > budget) {
            result.overBudget = true;
            break;
        }
        errno = 0;
        if (::write(fd, buffer.data(), std::size_t(size)) != size) {
            result.diskFailure = QString::fromLocal8Bit(std::strerror(errno ? errno : ENOSPC));
            break;
        }
    }
    if (::close(fd) != 0 && result.diskFailure.isEmpty())
        result.diskFailure = QString::fromLocal8Bit(std::strerror(errno));
    if (!result.failure.isEmpty() || !result.diskFailure.isEmpty() || result.overBudget)
        (void)::unlink(QFile::encodeName(file)); // the page failed or the folder goes
    return result;
}

struct Page {
    QString path;      // inside the archive
    QString name;      // its last part
    QString temporary; // where it was written
};

// Names the pages by their place in the natural order of their paths, and writes the marker.
QString namePages(std::vector<Page>& pages, const QString& folder, const QString& archive) {
    std::stable_sort(pages.begin(), pages.end(),
                     [](const Page& a, const Page& b) { return naturalNameLess(a.path, b.path); });
    const int width = std::max(4, int(QString::number(pages.size()).size()));
    QString marker = QStringLiteral("Pages extraites de %1\n").arg(archive);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const QString name =
            QStringLiteral("%1-%2").arg(k + 1, width, 10, QLatin1Char('0')).arg(pages[k].name);
        if (::rename(QFile::encodeName(pages[k].temporary), QFile::encodeName(folder + name)) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        marker += name + QLatin1Char('\t') + pages[k].path + QLatin1Char('\n');
    }
    const QByteArray bytes = marker.toUtf8();
    const int error =
        writeFileWhole(folder + QLatin1String(kExtractedFolderMarker), bytes.constData(),
                       std::size_t(bytes.size()), ExistingTarget::Keep);
    return error == 0 ? QString() : QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool isComicArchive(const QString& path) {
    static const QStringList suffixes{
        QStringLiteral("cbz"), QStringLiteral("zip"), QStringLiteral("cbr"), QStringLiteral("rar"),
        QStringLiteral("cb7"), QStringLiteral("7z"),  QStringLiteral("cbt"), QStringLiteral("tar")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

qint64 archiveBudgetSetting(const QString& paramFile, qint64 archiveSize) {
    QString text;
    try {
        text = Cls_InitREG().IniLire(kParamSection, QStringLiteral("ARCHIVE_TAILLE_MAX"), QString(),
                                     paramFile);
    } catch (const AppError&) {
        // An unreadable param.ini leaves the default.
    }
    const std::optional<qint32> mebibytes = numberFromText<qint32>(text);
    if (mebibytes && *mebibytes >= 1)
        return *mebibytes * kMebibyte;
    return std::min(archiveSize * kBudgetTimesArchive, kLargestDefaultBudget);
}

ArchivePages extractArchivePages(const QString& archivePath, qint64 budget) {
    ArchivePages result;
    const QFileInfo info(archivePath);
    const std::unique_ptr<archive, ArchiveCloser> reader(archive_read_new());
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_all(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(),
                                   64 * 1024) != ARCHIVE_OK) {
        result.error =
            QCoreApplication::translate("vantola::ArchivePages", "L'archive %1 ne s'ouvre pas : %2")
                .arg(archivePath, QString::fromUtf8(archive_error_string(reader.get())));
        return result;
    }
    const QString parent = withTrailingSeparator(info.absolutePath());
    WorkFolder work(parent);
    if (!work.made()) {
        result.error =
            QCoreApplication::translate("vantola::ArchivePages",
                                        "Les pages de l'archive ne peuvent pas être écrites dans "
                                        "%1 : %2")
                .arg(parent, QString::fromLocal8Bit(std::strerror(work.error())));
        return result;
    }

    std::vector<Page> pages;
    qint64 written = 0;
    int retries = 0;
    const auto fail = [&](const QString& path, const QString& why) {
        result.failures
            << QStringLiteral("Page non extraite de %1 : %2 (%3)").arg(archivePath, path, why);
    };
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        // On RETRY the reader skipped what it could not read and tries the next header.
        const bool retry = status == ARCHIVE_RETRY;
        if (retry && ++retries < kMostRetries)
            continue;
        if (retry || status < ARCHIVE_WARN) {
            const QString why = QString::fromUtf8(archive_error_string(reader.get()));
            if (pages.empty() && result.failures.isEmpty()) {
                result.error = QCoreApplication::translate("vantola::ArchivePages",
                                                           "L'archive %1 est illisible : %2")
                                   .arg(archivePath, why);
                return result;
            }
            fail(QStringLiteral("les entrées qui suivent"), why);
            break;
        }
        const QString path = entryPath(entry);
        const QString name = pageBaseName(path);
        if (!isPictureName(name) || archive_entry_filetype(entry) == AE_IFDIR)
            continue; // folders, text files, the book's description
        if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) != nullptr) {
            fail(path, QStringLiteral("lien ou fichier spécial, non suivi"));
            continue;
        }
        if (archive_entry_is_encrypted(entry)) {
            fail(path, QStringLiteral("entrée chiffrée"));
            continue;
        }
        const QString temporary = work.path() + QString::number(pages.size());
        EntryWrite write;
        write.overBudget =
            archive_entry_size_is_set(entry) && written + archive_entry_size(entry) > budget;
        if (!write.overBudget)
            write = writeEntry(reader.get(), temporary, budget, written);
        if (write.overBudget) {
            result.error =
                QCoreApplication::translate("vantola::ArchivePages",
                                            "L'archive %1 dépasse %2 Mio une fois décompressée : "
                                            "rien n'a été extrait (clé ARCHIVE_TAILLE_MAX de "
                                            "param.ini).")
                    .arg(archivePath)
                    .arg(double(budget) / double(kMebibyte), 0, 'f', 1);
            return result;
        }
        if (!write.diskFailure.isEmpty()) {
            result.error =
                QCoreApplication::translate("vantola::ArchivePages",
                                            "Les pages de l'archive ne peuvent pas être écrites "
                                            "dans %1 : %2")
                    .arg(parent, write.diskFailure);
            return result;
        }
        if (!write.failure.isEmpty()) {
            fail(path, write.failure);
            continue;
        }
        pages.push_back({path, name, temporary});
    }
    if (pages.empty()) {
        result.error = QCoreApplication::translate("vantola::ArchivePages",
                                                   "L'archive %1 ne contient aucune image lisible.")
                           .arg(archivePath);
        if (!result.failures.isEmpty())
            result.error += QLatin1Char('\n') + result.failures.join(QLatin1Char('\n'));
        result.failures.clear();
        return result;
    }
    QString problem = namePages(pages, work.path(), archivePath);
    const QString base =
        info.completeBaseName().isEmpty() ? QStringLiteral("archive") : info.completeBaseName();
    for (int n = 1; problem.isEmpty(); ++n) {
        const QString target =
            parent + base + (n == 1 ? QString() : QStringLiteral(" (%1)").arg(n));
        const int error = work.placeAs(target);
        if (error == 0) {
            result.folder = withTrailingSeparator(target);
            return result;
        }
        if (error != EEXIST && error != ENOTEMPTY)
            problem = QString::fromLocal8Bit(std::strerror(error));
    }
    result.error =
        QCoreApplication::translate("vantola::ArchivePages",
                                    "Les pages de l'archive %1 ne peuvent pas être placées dans "
                                    "%2 : %3")
            .arg(archivePath, parent, problem);
    result.failures.clear();
    return result;
}

} // namespace vantola
