// Our design is libjpeg's float DCT with optimized tables, so at 2:2 and quality 75 our files
// stay close to cjpeg's in size and PSNR (the benchmark holds the tight bounds on full pages).
// Against cjpeg given our own quantization tables, they must be closer still.
#include "image/cjpeg.h"
#include "image/jpeg_dct_quantization.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

#ifndef VANTOLA_SHARED_PAGES
#define VANTOLA_SHARED_PAGES ""
#endif

namespace {

using namespace vantola;
using namespace vantola::test;

// Our tables at quality 75 as a cjpeg -qtables file (natural order).
QByteArray ourTablesText() {
    QByteArray text;
    for (const auto* base : {&jpeg::kLumBase, &jpeg::kChrBase}) {
        jpeg::QuantTable table;
        jpeg::scaleQuantTable(*base, jpeg::qualityScale(75), table);
        for (int natural = 0; natural < 64; ++natural)
            text += QByteArray::number(table.Qk[jpeg::kZigZag[natural % 8][natural / 8]]) +
                    (natural % 8 == 7 ? "\n" : " ");
    }
    return text;
}

void compareWithCjpeg(const QImage& picture) {
    TempFolder folder;
    const QString pnm = folder.file(QStringLiteral("picture.ppm"));
    const QString tables = folder.file(QStringLiteral("tables.txt"));
    const QString ours = folder.file(QStringLiteral("ours.jpg"));
    ASSERT_TRUE(writePnm(picture, pnm));
    ASSERT_TRUE(writeFileBytes(tables, ourTablesText()));
    ASSERT_EQ(encodeWithOurEncoder(picture, {75, 2, 2, false}, ours), cJpeg::kSaved);
    const double ourSize = QFile(ours).size();
    const double ourPsnr = psnr(decodeWithDjpeg(ours).picture, picture);

    const QStringList design =
        QStringLiteral("-dct float -optimize -baseline -sample 2x2").split(' ');
    const struct {
        QStringList options;
        double sizeTolerance;
        double psnrTolerance;
    } references[] = {
        {QStringList{QStringLiteral("-quality"), QStringLiteral("75")} + design, 0.05, 0.3},
        {QStringLiteral("-quality 50 -qslots 0,1,1 -qtables").split(' ') + QStringList{tables} +
             design,
         0.015, 0.1},
    };
    for (const auto& reference : references) {
        const QString theirs = folder.file(QStringLiteral("theirs.jpg"));
        QFile::remove(theirs);
        ASSERT_EQ(encodeWithCjpeg(pnm, reference.options, theirs).status, 0);
        const double theirSize = QFile(theirs).size();
        const double theirPsnr = psnr(decodeWithDjpeg(theirs).picture, picture);
        const QString what = reference.options.join(QLatin1Char(' '));
        EXPECT_NEAR(ourSize / theirSize, 1.0, reference.sizeTolerance) << qPrintable(what);
        EXPECT_NEAR(ourPsnr, theirPsnr, reference.psnrTolerance) << qPrintable(what);
    }
}

TEST(CJpegCompare, CloseToCjpegOnADrawnPictureAndARealPage) {
    compareWithCjpeg(photoLikePicture(640, 480));
    const QImage page(QStringLiteral(VANTOLA_SHARED_PAGES "/peppercarrot-ep02/p001.jpg"));
    if (page.isNull())
        GTEST_SKIP() << "the shared pages are not here";
    compareWithCjpeg(page.convertToFormat(QImage::Format_RGB888));
}

} // namespace
