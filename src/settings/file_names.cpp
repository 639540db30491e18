#include "settings/file_names.h"

#include "settings/ini_text_codec.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

QString fileNameText(QByteArrayView name) {
    // The reading of a settings line keeps a leading U+FEFF, which QFile::encodeName gives back.
    return decodeSettingsLine(name);
}

QString pathText(QByteArrayView path) {
    QString text;
    qsizetype start = 0;
    while (true) {
        const qsizetype separator = path.indexOf('/', start);
        const qsizetype end = separator < 0 ? path.size() : separator;
        text += fileNameText(path.sliced(start, end - start));
        if (separator < 0)
            return text;
        text += QLatin1Char('/');
        start = separator + 1;
    }
}

QByteArray pathBytes(const QString& path) {
    const QByteArray utf8 = QFile::encodeName(path);
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const QStringView name = QStringView(path).sliced(nameStart);
    // Only a name with characters beyond ASCII can stand for other bytes than its UTF-8 ones.
    if (std::all_of(name.begin(), name.end(), [](QChar ch) { return ch.unicode() < 0x80; }))
        return utf8;
    const QByteArray windows = encodeWindows1252(name);
    if (isValidUtf8(windows) || decodeWindows1252(windows) != name)
        return utf8;
    struct stat status;
    if (::lstat(utf8.constData(), &status) == 0)
        return utf8;
    return QFile::encodeName(path.left(nameStart)) + windows;
}

bool fileExists(const QString& path) {
    struct stat status;
    return ::stat(pathBytes(path).constData(), &status) == 0;
}

int openRegularFile(const QByteArray& pathBytes, struct stat* status) {
    const int descriptor = ::open(pathBytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat own {};
    struct stat& info = status ? *status : own;
    const int error =
        ::fstat(descriptor, &info) != 0 ? errno : (S_ISREG(info.st_mode) ? 0 : EINVAL);
    if (error == 0)
        return descriptor;
    ::close(descriptor);
    errno = error;
    return -1;
}

bool isRegularFile(const QString& path) {
    struct stat status;
    return ::stat(pathBytes(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace vantola
