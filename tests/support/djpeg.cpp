#include "support/djpeg.h"

#include "image/cimage.h"
#include "image/cjpeg.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vantola::test {

ToolResult runTool(const QString& program, const QStringList& arguments, int timeoutMs,
                   const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("%1 did not run to its end").arg(program);
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

DecodedJpeg decodeWithDjpeg(const QString& jpegPath) {
    const ToolResult run = runTool(QStringLiteral("djpeg"), {QStringLiteral("-pnm"), jpegPath});
    DecodedJpeg decoded;
    decoded.status = run.status;
    decoded.errors = run.err;
    if (run.status == 0) {
        const QImage picture = QImage::fromData(run.out); // P6 or P5, told by the header
        decoded.picture = picture.format() == QImage::Format_Grayscale8
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB888);
    }
    return decoded;
}

ToolResult encodeWithCjpeg(const QString& pnmPath, const QStringList& options,
                           const QString& outputPath) {
    return runTool(QStringLiteral("cjpeg"),
                   QStringList(options) << QStringLiteral("-outfile") << outputPath << pnmPath);
}

bool writePnm(const QImage& picture, const QString& path) {
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    const QImage pixels = grey ? picture : picture.convertToFormat(QImage::Format_RGB888);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray header = QStringLiteral("%1\n%2 %3\n255\n")
                                  .arg(grey ? QStringLiteral("P5") : QStringLiteral("P6"))
                                  .arg(pixels.width())
                                  .arg(pixels.height())
                                  .toLatin1();
    if (file.write(header) != header.size())
        return false;
    const qsizetype rowBytes = qsizetype(pixels.width()) * (grey ? 1 : 3);
    for (int y = 0; y < pixels.height(); ++y) {
        if (file.write(reinterpret_cast<const char*>(pixels.constScanLine(y)), rowBytes) !=
            rowBytes)
            return false;
    }
    return true;
}

namespace {

// The red, green and blue samples of two pictures of the same size, compared one by one.
struct SampleDifferences {
    double squares = 0.0;
    qint64 count = 0;
    int largest = 0;
};

SampleDifferences compareSamples(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGB888);
    const QImage right = b.convertToFormat(QImage::Format_RGB888);
    SampleDifferences result;
    for (int y = 0; y < left.height(); ++y) {
        for (qsizetype i = 0; i < qsizetype(left.width()) * 3; ++i) {
            const int difference = int(left.constScanLine(y)[i]) - int(right.constScanLine(y)[i]);
            result.squares += double(difference) * difference;
            result.largest = std::max(result.largest, std::abs(difference));
            ++result.count;
        }
    }
    return result;
}

} // namespace

double psnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return 0.0;
    const SampleDifferences differences = compareSamples(a, b);
    if (differences.squares == 0.0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 * double(differences.count) / differences.squares);
}

int maxSampleDifference(const QImage& a, const QImage& b) {
    return a.size() != b.size() || a.isNull() ? 256 : compareSamples(a, b).largest;
}

JpegStructure parseJpeg(const QByteArray& bytes) {
    JpegStructure structure;
    const auto byteAt = [&](qsizetype i) { return static_cast<quint8>(bytes.at(i)); };
    if (bytes.size() < 4 || byteAt(0) != 0xFF || byteAt(1) != 0xD8)
        return structure;
    structure.segments.push_back({0xD8, {}});
    qsizetype i = 2;
    while (i + 1 < bytes.size()) {
        if (byteAt(i) != 0xFF)
            return structure;
        const int marker = byteAt(i + 1);
        if (marker == 0xD9 || i + 3 >= bytes.size()) {
            if (marker == 0xD9)
                structure.segments.push_back({0xD9, {}});
            return structure;
        }
        const int length = byteAt(i + 2) * 256 + byteAt(i + 3);
        if (length < 2 || i + 2 + length > bytes.size())
            return structure;
        structure.segments.push_back({marker, bytes.mid(i + 4, length - 2)});
        i += 2 + length;
        if (marker == 0xDA) {
            // Coded data runs to the next marker that is neither a stuffed 00 nor a restart.
            const qsizetype start = i;
            while (i + 1 < bytes.size() && !(byteAt(i) == 0xFF && byteAt(i + 1) != 0x00 &&
                                             (byteAt(i + 1) < 0xD0 || byteAt(i + 1) > 0xD7)))
                ++i;
            structure.scanDataBytes += i - start;
        }
    }
    return structure;
}

QImage flatPicture(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

QImage checkerboard(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return picture;
}

QImage redOnBlue(int width, int height) {
    QImage picture = flatPicture(width, height, qRgb(0, 0, 255));
    for (int y = 0; y < std::max(1, height / 2); ++y)
        for (int x = 0; x < std::max(1, width / 2); ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = width - width / 8; x < width; ++x)
            picture.setPixel(x, y, qRgb(0, 255, 0));
    return picture;
}

QImage photoLikePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    quint32 noise = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const double fx = double(x) / width;
            const double fy = double(y) / height;
            const double wave = 40.0 * std::sin(fx * 18.0 + fy * 7.0) * std::cos(fy * 11.0);
            const bool panel = (x / 97 + y / 131) % 3 == 0;
            const auto level = [&](double value) {
                return static_cast<uchar>(std::clamp(value + grain, 0.0, 255.0));
            };
            row[3 * x] = level(panel ? 230.0 : 120.0 + 100.0 * fx + wave);
            row[3 * x + 1] = level(panel ? 225.0 : 90.0 + 120.0 * fy - wave / 2);
            row[3 * x + 2] = level(panel ? 200.0 : 160.0 - 90.0 * fx * fy + wave / 3);
        }
    }
    return picture;
}

void applyEncoderSettings(cJpeg& encoder, const EncoderSettings& settings) {
    encoder.setQuality(settings.quality);
    if (settings.grey)
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(settings.h, settings.v, 1, 1, 1, 1);
}

bool samplePicture(cJpeg& encoder, const QImage& picture) {
    cImage buffer;
    return buffer.CopyStdPicture(picture) &&
           encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0) == 0;
}

int encodeWithOurEncoder(const QImage& picture, const EncoderSettings& settings,
                         const QString& path) {
    cJpeg encoder;
    applyEncoderSettings(encoder, settings);
    return samplePicture(encoder, picture) ? encoder.SaveFile(path) : -1;
}

} // namespace vantola::test
