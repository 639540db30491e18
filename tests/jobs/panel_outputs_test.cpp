// The panel book (--cbz) and the panel maps (--frames) of jobs run through the real binary: every
// panel of the maps, cut from its page file and turned as the job turned it, must be its piece;
// the pieces follow the cut record's order; the book holds them stored, in that order.
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/qstring_printer.h"
#include "support/test_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QTransform>
#include <QXmlStreamReader>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

struct BookEntry {
    QString name;
    QString format; // libarchive's name for the entry's ZIP method
    QByteArray bytes;
};

std::vector<BookEntry> readBook(const QString& path) {
    std::vector<BookEntry> entries;
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    EXPECT_EQ(archive_read_open_filename(a, QFile::encodeName(path).constData(), 65536),
              ARCHIVE_OK);
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        BookEntry& e = entries.emplace_back();
        e.name = QString::fromUtf8(archive_entry_pathname_utf8(entry));
        e.format = QString::fromUtf8(archive_format_name(a));
        e.bytes.resize(archive_entry_size(entry));
        EXPECT_EQ(archive_read_data(a, e.bytes.data(), std::size_t(e.bytes.size())),
                  e.bytes.size());
    }
    archive_read_free(a);
    return entries;
}

// The elements named `name` of an XML document, each as its attributes "key=value".
std::vector<QStringList> xmlElements(const QByteArray& xml, const QString& name) {
    std::vector<QStringList> found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != name)
            continue;
        QStringList& attributes = found.emplace_back();
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            attributes << attribute.name().toString() + "=" + attribute.value().toString();
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    return found;
}

// A 600 x 800 page with checkered panels (a panel placed one pixel off no longer matches its
// piece): two side by side over rows 40..380, then a low tier of three (rows 420..460) that the
// first pass keeps as one band and the second pass cuts apart.
QImage tieredPage() {
    QImage page = plainPage(600, 800);
    QPainter painter(&page);
    QImage checks(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checks.setPixel(x, y, (x < 4) == (y < 4) ? qRgb(60, 60, 60) : qRgb(150, 150, 150));
    for (const QRect& panel :
         {QRect(QPoint(40, 40), QPoint(290, 380)), QRect(QPoint(310, 40), QPoint(560, 380)),
          QRect(QPoint(40, 420), QPoint(190, 460)), QRect(QPoint(225, 420), QPoint(375, 460)),
          QRect(QPoint(410, 420), QPoint(560, 460))})
        painter.fillRect(panel, QBrush(checks));
    return page;
}

struct PanelCase {
    const char* name;
    QStringList options;
    int header;
    int turn; // degrees each pass turns the page
    int passes;
};

class PanelOutputs : public ::testing::TestWithParam<PanelCase> {};

TEST_P(PanelOutputs, MapsPlacePiecesOnTheirPagesAndTheBookHoldsThemInOrder) {
    const PanelCase& c = GetParam();
    JobFixture f;
    writeComicPage(f.source(), "p1", 1);
    savePage(tieredPage(), f.source(), "p2", PageFormat::Jpeg, 95);
    ASSERT_EQ(
        f.cutWithVantola(f.source(), c.options + QStringList{"--header", QString::number(c.header),
                                                             "--cbz", "--frames"})
            .status,
        0);

    QFile json(f.output() + "frames.json");
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray pages = QJsonDocument::fromJson(json.readAll()).array();
    ASSERT_EQ(pages.size(), 2);
    QStringList pieces;
    QStringList expectedFrames;
    for (const QJsonValue& value : pages) {
        const QJsonObject page = value.toObject();
        const QString file = f.source() + page["filename"].toString();
        const QImage picture(file);
        ASSERT_FALSE(picture.isNull()) << qPrintable(file);
        EXPECT_EQ(page["size"].toArray(), (QJsonArray{picture.width(), picture.height()}));
        const QJsonArray panels = page["panels"].toArray();
        ASSERT_EQ(panels.size(), page["pieces"].toArray().size());
        expectedFrames << "image href=../" + page["filename"].toString();
        for (qsizetype i = 0; i < panels.size(); ++i) {
            const QJsonArray p = panels[i].toArray();
            const QRect panel(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
            const QString pieceName = page["pieces"].toArray()[i].toString();
            SCOPED_TRACE(qPrintable(pieceName));
            pieces << pieceName;
            expectedFrames << QStringLiteral("frame points=%1,%2 %3,%2 %3,%4 %1,%4")
                                  .arg(panel.left())
                                  .arg(panel.top())
                                  .arg(panel.right() + 1)
                                  .arg(panel.bottom() + 1);
            // The piece, turned back as each pass turned it (a piece kept whole is not
            // turned), is the panel of the page file where the cutter read the page (below
            // the header). A turned piece may carry one more row or column of the grid, which
            // lies off the page and is no part of its panel.
            const QImage piece(f.output() + pieceName);
            const QRect read = panel & QRect(0, c.header, picture.width(), picture.height());
            const QImage expected = picture.copy(read).convertToFormat(piece.format());
            double best = 0;
            for (int passes = 0; passes <= c.passes; ++passes) {
                const QImage back = piece.transformed(QTransform().rotate(-c.turn * passes));
                const QSize slack = back.size() - panel.size();
                if (slack.width() < 0 || slack.height() < 0 || slack.width() + slack.height() > 1)
                    continue;
                for (const QPoint shift : {QPoint(0, 0), QPoint(slack.width(), slack.height())})
                    best = std::max(
                        best, psnr(back.copy(read.translated(shift - panel.topLeft())), expected));
            }
            EXPECT_GT(best, 25.0) << panel.x() << "," << panel.y() << " " << panel.width() << "x"
                                  << panel.height();
        }
    }
    // Reading order is the cut record's order of the pieces kept (a double pass records both).
    QFile record(f.home() + "decoupage.ini");
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    QStringList recorded;
    for (const auto& m : QRegularExpression("FICHIER_\\d+=.*/([^/\r\n]+)")
                             .globalMatch(QString::fromUtf8(record.readAll())))
        if (QFileInfo::exists(f.output() + m.captured(1)))
            recorded << m.captured(1);
    EXPECT_EQ(pieces, recorded);

    // The ACBF document parses, and its body frames the same panels, page after page.
    QFile acbf(f.output() + "frames.acbf");
    ASSERT_TRUE(acbf.open(QIODevice::ReadOnly));
    QStringList frames;
    QXmlStreamReader reader(acbf.readAll());
    bool inBody = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        inBody = inBody || reader.name() == u"body";
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            if (inBody)
                frames << reader.name().toString() + " " + attribute.name().toString() + "=" +
                              attribute.value().toString();
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    EXPECT_EQ(frames, expectedFrames);

    // The book: every piece stored as it is on disk, in reading order, then ComicInfo.xml.
    const std::vector<BookEntry> book = readBook(f.output() + "pages.cbz");
    ASSERT_EQ(qsizetype(book.size()), pieces.size() + 1);
    std::vector<QStringList> infoPages;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const BookEntry& e = book[std::size_t(i)];
        EXPECT_EQ(e.name, QStringLiteral("%1_").arg(i + 1, 4, 10, QLatin1Char('0')) + pieces[i]);
        EXPECT_EQ(e.format, "ZIP 1.0 (uncompressed)") << qPrintable(e.name);
        QFile piece(f.output() + pieces[i]);
        ASSERT_TRUE(piece.open(QIODevice::ReadOnly));
        EXPECT_EQ(e.bytes, piece.readAll()) << qPrintable(e.name);
        const QSize size = QImageReader(piece.fileName()).size();
        infoPages.push_back({QStringLiteral("Image=%1").arg(i),
                             QStringLiteral("ImageSize=%1").arg(piece.size()),
                             QStringLiteral("ImageWidth=%1").arg(size.width()),
                             QStringLiteral("ImageHeight=%1").arg(size.height())});
    }
    EXPECT_EQ(book.back().name, "ComicInfo.xml");
    EXPECT_EQ(xmlElements(book.back().bytes, "Page"), infoPages);
    EXPECT_TRUE(book.back().bytes.contains("<Title>pages</Title>"));
    EXPECT_TRUE(book.back().bytes.contains(
        QStringLiteral("<PageCount>%1</PageCount>").arg(pieces.size()).toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PanelOutputs,
    ::testing::Values(
        PanelCase{"Plain", {}, 0, 0, 1},
        PanelCase{"ClockwiseHeaded", {"--rotate", "cw"}, 40, 90, 1},
        PanelCase{"AnticlockwiseDoublePass", {"--rotate", "ccw", "--double-pass"}, 0, -90, 2},
        PanelCase{"DoublePass", {"--double-pass"}, 0, 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A book or a map that cannot take its name (a folder bears it) fails the job, says why in the
// log, and loses nothing: the pieces, the other outputs and the folder in the way stay.
TEST(PanelOutputFailure, IsReportedAndLosesNothing) {
    for (const QString blocked : {"pages.cbz", "frames.json"}) {
        SCOPED_TRACE(qPrintable(blocked));
        JobFixture f;
        writeComicPages(f.source(), 1);
        ASSERT_TRUE(QDir().mkpath(f.output() + blocked + "/kept"));
        EXPECT_EQ(f.cutWithVantola(f.source(), {"--cbz", "--frames"}).status, 1);
        EXPECT_EQ(fileNames(f.output(), "*.jpg").size(), kPanelsPerPage);
        EXPECT_TRUE(QFileInfo(f.output() + blocked + "/kept").isDir());
        for (const QString other : {"pages.cbz", "frames.json", "frames.acbf"})
            EXPECT_EQ(QFileInfo(f.output() + other).isFile(), other != blocked)
                << qPrintable(other);
        EXPECT_EQ(fileNames(f.output(), ".vantola-*"), QStringList());
        EXPECT_TRUE(f.outputLog().filter("ERREUR : ").join("").contains(blocked));
    }
}

} // namespace
} // namespace vantola::test
