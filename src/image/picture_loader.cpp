#include "image/picture_loader.h"

#include "image/cimage.h"
#include "image/jpeg_decoding.h"
#include "image/picture_buffer_decoding.h"
#include "image/picture_completeness.h"
#include "settings/app_error.h"
#include "settings/file_names.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

namespace {

// Qt refuses pictures above 256 MiB of decoded data by default; the program's own limit on the
// announced pixel count takes that role, so Qt's is raised to what a 300-megapixel page needs.
void raiseQtAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(2048); });
}

bool looksLikeJpeg(const QByteArray& bytes) {
    return bytes.size() >= 3 && quint8(bytes[0]) == 0xFF && quint8(bytes[1]) == 0xD8 &&
           quint8(bytes[2]) == 0xFF;
}

// A descriptor of a regular file; anything else named like a picture (a pipe, a device, or a
// link to one) is refused at once, without a read.
int openPictureFile(const QString& path) {
    const int descriptor = openRegularFile(pathBytes(path));
    if (descriptor < 0 && errno == EINVAL)
        throw AppError(kErrInvalidPicture, standardErrorDescription(kErrInvalidPicture) +
                                               QStringLiteral(": ce n'est pas un fichier "
                                                              "ordinaire"));
    if (descriptor < 0)
        raiseError(kErrInvalidPicture);
    return descriptor;
}

// Closes the descriptor however the reading ends.
struct OpenFile {
    int descriptor;
    ~OpenFile() { ::close(descriptor); }
};

// Reads up to `length` bytes (fewer only at the end of the file); -1 on a read error.
qint64 readFully(int descriptor, char* out, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::read(descriptor, out + done, std::size_t(length - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// Appends the rest of the file to `bytes`.
void readRest(int descriptor, QByteArray& bytes) {
    struct stat status {};
    qint64 chunk = 1 << 16;
    if (::fstat(descriptor, &status) == 0 && status.st_size > bytes.size())
        chunk = std::max<qint64>(chunk, status.st_size - bytes.size() + 1);
    for (;;) {
        const qsizetype start = bytes.size();
        bytes.resize(start + chunk);
        const qint64 got = readFully(descriptor, bytes.data() + start, chunk);
        if (got < 0)
            raiseError(kErrInvalidPicture);
        bytes.resize(start + got);
        if (got < chunk)
            return;
    }
}

// The bytes of a regular file.
QByteArray readRegularFile(const QString& path) {
    const OpenFile file{openPictureFile(path)};
    QByteArray bytes;
    readRest(file.descriptor, bytes);
    return bytes;
}

// The size that a header announces, checked against the limit and shown to beforeDecoding.
void acceptAnnounced(QSize announced, qint64 maxPixels,
                     const std::function<void(QSize)>& beforeDecoding) {
    if (qint64(announced.width()) * qint64(announced.height()) > maxPixels)
        raiseError(kErrInvalidPicture);
    if (beforeDecoding)
        beforeDecoding(announced);
}

// What Qt's BMP and GIF readers would not say about a file cut short.
QString missingData(const QByteArray& bytes, const QByteArray& format) {
    if (format == "bmp")
        return missingBmpData(bytes);
    if (format == "gif")
        return missingGifData(bytes);
    return {};
}

} // namespace

namespace {

// What loadPicture decodes from the bytes of a file.
QImage decodePicture(QByteArray& bytes, qint64 maxPixels,
                     const std::function<void(QSize)>& beforeDecoding, cImage* buffer) {
    raiseQtAllocationLimit();
    bool sizeAccepted = false;
    const auto acceptSize = [&](QSize announced) {
        acceptAnnounced(announced, maxPixels, beforeDecoding);
        sizeAccepted = true;
    };
    if (buffer != nullptr) {
        if (looksLikeJpeg(bytes) ? decodeJpegInto(bytes, *buffer, acceptSize)
                                 : decodePngInto(bytes, {}, *buffer, acceptSize))
            return {};
    } else if (looksLikeJpeg(bytes)) {
        QImage picture = decodeJpeg(bytes, acceptSize);
        if (!picture.isNull())
            return picture;
    }

    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    reader.setAutoTransform(false);
    const QString missing = missingData(bytes, reader.format());
    if (!missing.isEmpty())
        throw AppError(kErrInvalidPicture, damagedPictureDescription(missing));
    const QSize announced = reader.size();
    if (announced.isValid() && !sizeAccepted)
        acceptSize(announced);
    QImage picture = reader.read();
    if (picture.isNull())
        raiseError(kErrInvalidPicture);
    if (!sizeAccepted)
        acceptSize(picture.size());
    return picture;
}

// Reads the pixels of a plain binary PPM or PGM from the file into the buffer's rows, the bytes
// already read first; a file cut short is invalid, as Qt's reader finds it.
void readPnmPixels(int descriptor, const PnmHeader& header, const QByteArray& start,
                   cImage& buffer) {
    if (!buffer.Allocate(header.width, header.height, header.colour ? 24 : 8))
        raiseError(kErrOutOfMemory);
    const qint64 rowBytes = qint64(header.width) * (header.colour ? 3 : 1);
    qsizetype taken = header.pixelOffset;
    for (qint32 y = 0; y < header.height; ++y) {
        char* row = reinterpret_cast<char*>(buffer.topDownRow(y));
        const qint64 fromStart = std::min<qint64>(rowBytes, start.size() - taken);
        std::memcpy(row, start.constData() + taken, std::size_t(fromStart));
        taken += fromStart;
        if (fromStart < rowBytes &&
            readFully(descriptor, row + fromStart, rowBytes - fromStart) != rowBytes - fromStart)
            raiseError(kErrInvalidPicture);
        // While the row is still in the cache.
        if (header.colour)
            swapRedAndBlue(reinterpret_cast<quint8*>(row), header.width);
    }
}

} // namespace

QImage loadPicture(const QString& path, qint64 maxPixels,
                   const std::function<void(QSize)>& beforeDecoding) {
    QByteArray bytes = readRegularFile(path);
    return decodePicture(bytes, maxPixels, beforeDecoding, nullptr);
}

void loadPictureBuffer(const QString& path, cImage& buffer, qint64 maxPixels,
                       const std::function<void(QSize)>& beforeDecoding) {
    const OpenFile file{openPictureFile(path)};
    QByteArray bytes(1 << 16, Qt::Uninitialized);
    const qint64 got = readFully(file.descriptor, bytes.data(), bytes.size());
    if (got < 0)
        raiseError(kErrInvalidPicture);
    bytes.resize(got);
    if (const auto header = plainPnmHeader(bytes.constData(), bytes.size())) {
        acceptAnnounced(QSize(header->width, header->height), maxPixels, beforeDecoding);
        readPnmPixels(file.descriptor, *header, bytes, buffer);
        return;
    }
    // A PNG of the plain kinds is decoded as it is read; any other, and every other type, is read
    // whole for its decoder.
    const auto more = [&](char* out, qint64 length) {
        return readFully(file.descriptor, out, length);
    };
    if (decodePngInto(bytes, more, buffer, [&](QSize announced) {
            acceptAnnounced(announced, maxPixels, beforeDecoding);
        }))
        return;
    if (::lseek(file.descriptor, 0, SEEK_SET) != 0)
        raiseError(kErrInvalidPicture);
    bytes.clear();
    readRest(file.descriptor, bytes);
    const QImage picture = decodePicture(bytes, maxPixels, beforeDecoding, &buffer);
    if (picture.isNull())
        return; // decoded into the buffer
    if (!buffer.CopyStdPicture(picture))
        raiseError(kErrOutOfMemory);
}

} // namespace vantola
