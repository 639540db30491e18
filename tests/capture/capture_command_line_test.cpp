// vantola pdf and vantola clipboard through the real program (the offscreen clipboard is empty).
#include "support/djpeg.h"
#include "support/job_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vantola::test {
namespace {

class CaptureCommandLineTest : public ::testing::Test, public JobFixture {
protected:
    void SetUp() override { writePdf(album, {comicPage(21), comicPage(22)}); }
    QString out() const { return source() + "sortie/"; }
    // The command, then --home and --quiet, then the other arguments.
    ProcessResult run(const QStringList& arguments) {
        return runVantola(QStringList{arguments.first(), "--home", home(), "--quiet"} +
                          arguments.mid(1));
    }

    const QString album = file("album.pdf");
};

TEST_F(CaptureCommandLineTest, PdfCutsEveryPageOrThoseAskedAtTheResolutionAsked) {
    ProcessResult result = run({"pdf", album, out()});
    EXPECT_EQ(result.status, 0) << qPrintable(result.err);
    EXPECT_EQ(result.out, "12 pieces written, 0 pages failed, output: " + out() + "VANTOLA/\n");
    EXPECT_EQ(fileNames(out(), "*.jpg"), (QStringList{"BD001.jpg", "BD002.jpg"}));

    QDir(out()).removeRecursively();
    result = run({"pdf", album, out(), "--pages", "1", "--dpi", "300", "--double-pass"});
    EXPECT_EQ(result.status, 0) << qPrintable(result.err);
    EXPECT_EQ(fileNames(out(), "*.jpg"), QStringList{"BD001.jpg"});
    EXPECT_EQ(decodeWithDjpeg(out() + "BD001.jpg").picture.size(), QSize(1000, 1400));
    EXPECT_TRUE(fileNames(out() + "VANTOLA", "*.jpg").first().startsWith("BD001.jpg-0001.jpg-"));

    result = run({"clipboard", out()});
    EXPECT_EQ(result.status, 1) << qPrintable(result.err);
    EXPECT_TRUE(result.out.startsWith("0 pieces written, 1 pages failed"))
        << qPrintable(result.out);
}

TEST_F(CaptureCommandLineTest, DocumentsThatCannotBeOpenedAndBadUseWriteNothing) {
    writeFileBytes(file("texte.pdf"), "pas un PDF");
    const std::pair<QStringList, const char*> refused[] = {
        {{"pdf", file("absent.pdf"), out()}, "vantola: "},
        {{"pdf", file("texte.pdf"), out()}, "n'est pas un document PDF lisible"},
        {{"pdf", album}, "vantola: "},
        {{"pdf", album, out(), "--pages", "0"}, "vantola: "},
        {{"pdf", album, out(), "--pages", "deux"}, "vantola: "},
        {{"pdf", album, out(), "--dpi", "0"}, "vantola: "},
        {{"pdf", album, out(), "--dpi"}, "vantola: "},
        {{"clipboard"}, "vantola: "},
        {{"clipboard", out(), out()}, "vantola: "},
    };
    for (const auto& [arguments, reason] : refused) {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.status, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(result.err.startsWith("vantola: ")) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(reason))) << qPrintable(result.err);
        EXPECT_FALSE(QFileInfo::exists(out())) << qPrintable(arguments.join(' '));
    }
    EXPECT_TRUE(QDir(home()).isEmpty(QDir::Files));
}

// A display that cannot be reached: the clipboard command and the main window say so.
TEST_F(CaptureCommandLineTest, UnreachableDisplayIsReported) {
    for (const QStringList& arguments :
         {QStringList{"clipboard", "--home", home(), out()}, QStringList{"--home", home()}}) {
        const ProcessResult unreachable =
            runVantola(arguments, 60000, {"QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "DISPLAY=:7913"});
        EXPECT_EQ(unreachable.status, 2) << qPrintable(unreachable.err);
        EXPECT_TRUE(unreachable.err.contains("DISPLAY=:7913 cannot be reached"));
    }
}

TEST_F(CaptureCommandLineTest, ParamIniThatCannotBeReadGivesTheDefaultsAndOneWarning) {
    const QString page = writeComicPage(source(), "page", 23);
    const QString param = home() + "param.ini";
    const std::vector<std::pair<QStringList, int>> commands{
        {{"cut", page}, 0},
        {{"pdf", album, out(), "--pages", "1"}, 0},
        {{"clipboard", out()}, 1}, // the offscreen clipboard holds no picture
        {{"jpeg", page, file("copie.jpg")}, 0},
    };
    for (const bool fifo : {false, true}) {
        ASSERT_TRUE(fifo ? QDir(param).removeRecursively() && ::mkfifo(qPrintable(param), 0600) == 0
                         : QDir().mkpath(param));
        for (const auto& [arguments, status] : commands) {
            const ProcessResult result = run(arguments);
            EXPECT_EQ(result.status, status) << qPrintable(arguments.first() + result.err);
            EXPECT_EQ(result.err.count("param.ini cannot be read"), 1);
        }
    }
}

} // namespace
} // namespace vantola::test
