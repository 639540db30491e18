#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vantola::test {

// A temporary folder that lives as long as the object; path() ends with a separator.
class TempFolder {
public:
    TempFolder() : dir_("/tmp/vantola-test-XXXXXX") {}
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir dir_;
};

// Reads a whole file as bytes; an empty array when it cannot be read.
QByteArray readFileBytes(const QString& path);

// Writes bytes to a file, replacing it; false when that fails.
bool writeFileBytes(const QString& path, const QByteArray& bytes);

} // namespace vantola::test
