#include "fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

namespace vantola::fuzz {

void startQt(int* argc, char*** argv) {
    // The decoders' warnings about broken files would drown libFuzzer's own output.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    qputenv("LC_ALL", "fr_FR.UTF-8");
    qputenv("LANG", "fr_FR.UTF-8");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Lives as long as the process: the core reads the application's folder and plugins.
    static QCoreApplication* application = new QCoreApplication(*argc, *argv);
    Q_UNUSED(application);
}

QString scratchFolder() {
    static const QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                          ? QStringLiteral("/dev/shm/vantola-fuzz-XXXXXX")
                                          : QDir::tempPath() +
                                                QStringLiteral("/vantola-fuzz-XXXXXX"));
    FUZZ_CHECK(folder.isValid());
    return folder.path() + QLatin1Char('/');
}

void emptyFolder(const QString& folder) {
    QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        const QString path = dir.filePath(name);
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace vantola::fuzz
