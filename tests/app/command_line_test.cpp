// The vantola program run as a real process on real files.
#include "support/djpeg.h"
#include "support/run_vantola.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace vantola::test;

TEST(CommandLine, HelpVersionAndUnknownCommand) {
    const ProcessResult help = runVantola({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("vantola cut PATH...")));

    const ProcessResult version = runVantola({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("vantola 0.5.0"));

    const ProcessResult unknown = runVantola({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
}

// "vantola jpeg IN OUT [options] --home FOLDER" on a picture and an existing output.
class JpegCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(picture.save(input));
        ASSERT_TRUE(writeFileBytes(output, "old"));
    }
    ProcessResult run(const QStringList& options, const QString& from = QString()) const {
        return runVantola(QStringList{QStringLiteral("jpeg"), from.isEmpty() ? input : from, output,
                                      QStringLiteral("--home"), folder.path()} +
                          options);
    }

    TempFolder folder;
    QString input = folder.file(QStringLiteral("in.png"));
    QString output = folder.file(QStringLiteral("out.jpg"));
    QImage picture = redOnBlue(64, 48);
};

TEST_F(JpegCommand, EncodesAndReplacesTheOutputTakingLeftOutSettingsFromParamIni) {
    QFile::setPermissions(output, QFileDevice::ReadOwner);
    const ProcessResult best = run({QStringLiteral("--quality"), QStringLiteral("100"),
                                    QStringLiteral("--sampling"), QStringLiteral("1:1")});
    EXPECT_EQ(best.status, 0) << qPrintable(best.err);
    const DecodedJpeg decoded = decodeWithDjpeg(output);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_TRUE(decoded.errors.isEmpty());
    EXPECT_LE(maxSampleDifference(decoded.picture, picture), 12);

    const ProcessResult grey = run({QStringLiteral("--grey")});
    EXPECT_EQ(grey.status, 0) << qPrintable(grey.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    ASSERT_TRUE(writeFileBytes(output, "old"));
    ASSERT_TRUE(
        writeFileBytes(folder.file(QStringLiteral("param.ini")), "[PARAM]\r\nJPG_GREYSCALE=1\r\n"));
    const ProcessResult saved = run({});
    EXPECT_EQ(saved.status, 0) << qPrintable(saved.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    // An output name at the file system's limit of 255 bytes.
    const QString longest = folder.file(QString(251, QLatin1Char('n')) + QStringLiteral(".jpg"));
    EXPECT_EQ(runVantola({"jpeg", input, longest, "--home", folder.path()}).status, 0);
    EXPECT_EQ(decodeWithDjpeg(longest).status, 0);
}

TEST_F(JpegCommand, RefusesBadUseAndLeavesTheOutputAlone) {
    const QStringList badOptions[] = {
        {QStringLiteral("--sampling"), QStringLiteral("5:1")},
        {QStringLiteral("--quality"), QStringLiteral("high")},
        {QStringLiteral("--level"), QStringLiteral("1400")},
    };
    for (const QStringList& options : badOptions) {
        const ProcessResult refused = run(options);
        EXPECT_EQ(refused.status, 2) << qPrintable(options.join(QLatin1Char(' ')));
        EXPECT_TRUE(refused.err.contains(QStringLiteral("jpeg"))) << qPrintable(refused.err);
    }
    const ProcessResult noOutput =
        runVantola({QStringLiteral("jpeg"), input, QStringLiteral("--home"), folder.path()});
    EXPECT_EQ(noOutput.status, 2);
    EXPECT_TRUE(noOutput.err.contains(QStringLiteral("jpeg"))) << qPrintable(noOutput.err);

    const QString broken = folder.file(QStringLiteral("broken.png"));
    ASSERT_TRUE(writeFileBytes(broken, "not a picture"));
    const ProcessResult notAPicture = run({}, broken);
    EXPECT_EQ(notAPicture.status, 2);
    EXPECT_TRUE(notAPicture.err.contains(QStringLiteral("Invalid picture")))
        << qPrintable(notAPicture.err);
    EXPECT_EQ(readFileBytes(output), QByteArray("old"));
}

} // namespace
