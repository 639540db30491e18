#include "image/picture_loader.h"

#include "image/cimage.h"
#include "image/jpeg_decoding.h"
#include "image/picture_buffer_decoding.h"
#include "image/picture_completeness.h"
#include "image/sliding_rows.h"
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
    // (Plain PNG and PPM files never come here for a buffer: PictureFileRows reads them.)
    if (buffer != nullptr) {
        if (looksLikeJpeg(bytes) && decodeJpegInto(bytes, *buffer, acceptSize))
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

// A picture file whose rows are decoded one after the other without a JPEG decoder: a plain
// binary PPM or PGM (its pixels read from the file row by row) or a plain 8-bit PNG (decoded
// with libpng as the file is read). Rows come as the picture buffer holds them (blue, green,
// red bytes, or grey ones), or as blue, green, red bytes for the encoder.
class PictureFileRows final : public jpeg::RowReader {
public:
    explicit PictureFileRows(const QString& path) : file_{openPictureFile(path)} {}

    int descriptor() const { return file_.descriptor; }

    // Reads the header: false for a picture of another kind, whose reader must then go back to
    // the file's start. A refused size raises the invalid-picture error, after beforeDecoding
    // saw it.
    bool start(qint64 maxPixels, const std::function<void(QSize)>& beforeDecoding) {
        head_ = QByteArray(1 << 16, Qt::Uninitialized);
        const qint64 got = readFully(file_.descriptor, head_.data(), head_.size());
        if (got < 0)
            raiseError(kErrInvalidPicture);
        head_.resize(got);
        if (const auto header = plainPnmHeader(head_.constData(), head_.size())) {
            pnm_ = *header;
            taken_ = header->pixelOffset;
            size_ = QSize(header->width, header->height);
            colour_ = header->colour;
            acceptAnnounced(size_, maxPixels, beforeDecoding);
            return true;
        }
        const int descriptor = file_.descriptor;
        png_ = std::make_unique<PngRowDecoder>(head_, [descriptor](char* out, qint64 length) {
            return readFully(descriptor, out, length);
        });
        if (png_->start(
                [&](QSize announced) { acceptAnnounced(announced, maxPixels, beforeDecoding); })) {
            size_ = png_->size();
            colour_ = png_->colour();
            return true;
        }
        png_.reset();
        return false;
    }

    QSize size() const { return size_; }
    bool colour() const { return colour_; }

    // The next row as the buffer holds it.
    void readRaw(quint8* out) {
        if (png_) {
            png_->readRow(out);
            return;
        }
        // The pixels already read with the header first; a file cut short is invalid, as Qt's
        // reader finds it.
        const qint64 rowBytes = qint64(pnm_.width) * (colour_ ? 3 : 1);
        const qint64 fromHead = std::min<qint64>(rowBytes, head_.size() - taken_);
        std::memcpy(out, head_.constData() + taken_, std::size_t(fromHead));
        taken_ += fromHead;
        if (fromHead < rowBytes &&
            readFully(file_.descriptor, reinterpret_cast<char*>(out) + fromHead,
                      rowBytes - fromHead) != rowBytes - fromHead)
            raiseError(kErrInvalidPicture);
        // While the row is still in the cache.
        if (colour_)
            swapRedAndBlue(out, pnm_.width);
    }

    // The next row as blue, green, red bytes: a grey level is the colour of the buffer's grey
    // ramp, the same level three times.
    void readNext(std::uint8_t* bgr) override {
        if (colour_) {
            readRaw(bgr);
            return;
        }
        grey_.resize(std::size_t(size_.width()));
        readRaw(grey_.data());
        for (const quint8 level : grey_) {
            *bgr++ = level;
            *bgr++ = level;
            *bgr++ = level;
        }
    }

private:
    OpenFile file_;
    QByteArray head_;
    PnmHeader pnm_;
    qsizetype taken_ = 0;
    std::unique_ptr<PngRowDecoder> png_;
    QSize size_;
    bool colour_ = true;
    std::vector<quint8> grey_;
};

} // namespace

QImage loadPicture(const QString& path, qint64 maxPixels,
                   const std::function<void(QSize)>& beforeDecoding) {
    QByteArray bytes = readRegularFile(path);
    return decodePicture(bytes, maxPixels, beforeDecoding, nullptr);
}

void loadPictureBuffer(const QString& path, cImage& buffer, qint64 maxPixels,
                       const std::function<void(QSize)>& beforeDecoding) {
    PictureFileRows rows(path);
    if (rows.start(maxPixels, beforeDecoding)) {
        if (!buffer.Allocate(rows.size().width(), rows.size().height(), rows.colour() ? 24 : 8))
            raiseError(kErrOutOfMemory);
        for (qint32 y = 0; y < rows.size().height(); ++y)
            rows.readRaw(buffer.topDownRow(y));
        return;
    }
    // Any other picture is read whole for its decoder.
    if (::lseek(rows.descriptor(), 0, SEEK_SET) != 0)
        raiseError(kErrInvalidPicture);
    QByteArray bytes;
    readRest(rows.descriptor(), bytes);
    const QImage picture = decodePicture(bytes, maxPixels, beforeDecoding, &buffer);
    if (picture.isNull())
        return; // decoded into the buffer
    if (!buffer.CopyStdPicture(picture))
        raiseError(kErrOutOfMemory);
}

std::unique_ptr<jpeg::BgrRows> openPictureRows(const QString& path, qint64 maxPixels) {
    auto rows = std::make_unique<PictureFileRows>(path);
    if (!rows->start(maxPixels, {}))
        return nullptr;
    const QSize size = rows->size();
    return std::make_unique<jpeg::SlidingRows>(size.width(), size.height(), std::move(rows));
}

} // namespace vantola
