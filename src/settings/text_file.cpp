#include "settings/text_file.h"

#include "settings/atomic_file.h"

#include <QFile>

namespace vantola {

namespace {

QByteArray joinLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += kLineEnd;
    }
    return bytes;
}

bool writeWithMode(const QString& path, const QStringList& lines, QIODevice::OpenMode mode) {
    QFile file(path);
    if (!file.open(mode))
        return false;
    const QByteArray bytes = joinLines(lines);
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

bool writeTextLines(const QString& path, const QStringList& lines) {
    return writeWithMode(path, lines, QIODevice::WriteOnly | QIODevice::Truncate);
}

bool appendTextLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    // Unbuffered, so that what a full disk refuses is known at once and can be taken back.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 before = file.size();
    const QByteArray bytes = joinLines(lines);
    if (file.write(bytes) == bytes.size() && file.flush())
        return true;
    // A line cut short by a full disk would run into the next one: only whole lines stay.
    file.resize(before);
    return false;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeFileWhole(path, bytes.constData(), std::size_t(bytes.size()),
                          ExistingTarget::ReplaceWritable) == 0;
}

bool copyFileAtomically(const QString& source, const QString& target) {
    return copyFileWhole(source, target, ExistingTarget::Replace) == 0;
}

} // namespace vantola
