// The encoder's parts (Huffman tables, block symbols, bit writer, reading and averaging the
// buffer), its settings as the written file shows them, SaveFile, and the bytes locked for grey
// and 1:1 sampling.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/jpeg_colour_sampling.h"
#include "image/jpeg_huffman.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace vantola;
using namespace vantola::jpeg;
using namespace vantola::test;

TEST(JpegHuffman, LengthsAbove16AreFoldedBack) {
    // Fibonacci counts make a maximally deep tree: 30 symbols would need codes of 29 bits.
    SymbolCounts counts{};
    std::uint64_t a = 1, b = 1;
    for (int symbol = 0; symbol < 30; ++symbol) {
        counts[symbol] = a;
        b = std::exchange(a, a + b);
    }
    HuffmanTable table;
    buildHuffmanCodeLengths(counts, table);
    EXPECT_EQ(counts, SymbolCounts{}); // the counts are consumed
    expandHuffmanTable(table, 255);
    EXPECT_EQ(table.symbolCount(), 30);
    double kraft = 0; // with the all-ones code point left over, the sum stays below 1
    for (int symbol = 0; symbol < 30; ++symbol) {
        ASSERT_GE(table.Code[symbol], 0);
        ASSERT_LE(table.codeLength(symbol), 16);
        kraft += std::ldexp(1.0, -table.codeLength(symbol));
    }
    EXPECT_LT(kraft, 1.0);
    EXPECT_LE(table.codeLength(29), table.codeLength(0)); // frequent symbols keep short codes
}

TEST(JpegHuffman, MalformedTablesAreRefused) {
    HuffmanTable table;
    const auto expand = [&](int largest) {
        HuffmanTable copy = table;
        return errorNumber([&] { expandHuffmanTable(copy, largest); });
    };
    EXPECT_EQ(expand(255), kErrEncoder); // no symbol at all
    table.BITS[0] = 1;
    table.HUFFVAL[0] = 12;
    EXPECT_EQ(expand(11), kErrEncoder); // a DC symbol above 11
    EXPECT_EQ(expand(15), 0);
    table.BITS[0] = 3; // three codes of one bit
    EXPECT_EQ(expand(255), kErrEncoder);
    table.BITS[0] = 0;
    table.BITS[1] = 2;
    table.HUFFVAL[1] = 12; // the same symbol twice
    EXPECT_EQ(expand(255), kErrEncoder);
}

TEST(JpegBlockSymbols, RunsSizesAndEndOfBlock) {
    // AC values -1 at 1 and 1023 at 20 (run 18: one 16-zero run, then run 2, size 10), then
    // zeros to the end; the block as an AcStore holds it: mask words, then the values.
    std::array<std::int16_t, 7> block{};
    const std::uint64_t mask = (1ull << 1) | (1ull << 20);
    std::memcpy(block.data(), &mask, sizeof mask);
    block[4] = -1;
    block[5] = 1023;
    block[6] = 77; // the next block
    std::vector<std::tuple<int, int, int>> symbols;
    const std::int16_t* next = forEachAcSymbol(block.data(), [&](int symbol, int value, int size) {
        symbols.emplace_back(symbol, value, size);
    });
    EXPECT_EQ(symbols, (std::vector<std::tuple<int, int, int>>{
                           {0x01, -1, 1}, {0xF0, 0, 0}, {0x2A, 1023, 10}, {0x00, 0, 0}}));
    EXPECT_EQ(*next, 77);
    EXPECT_EQ(magnitudeBits(-1, 1), 0u);     // -1 - 1 = ...110
    EXPECT_EQ(magnitudeBits(-1023, 10), 0u); // -1024: low ten bits 0
    EXPECT_EQ(magnitudeBits(-5, 3), 0b010u);

    const std::uint64_t withLast = mask | (1ull << 63); // no end of block after coefficient 63
    std::memcpy(block.data(), &withLast, sizeof withLast);
    block[6] = -1023;
    symbols.clear();
    forEachAcSymbol(block.data(),
                    [&](int symbol, int, int) { symbols.emplace_back(symbol, 0, 0); });
    EXPECT_EQ(std::get<0>(symbols.back()), 0xAA); // 42 zeros: two 16-zero runs, run 10, size 10
    EXPECT_EQ(symbols.size(), 6u);
}

// The padding of the last byte can complete an FF, which is stuffed too (a decoder takes a lone
// FF before the end marker for fill, so only this test sees the fault).
TEST(JpegBitWriter, PaddingThatCompletesAnFFIsStuffed) {
    JpegOutputBuffer ones(16);
    JpegBitWriter padded(ones);
    padded.put(0b1111111, 7);
    padded.flush();
    EXPECT_EQ(std::vector<std::uint8_t>(ones.data(), ones.data() + ones.position()),
              (std::vector<std::uint8_t>{0xFF, 0}));
}

std::vector<int> rowOf(BgrRows& rows, int y) {
    const std::uint8_t* row = rows.row(y);
    return std::vector<int>(row, row + 3 * rows.width());
}

TEST(JpegSampling, IndexedPixelsGoThroughTheColourTable) {
    cImage oneBit;
    ASSERT_TRUE(oneBit.Create(10, 1, 1));
    oneBit.topDownRow(0)[0] = 0b10100000; // the first pixel is the top bit
    oneBit.topDownRow(0)[1] = 0b01000000;
    PictureRows bits(oneBit, 0, 0, 10, 1);
    const std::vector<int> row = rowOf(bits, 0);
    EXPECT_EQ(std::vector<int>(row.begin(), row.begin() + 12),
              (std::vector<int>{255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(row[27], 255); // pixel 9: second byte, second bit

    cImage fourBit;
    ASSERT_TRUE(fourBit.Create(3, 1, 4));
    fourBit.colourTable()[2] = {10, 20, 30, 0};
    fourBit.topDownRow(0)[0] = 0x2F; // the first pixel is the high nibble
    fourBit.topDownRow(0)[1] = 0x10;
    PictureRows nibbles(fourBit, 0, 0, 3, 1);
    EXPECT_EQ(rowOf(nibbles, 0), (std::vector<int>{10, 20, 30, 255, 255, 255, 17, 17, 17}));
}

TEST(JpegSampling, RectangleOutsideThePictureReadsBlack) {
    cImage picture;
    ASSERT_TRUE(picture.Create(2, 2, 24));
    std::fill_n(picture.topDownRow(0), 6, 200);
    std::fill_n(picture.topDownRow(1), 6, 100);
    PictureRows rows(picture, 1, 1, 2, 2); // from the bottom-right pixel outwards
    EXPECT_EQ(rowOf(rows, 0), (std::vector<int>{100, 100, 100, 0, 0, 0}));
    EXPECT_EQ(rowOf(rows, 1), (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(JpegSampling, SamplingARectangleEqualsSamplingItsCopy) {
    cImage picture;
    ASSERT_TRUE(picture.Create(40, 30, 24));
    for (int y = 0; y < 30; ++y)
        for (int i = 0; i < 120; ++i)
            picture.topDownRow(y)[i] = static_cast<quint8>(i * 7 + y * 13);
    cImage copy;
    ASSERT_TRUE(copy.Create(21, 17, 24));
    for (int y = 0; y < 17; ++y)
        std::copy_n(picture.topDownRow(y + 5) + 3 * 11, 3 * 21, copy.topDownRow(y));
    cJpeg fromRectangle;
    cJpeg fromCopy;
    ASSERT_EQ(fromRectangle.SampleHDC(picture.hDC(), 21, 17, 11, 5), 0);
    ASSERT_EQ(fromCopy.SampleHDC(copy.hDC(), 21, 17, 0, 0), 0);
    EXPECT_EQ(fromRectangle.FileBytes(), fromCopy.FileBytes());
    cJpeg copiedEncoder = fromCopy; // copying an encoder copies its coefficients
    fromCopy = cJpeg();
    EXPECT_EQ(copiedEncoder.FileBytes(), fromRectangle.FileBytes());
}

// The file the encoder writes for a picture of one colour.
QByteArray written(cJpeg& encoder, int width = 16, int height = 16, QRgb colour = qRgb(0, 0, 0)) {
    EXPECT_TRUE(samplePicture(encoder, flatPicture(width, height, colour)));
    return encoder.FileBytes();
}

// The payloads of the segments with that marker.
std::vector<QByteArray> payloads(const QByteArray& file, int marker) {
    std::vector<QByteArray> found;
    for (const JpegSegment& segment : parseJpeg(file).segments)
        if (segment.marker == marker)
            found.push_back(segment.payload);
    return found;
}

// Quality 3: 5000 / 3 = 1666.7 gives scale 1667; 16 x 1667 + 50 = 26722 clamps to 255, base 10
// gives 167.2. (The tables of qualities 1, 50, 75 and 100 are locked by the golden files.)
TEST(CJpegSettings, QualityScalesTheAnnexKTablesAndIgnoresRefusedValues) {
    cJpeg encoder;
    EXPECT_EQ(encoder.Quality(), 75);
    encoder.setQuality(3);
    const QByteArray atThree = written(encoder);
    EXPECT_EQ(payloads(atThree, 0xDB).at(0).mid(1, 6), QByteArray("\xFF\xB8\xC9\xEA\xC9\xA7", 6));
    for (const qint32 refused : {0, 101, -5}) {
        encoder.setQuality(refused);
        EXPECT_EQ(written(encoder), atThree);
    }
}

// A refused sampling keeps the settings and the coefficients: the same file comes out without
// sampling again. An accepted one discards the coefficients.
TEST(CJpegSettings, SamplingIsCheckedBeforeAnythingChanges) {
    cJpeg encoder;
    encoder.SetSamplingFrequencies(3, 3, 0, 0, 0, 0); // grey: one component sampled 1x1
    const QByteArray grey = written(encoder);
    for (const auto& f : {std::array{2, 0, 1, 1, 1, 1}, std::array{5, 1, 0, 0, 0, 0},
                          std::array{2, 2, 0, 1, 1, 1}, std::array{2, 2, 1, 1, 1, 5}}) {
        EXPECT_EQ(errorNumber(
                      [&] { encoder.SetSamplingFrequencies(f[0], f[1], f[2], f[3], f[4], f[5]); }),
                  kErrEncoder);
        EXPECT_EQ(encoder.FileBytes(), grey);
    }
    encoder.SetSamplingFrequencies(4, 3, 1, 1, 1, 1);
    EXPECT_EQ(errorNumber([&] { encoder.FileBytes(); }), kErrSubscript);
    EXPECT_EQ(payloads(written(encoder), 0xC0).at(0).mid(5),
              QByteArray("\x03\x01\x43\x00\x02\x11\x01\x03\x11\x01", 10));
}

// The longest comment is kept; nothing to sample returns 1 and keeps the last coefficients.
TEST(CJpegSettings, CommentLimitAndNothingToSample) {
    cJpeg encoder;
    const QString longest(65533, QLatin1Char('a'));
    encoder.setComment(longest);
    EXPECT_EQ(errorNumber([&] { encoder.setComment(longest + QLatin1Char('b')); }), kErrEncoder);
    EXPECT_EQ(encoder.Comment(), longest);

    const QByteArray first = written(encoder, 17, 9, qRgb(200, 30, 90));
    cImage picture;
    ASSERT_TRUE(picture.Create(17, 9, 24));
    EXPECT_EQ(encoder.SampleHDC(nullptr, 17, 9, 0, 0), 1);
    EXPECT_EQ(encoder.SampleHDC(picture.hDC(), 0, 9, 0, 0), 1);
    EXPECT_EQ(encoder.FileBytes(), first);
}

// A single red pixel is repeated over its whole 2x2 unit: its scans are those of a red 16 x 16
// picture.
TEST(CJpegSettings, EdgePaddingRepeatsTheLastPixel) {
    cJpeg encoder;
    const QByteArray pixel = written(encoder, 1, 1, qRgb(255, 0, 0));
    const QByteArray unit = written(encoder, 16, 16, qRgb(255, 0, 0));
    EXPECT_EQ(pixel.mid(pixel.indexOf("\xFF\xDA")), unit.mid(unit.indexOf("\xFF\xDA")));
}

QStringList folderEntries(const TempFolder& folder) {
    return QDir(folder.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(CJpegSaveFile, StatusesAndNeverReplacing) {
    TempFolder folder;
    cJpeg encoder;
    ASSERT_TRUE(samplePicture(encoder, redOnBlue(20, 10)));
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
    cJpeg encoder;
    ASSERT_TRUE(samplePicture(encoder, redOnBlue(20, 10)));
    const auto save = [&](cJpeg& saving, const QString& path) {
        return errorNumber([&] { saving.SaveFile(path); });
    };
    EXPECT_EQ(save(encoder, folder.file(QStringLiteral("missing/x.jpg"))), kErrPathAccess);
    const QString locked = folder.file(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_EQ(save(encoder, locked + QStringLiteral("/x.jpg")), kErrPermissionDenied);
    }
    encoder.setComment(QStringLiteral("日本")); // no Windows-1252 code
    EXPECT_EQ(save(encoder, folder.file(QStringLiteral("comment.jpg"))), kErrOverflow);
    cJpeg unsampled; // no coefficients since the sampling was set
    EXPECT_EQ(save(unsampled, folder.file(QStringLiteral("unsampled.jpg"))), kErrSubscript);
    EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("locked")});
}

// The rest of the segments are locked by the golden files.
TEST(CJpegSaveFile, TheUserCommentComesFirstInWindows1252AndLateQualityChangesOnlyTheTables) {
    TempFolder folder;
    cJpeg encoder;
    ASSERT_TRUE(samplePicture(encoder, checkerboard(33, 17)));
    encoder.setComment(QStringLiteral("Planche n°1"));
    const QString before = folder.file(QStringLiteral("before.jpg"));
    ASSERT_EQ(encoder.SaveFile(before), cJpeg::kSaved);
    const JpegStructure structure = parseJpeg(readFileBytes(before));
    std::vector<int> markers;
    for (const JpegSegment& segment : structure.segments)
        markers.push_back(segment.marker);
    EXPECT_EQ(markers, (std::vector<int>{0xD8, 0xE0, 0xFE, 0xFE, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4,
                                         0xC4, 0xDA, 0xD9}));
    EXPECT_EQ(structure.segments[2].payload, QByteArray("Planche n\xB0"
                                                        "1"));
    EXPECT_EQ(structure.segments[3].payload, cJpeg::kIdentification.toLatin1());
    EXPECT_EQ(decodeWithDjpeg(before).status, 0);

    // A quality set after sampling changes the tables written, not the coefficients.
    encoder.setQuality(10);
    const QString after = folder.file(QStringLiteral("after.jpg"));
    ASSERT_EQ(encoder.SaveFile(after), cJpeg::kSaved);
    const JpegStructure later = parseJpeg(readFileBytes(after));
    EXPECT_NE(later.segments[4].payload, structure.segments[4].payload);
    EXPECT_EQ(later.scanDataBytes, structure.scanDataBytes);
}

// For grey and 1:1 sampling the output is fully defined, so the bytes are locked: by hand for
// uniform blocks, by hash for small pictures with some detail.
QByteArray encode(const QImage& picture, const EncoderSettings& settings, TempFolder& folder) {
    static int count = 0;
    const QString path = folder.file(QStringLiteral("golden-%1.jpg").arg(++count));
    EXPECT_EQ(encodeWithOurEncoder(picture, settings, path), cJpeg::kSaved);
    return readFileBytes(path);
}

// The coded data of the only scan of the file our encoder writes for 8 x 8 grey blocks.
QByteArray scanOfGreyBlocks(const std::vector<int>& levels, const EncoderSettings& settings,
                            TempFolder& folder) {
    QImage picture(8 * int(levels.size()), 8, QImage::Format_RGB888);
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < 8; ++y)
            picture.setPixel(x, y, qRgb(levels[x / 8], levels[x / 8], levels[x / 8]));
    const QByteArray file = encode(picture, settings, folder);
    const qsizetype sos = file.indexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype start = sos + 2 + quint8(file[sos + 2]) * 256 + quint8(file[sos + 3]);
    return file.mid(start, file.size() - 2 - start);
}

TEST(CJpegGolden, UniformBlocksCodeAsComputedByHand) {
    TempFolder folder;
    const EncoderSettings grey{75, 1, 1, true};
    // Level 128 is 0 after the level shift: every coefficient 0, tables of the single symbol 0
    // with a 1-bit code 0: two bits per block, padded with 1-bits.
    EXPECT_EQ(scanOfGreyBlocks({128}, grey, folder), QByteArray("\x3F", 1));
    EXPECT_EQ(scanOfGreyBlocks({128, 128, 128, 128}, grey, folder), QByteArray("\x00", 1));
    // Level 138: DC 64 x 10 x FScale(0) = 64 x 10 / (8 x 8) = 10 at quality 75. Differences 10
    // and -10 are both size 4, the only DC symbol (code 0): 0 1010 0 | 0 0101 0 | 1111.
    EXPECT_EQ(scanOfGreyBlocks({138, 128}, grey, folder), QByteArray("\x50\xAF", 2));
    // 1:1 colour of grey levels: Cb and Cr quantize to 0, so their tables hold the single DC
    // symbol 0 and the end of block, and each MCU codes Y as above then 00 for Cb and for Cr:
    // 010100 00 00 | 001010 00 00 | 1111.
    EXPECT_EQ(scanOfGreyBlocks({138, 128}, {75, 1, 1, false}, folder),
              QByteArray("\x50\x0A\x0F", 3));
}

TEST(CJpegGolden, SmallPicturesKeepTheirBytes) {
    TempFolder folder;
    // Edges, ramps and texture from integer arithmetic only, the same on every machine.
    QImage picture(37, 23, QImage::Format_RGB888);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            picture.setPixel(x, y,
                             qRgb((x * 7 + y * 3) % 256, x < 37 / 3 ? 240 : (x * y * 5) % 256,
                                  (x * x + y * y * 2) % 200 + (y > 23 / 2 ? 40 : 0)));
    const struct {
        EncoderSettings settings;
        const char* sha256;
    } cases[] = {
        {{75, 1, 1, true}, "f9000b3fae61554d1ec0d3e25a09c11e9b0a990f09d7ea62326a8863e3d18f6e"},
        {{50, 1, 1, true}, "c59fd5f5371e40fe1fc71e41f74444abbe78617ef5df8f39f74abba6c4fa7daa"},
        {{75, 1, 1, false}, "0a26ec7c0d213f051947b4725124eeedadabd812424b2e9da384f3d5ef217abb"},
        {{1, 1, 1, false}, "7b3a0ac9a8795f30cffe910594c485d35db06998266008c18f2a8129cfc849f3"},
        {{100, 1, 1, false}, "898752d505aada439ed7d2c6cf6387d4484f64509de3b8b12b81dc4a04b45861"},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = encode(picture, c.settings, folder);
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString(),
                  c.sha256)
            << "q" << c.settings.quality << (c.settings.grey ? " grey" : " 1:1");
    }
}

} // namespace
