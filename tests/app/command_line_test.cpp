// The vantola program run as a real process on real files.
#include "support/djpeg.h"
#include "support/job_fixture.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using namespace vantola::test;

TEST(CommandLine, HelpVersionAndUnknownCommand) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"--help", 0, "vantola cut PATH..."},
        {"--version", 0, "vantola 0.5.0\n"},
        {"frobnicate", 2, "frobnicate"},
    };
    for (const auto& [argument, status, shown] : cases) {
        const ProcessResult result = runVantola({QLatin1String(argument)});
        EXPECT_EQ(result.status, status) << argument;
        EXPECT_TRUE((status ? result.err : result.out).contains(QString::fromUtf8(shown)))
            << argument;
    }
}

// "vantola jpeg IN OUT [options] --home FOLDER" on a picture and an existing output.
class JpegCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(picture.save(input));
        ASSERT_TRUE(writeFileBytes(output, "old"));
    }
    ProcessResult run(const QStringList& options) const {
        return runVantola(QStringList{"jpeg", input, output, "--home", folder.path()} + options);
    }

    TempFolder folder;
    QString input = folder.file("in.png");
    QString output = folder.file("out.jpg");
    QImage picture = redOnBlue(64, 48);
};

TEST_F(JpegCommand, EncodesAndReplacesTheOutputTakingLeftOutSettingsFromParamIni) {
    QFile::setPermissions(output, QFileDevice::ReadOwner);
    const ProcessResult best = run({"--quality", "100", "--sampling", "1:1"});
    EXPECT_EQ(best.status, 0) << qPrintable(best.err);
    const DecodedJpeg decoded = decodeWithDjpeg(output);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_TRUE(decoded.errors.isEmpty());
    EXPECT_LE(maxSampleDifference(decoded.picture, picture), 12);

    const ProcessResult grey = run({"--grey"});
    EXPECT_EQ(grey.status, 0) << qPrintable(grey.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    ASSERT_TRUE(writeFileBytes(output, "old"));
    ASSERT_TRUE(writeFileBytes(folder.file("param.ini"), "[PARAM]\r\nJPG_GREYSCALE=1\r\n"));
    const ProcessResult saved = run({});
    EXPECT_EQ(saved.status, 0) << qPrintable(saved.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    // An output name at the file system's limit of 255 bytes.
    const QString longest = folder.file(QString(251, QLatin1Char('n')) + ".jpg");
    EXPECT_EQ(runVantola({"jpeg", input, longest, "--home", folder.path()}).status, 0);
    EXPECT_EQ(decodeWithDjpeg(longest).status, 0);
}

TEST_F(JpegCommand, RefusesBadUseAndLeavesTheOutputAlone) {
    const QString broken = folder.file("broken.png");
    ASSERT_TRUE(writeFileBytes(broken, "not a picture"));
    const std::pair<QStringList, const char*> refused[] = {
        {{"jpeg", input, output, "--sampling", "5:1"}, "jpeg"},
        {{"jpeg", input, output, "--quality", "high"}, "jpeg"},
        {{"jpeg", input, output, "--level", "1400"}, "jpeg"},
        {{"jpeg", input}, "jpeg"},
        {{"jpeg", input, output, "--quality=90"}, "unknown option --quality=90"},
        {{"jpeg", input, output, "--frob", "--quality", "x"}, "unknown option --frob"},
        {{"jpeg", broken, output}, "Invalid picture"},
    };
    for (const auto& [arguments, reason] : refused) {
        const ProcessResult result = runVantola(arguments + QStringList{"--home", folder.path()});
        EXPECT_EQ(result.status, 2) << qPrintable(arguments.join(QLatin1Char(' ')));
        EXPECT_TRUE(result.err.contains(QLatin1String(reason))) << qPrintable(result.err);
    }
    EXPECT_EQ(readFileBytes(output), QByteArray("old"));
}

} // namespace
