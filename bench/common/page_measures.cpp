#include "page_measures.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace vantola::bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double medianSeconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return median(times);
}

CutParameters wholePageCut(qint32 width, qint32 height, qint32 whiteLevel) {
    CutParameters parameters;
    parameters.W = width;
    parameters.H = height;
    parameters.lastColumnRead = width - 1;
    parameters.lSeuilPixel = whiteLevel * 10000;
    parameters.lNiveauBlanc = whiteLevel;
    return parameters;
}

QByteArray qtJpeg(const QImage& page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(page)) {
        std::fprintf(stderr, "JPEG encoding failed: %s\n", qPrintable(writer.errorString()));
        std::exit(1);
    }
    return bytes;
}

QImage qtDecodedJpeg(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "jpeg").read();
}

} // namespace vantola::bench
