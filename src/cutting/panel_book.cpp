// The panel book: the pieces of a job in one CBZ (a ZIP with every entry stored, written with
// libarchive) and its ComicInfo.xml, written under a temporary name and renamed into place.
#include "cutting/panel_book.h"

#include "settings/atomic_file.h"
#include "settings/path_parts.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cstring>
#include <ctime>
#include <memory>

namespace vantola {

namespace {

struct ArchiveFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

// Adds one stored file to the archive; false (with the archive's error) when it fails.
bool addEntry(archive* a, const QString& name, const QByteArray& bytes) {
    const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_size(entry.get(), bytes.size());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_mtime(entry.get(), std::time(nullptr), 0);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK)
        return false;
    return archive_write_data(a, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
}

// Writes the book into the file `path`; returns why it failed, or "".
QString writeZip(const QString& path, const QStringList& names, const QStringList& files,
                 const QByteArray& comicInfo) {
    const std::unique_ptr<archive, ArchiveFree> a(archive_write_new());
    const auto failure = [&] { return QString::fromUtf8(archive_error_string(a.get())); };
    if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
        archive_write_set_options(a.get(), "zip:compression=store") != ARCHIVE_OK ||
        archive_write_open_filename(a.get(), QFile::encodeName(path).constData()) != ARCHIVE_OK)
        return failure();
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile file(files[i]);
        if (!file.open(QIODevice::ReadOnly))
            return files[i] + QStringLiteral(" : ") + file.errorString();
        if (!addEntry(a.get(), names[i], file.readAll()))
            return failure();
    }
    if (!addEntry(a.get(), QStringLiteral("ComicInfo.xml"), comicInfo) ||
        archive_write_close(a.get()) != ARCHIVE_OK)
        return failure();
    return {};
}

} // namespace

QString bookEntryName(qsizetype index, qsizetype count, const QString& pieceName) {
    const int width = std::max(4, int(QString::number(count).size()));
    return QStringLiteral("%1_%2").arg(index + 1, width, 10, QLatin1Char('0')).arg(pieceName);
}

QByteArray comicInfoXml(const QString& title, const QStringList& piecePaths) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ComicInfo"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeTextElement(QStringLiteral("Title"), title);
    xml.writeTextElement(QStringLiteral("PageCount"), QString::number(piecePaths.size()));
    xml.writeStartElement(QStringLiteral("Pages"));
    for (qsizetype i = 0; i < piecePaths.size(); ++i) {
        const QSize size = QImageReader(piecePaths[i]).size();
        xml.writeEmptyElement(QStringLiteral("Page"));
        xml.writeAttribute(QStringLiteral("Image"), QString::number(i));
        xml.writeAttribute(QStringLiteral("ImageSize"),
                           QString::number(QFileInfo(piecePaths[i]).size()));
        xml.writeAttribute(QStringLiteral("ImageWidth"), QString::number(size.width()));
        xml.writeAttribute(QStringLiteral("ImageHeight"), QString::number(size.height()));
    }
    xml.writeEndElement(); // Pages
    xml.writeEndElement(); // ComicInfo
    xml.writeEndDocument();
    return bytes;
}

QString writePanelBook(const std::vector<PlacedPiece>& pieces, const QString& name,
                       const QString& outputFolder) {
    QStringList files;
    QStringList names;
    for (const PlacedPiece& piece : pieces) {
        const QString pieceName = ExtraireNomFichier(piece.piecePath);
        files << outputFolder + pieceName;
        names << bookEntryName(qsizetype(names.size()), qsizetype(pieces.size()), pieceName);
    }
    const QString target = outputFolder + name + QStringLiteral(".cbz");
    const auto failed = [&](const QString& why) {
        return QStringLiteral("%1 n'a pas pu être écrit (%2)").arg(target, why);
    };
    QString temporary;
    if (const int error = writeTemporaryFile(outputFolder, nullptr, 0, temporary))
        return failed(QString::fromLocal8Bit(std::strerror(error)));
    if (const QString failure = writeZip(temporary, names, files, comicInfoXml(name, files));
        !failure.isEmpty()) {
        QFile::remove(temporary);
        return failed(failure);
    }
    // placeTemporaryFile removes the temporary file when it fails.
    if (const int error = placeTemporaryFile(temporary, target, ExistingTarget::Replace))
        return failed(QString::fromLocal8Bit(std::strerror(error)));
    return {};
}

} // namespace vantola
