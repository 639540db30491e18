#include "settings/folder_listing.h"

#include <QDir>
#include <algorithm>

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

QStringList listFileNames(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    std::sort(names.begin(), names.end(), naturalNameLess);
    return names;
}

QStringList listJpegPages(const QString& folder) {
    QStringList pages;
    for (const QString& name : listFileNames(folder)) {
        if (name.right(4).toUpper().endsWith(QLatin1String(".JPG")))
            pages << name;
    }
    return pages;
}

} // namespace vantola
