#pragma once

#include "settings/app_error.h"

#include <QByteArray>
#include <QImage>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantola {
class cJpeg;
}

namespace vantola::test {

// libjpeg-turbo's command-line tools as independent judges of the JPEG files we write.

struct ToolResult {
    int status = -1; // exit status; -1 when the program could not run or crashed
    QByteArray out;
    QString err;
};

// Runs a program (by default in this process's environment) and waits for it.
ToolResult
runTool(const QString& program, const QStringList& arguments, int timeoutMs = 300000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

struct DecodedJpeg {
    int status = -1;
    QString errors; // djpeg's standard error: warnings about a damaged file land here
    QImage picture; // RGB888, or Grayscale8 for a one-component file
};

DecodedJpeg decodeWithDjpeg(const QString& jpegPath);

ToolResult encodeWithCjpeg(const QString& pnmPath, const QStringList& options,
                           const QString& outputPath);

// Writes a picture as binary PPM (P6), or PGM (P5) for a grey one.
bool writePnm(const QImage& picture, const QString& path);

// Over the red, green and blue samples of two pictures of the same size (grey as R = G = B): the
// peak signal-to-noise ratio in dB (infinity when identical), and the largest difference.
double psnr(const QImage& a, const QImage& b);

int maxSampleDifference(const QImage& a, const QImage& b);

// One marker segment of a JPEG file (the scans' coded data is not part of it).
struct JpegSegment {
    int marker = 0;     // the byte after FF
    QByteArray payload; // the bytes after the length field
};

// The marker segments of a JPEG file in order, up to and including EOI (payload empty for SOI
// and EOI), and the total size of the entropy-coded data of its scans.
struct JpegStructure {
    std::vector<JpegSegment> segments;
    qint64 scanDataBytes = 0;
};
JpegStructure parseJpeg(const QByteArray& bytes);

// Pictures that make encoder faults visible.
QImage flatPicture(int width, int height, QRgb colour);
// One-pixel black and white squares: the largest AC values, and FF bytes to stuff.
QImage checkerboard(int width, int height);
// Blue with a red rectangle over the top-left quarter (at least its top-left pixel) and a green
// stripe down the right edge: a flip, a turn or a swap of channels shows at once.
QImage redOnBlue(int width, int height);
// Smooth gradients, edges and a little deterministic noise, like a scan or a photo.
QImage photoLikePicture(int width, int height);

// Our encoder's settings: quality, and luminance sampling H x V with chroma 1 x 1, or grey.
struct EncoderSettings {
    int quality = 75;
    int h = 2;
    int v = 2;
    bool grey = false;
};

void applyEncoderSettings(cJpeg& encoder, const EncoderSettings& settings);

// Copies a picture into a buffer, as the program does, and samples it into the encoder.
bool samplePicture(cJpeg& encoder, const QImage& picture);

// Encodes a picture with our encoder (through a picture buffer, as the program does) and
// returns SaveFile's status; -1 when the picture could not be sampled.
int encodeWithOurEncoder(const QImage& picture, const EncoderSettings& settings,
                         const QString& path);

// The number of the AppError that a call raises, or 0 when it returns.
template <class Call>
int errorNumber(Call&& call) {
    try {
        call();
    } catch (const AppError& error) {
        return error.number();
    }
    return 0;
}

} // namespace vantola::test
