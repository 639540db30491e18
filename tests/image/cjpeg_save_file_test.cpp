// SaveFile: its statuses, that it never replaces anything or leaves a partial file, and the
// segments it writes.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "settings/app_error.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace vantola;
using namespace vantola::test;

// An encoder holding a sampled picture.
struct SampledEncoder {
    cImage picture;
    cJpeg encoder;
    explicit SampledEncoder(const QImage& image) {
        qint16 depth = 0;
        EXPECT_TRUE(picture.CopyStdPicture(image, &depth));
        EXPECT_EQ(encoder.SampleHDC(picture.hDC(), picture.Width(), picture.Height(), 0, 0), 0);
    }
};

std::vector<int> markers(const JpegStructure& structure) {
    std::vector<int> result;
    for (const JpegSegment& segment : structure.segments)
        result.push_back(segment.marker);
    return result;
}

QStringList folderEntries(const TempFolder& folder) {
    return QDir(folder.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(CJpegSaveFile, StatusesAndNeverReplacing) {
    TempFolder folder;
    SampledEncoder sampled(redOnBlue(20, 10));
    cJpeg& encoder = sampled.encoder;
    EXPECT_EQ(encoder.SaveFile(QString()), cJpeg::kEmptyName);

    const QString existing = folder.file(QStringLiteral("existing.jpg"));
    ASSERT_TRUE(writeFileBytes(existing, "keep me"));
    QFile::setPermissions(existing, QFileDevice::ReadOwner);
    EXPECT_EQ(encoder.SaveFile(existing), cJpeg::kFileExists);
    EXPECT_EQ(readFileBytes(existing), QByteArray("keep me"));
    const QString dangling = folder.file(QStringLiteral("dangling.jpg"));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("nowhere")), dangling));
    EXPECT_EQ(encoder.SaveFile(dangling), cJpeg::kFileExists);
    EXPECT_EQ(encoder.SaveFile(folder.path()), cJpeg::kFileExists);

    const QString fresh = folder.file(QStringLiteral("fresh é.jpg"));
    EXPECT_EQ(encoder.SaveFile(fresh), cJpeg::kSaved);
    const QByteArray first = readFileBytes(fresh);
    ASSERT_TRUE(QFile::remove(fresh));
    EXPECT_EQ(encoder.SaveFile(fresh), cJpeg::kSaved); // the same coefficients, the same bytes
    EXPECT_EQ(readFileBytes(fresh), first);
    EXPECT_EQ(folderEntries(folder).size(), 3); // no temporary file left behind
}

TEST(CJpegSaveFile, FailuresLeaveNothing) {
    TempFolder folder;
    SampledEncoder sampled(redOnBlue(20, 10));
    const auto errorNumber = [](cJpeg& encoder, const QString& path) {
        try {
            encoder.SaveFile(path);
        } catch (const AppError& error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(errorNumber(sampled.encoder, folder.file(QStringLiteral("missing/x.jpg"))),
              kErrPathAccess);
    const QString locked = folder.file(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_EQ(errorNumber(sampled.encoder, locked + QStringLiteral("/x.jpg")),
                  kErrPermissionDenied);
    }

    sampled.encoder.setComment(QStringLiteral("日本")); // no Windows-1252 code
    EXPECT_EQ(errorNumber(sampled.encoder, folder.file(QStringLiteral("comment.jpg"))),
              kErrOverflow);

    cJpeg unsampled; // no coefficients since the sampling was set
    EXPECT_EQ(errorNumber(unsampled, folder.file(QStringLiteral("unsampled.jpg"))), kErrSubscript);
    EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("locked")});
}

// The rest of the segments are locked by the golden files.
TEST(CJpegSaveFile, TheUserCommentComesFirstInWindows1252AndLateQualityChangesOnlyTheTables) {
    TempFolder folder;
    SampledEncoder sampled(checkerboard(33, 17));
    sampled.encoder.setComment(QStringLiteral("Planche n°1"));
    const QString before = folder.file(QStringLiteral("before.jpg"));
    ASSERT_EQ(sampled.encoder.SaveFile(before), cJpeg::kSaved);
    const JpegStructure structure = parseJpeg(readFileBytes(before));
    EXPECT_EQ(markers(structure), (std::vector<int>{0xD8, 0xE0, 0xFE, 0xFE, 0xDB, 0xDB, 0xC0, 0xC4,
                                                    0xC4, 0xC4, 0xC4, 0xDA, 0xD9}));
    EXPECT_EQ(structure.segments[2].payload, QByteArray("Planche n\xB0"
                                                        "1"));
    EXPECT_EQ(structure.segments[3].payload, cJpeg::kIdentification.toLatin1());
    EXPECT_EQ(decodeWithDjpeg(before).status, 0);

    // A quality set after sampling changes the tables written, not the coefficients.
    sampled.encoder.setQuality(10);
    const QString after = folder.file(QStringLiteral("after.jpg"));
    ASSERT_EQ(sampled.encoder.SaveFile(after), cJpeg::kSaved);
    const JpegStructure later = parseJpeg(readFileBytes(after));
    EXPECT_NE(later.segments[4].payload, structure.segments[4].payload);
    EXPECT_EQ(later.scanDataBytes, structure.scanDataBytes);
}

} // namespace
