#include "settings/text_file.h"

#include <QFile>
#include <QSaveFile>

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
    return writeWithMode(path, lines, QIODevice::WriteOnly | QIODevice::Append);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool copyFileAtomically(const QString& source, const QString& target) {
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    QSaveFile output(target);
    output.setDirectWriteFallback(false);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 count = input.read(buffer, sizeof buffer);
        if (count < 0) {
            output.cancelWriting();
            return false;
        }
        if (count == 0)
            break;
        if (output.write(buffer, count) != count) {
            output.cancelWriting();
            return false;
        }
    }
    return output.commit();
}

} // namespace vantola
