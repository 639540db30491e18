#include "settings/folder_listing.h"

#include "settings/file_names.h"
#include "settings/ini_text_codec.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace vantola {

namespace {

// Length of the run of digits starting at position i.
qsizetype digitRunLength(const QString& text, qsizetype i) {
    qsizetype end = i;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    return end - i;
}

// Compares two digit runs by value: leading zeros are skipped, then the longer run is larger,
// then the digits decide. Returns <0, 0 or >0.
int compareDigitRuns(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.mid(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int naturalCompare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QChar ca = a.at(i);
        const QChar cb = b.at(j);
        if (ca.isDigit() && cb.isDigit()) {
            const qsizetype la = digitRunLength(a, i);
            const qsizetype lb = digitRunLength(b, j);
            const int order =
                compareDigitRuns(QStringView(a).mid(i, la), QStringView(b).mid(j, lb));
            if (order != 0)
                return order;
            i += la;
            j += lb;
            continue;
        }
        const QChar la = ca.toCaseFolded();
        const QChar lb = cb.toCaseFolded();
        if (la != lb)
            return la < lb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

bool naturalNameLess(const QString& a, const QString& b) {
    const int order = naturalCompare(a, b);
    if (order != 0)
        return order < 0;
    return a < b;
}

QStringList listFileNames(const QString& folder, QStringList* shadowed) {
    // The folder's entries as bytes: Qt would read a name that is not valid UTF-8 into one that
    // no longer leads to the file.
    DIR* dir = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder));
    if (!dir)
        return {};
    QSet<QString> utf8Names; // of every entry, folders too
    QStringList names;
    QStringList otherNames;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        const QString name = fileNameText(bytes);
        const bool utf8 = isValidUtf8(bytes);
        if (utf8)
            utf8Names.insert(name);
        // Anything but a folder (a link followed): links that lead nowhere, pipes and devices too.
        struct stat status;
        if (::fstatat(::dirfd(dir), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode))
            continue;
        (utf8 ? names : otherNames) << name;
    }
    ::closedir(dir);
    // A name that is not UTF-8 leads to its file only where no UTF-8 name reads the same.
    for (const QString& name : otherNames) {
        if (!utf8Names.contains(name))
            names << name;
        else if (shadowed)
            *shadowed << name;
    }
    std::sort(names.begin(), names.end(), naturalNameLess);
    if (shadowed)
        std::sort(shadowed->begin(), shadowed->end(), naturalNameLess);
    return names;
}

QStringList listJpegPages(const QString& folder, QStringList* shadowed) {
    const auto notJpeg = [](const QString& name) {
        return !name.right(4).toUpper().endsWith(QLatin1String(".JPG"));
    };
    QStringList pages = listFileNames(folder, shadowed);
    pages.removeIf(notJpeg);
    if (shadowed)
        shadowed->removeIf(notJpeg);
    return pages;
}

QStringList listFolderPages(const QString& folder, QStringList* shadowed) {
    const QString base = folder.isEmpty() ? QStringLiteral("./") : folder;
    if (!QFile::exists(base + QLatin1String(kExtractedFolderMarker)))
        return listJpegPages(folder, shadowed);
    const auto hidden = [](const QString& name) { return name.startsWith(QLatin1Char('.')); };
    QStringList pages = listFileNames(folder, shadowed);
    pages.removeIf(hidden);
    if (shadowed)
        shadowed->removeIf(hidden);
    return pages;
}

} // namespace vantola
