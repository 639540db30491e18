// vantola jpeg, run as a real process on real files.
#include "support/djpeg.h"
#include "support/run_vantola.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace vantola::test;

TEST(JpegCommand, EncodesAndReplacesTheOutput) {
    TempFolder folder;
    const QString home = folder.path();
    const QString input = folder.file(QStringLiteral("in.png"));
    const QString output = folder.file(QStringLiteral("out.jpg"));
    const QImage picture = redOnBlue(64, 48);
    ASSERT_TRUE(picture.save(input));
    ASSERT_TRUE(writeFileBytes(output, "old"));
    QFile::setPermissions(output, QFileDevice::ReadOwner);

    const ProcessResult run = runVantola(
        {QStringLiteral("jpeg"), input, output, QStringLiteral("--quality"), QStringLiteral("100"),
         QStringLiteral("--sampling"), QStringLiteral("1:1"), QStringLiteral("--home"), home});
    EXPECT_EQ(run.status, 0) << qPrintable(run.err);
    const DecodedJpeg decoded = decodeWithDjpeg(output);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_TRUE(decoded.errors.isEmpty());
    EXPECT_LE(maxSampleDifference(decoded.picture, picture), 12);

    const ProcessResult grey =
        runVantola({QStringLiteral("jpeg"), input, output, QStringLiteral("--grey"),
                    QStringLiteral("--home"), home});
    EXPECT_EQ(grey.status, 0) << qPrintable(grey.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);
}

TEST(JpegCommand, TakesLeftOutSettingsFromParamIni) {
    TempFolder folder;
    const QString input = folder.file(QStringLiteral("in.png"));
    const QString output = folder.file(QStringLiteral("out.jpg"));
    ASSERT_TRUE(redOnBlue(16, 16).save(input));
    ASSERT_TRUE(
        writeFileBytes(folder.file(QStringLiteral("param.ini")), "[PARAM]\r\nJPG_GREYSCALE=1\r\n"));
    const ProcessResult run = runVantola(
        {QStringLiteral("jpeg"), input, output, QStringLiteral("--home"), folder.path()});
    EXPECT_EQ(run.status, 0) << qPrintable(run.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);
}

TEST(JpegCommand, RefusesBadUseAndLeavesTheOutputAlone) {
    TempFolder folder;
    const QString input = folder.file(QStringLiteral("in.png"));
    const QString output = folder.file(QStringLiteral("out.jpg"));
    ASSERT_TRUE(redOnBlue(16, 16).save(input));
    ASSERT_TRUE(writeFileBytes(output, "old"));
    const QString home = folder.path();
    const QList<QStringList> usages = {
        {QStringLiteral("jpeg"), input},
        {QStringLiteral("jpeg"), input, output, QStringLiteral("--sampling"),
         QStringLiteral("5:1")},
        {QStringLiteral("jpeg"), input, output, QStringLiteral("--quality"),
         QStringLiteral("high")},
        {QStringLiteral("jpeg"), input, output, QStringLiteral("--level"), QStringLiteral("1400")},
    };
    for (const QStringList& arguments : usages) {
        const ProcessResult run =
            runVantola(arguments + QStringList{QStringLiteral("--home"), home});
        EXPECT_EQ(run.status, 2) << qPrintable(arguments.join(QLatin1Char(' ')));
        EXPECT_TRUE(run.err.contains(QStringLiteral("jpeg"))) << qPrintable(run.err);
    }
    ASSERT_TRUE(writeFileBytes(folder.file(QStringLiteral("broken.png")), "not a picture"));
    const ProcessResult broken =
        runVantola({QStringLiteral("jpeg"), folder.file(QStringLiteral("broken.png")), output,
                    QStringLiteral("--home"), home});
    EXPECT_EQ(broken.status, 2);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("Invalid picture"))) << qPrintable(broken.err);
    EXPECT_EQ(readFileBytes(output), QByteArray("old"));
}

} // namespace
