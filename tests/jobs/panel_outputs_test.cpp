// The panel book (--cbz) and the panel maps (--frames) of jobs run through the real binary: every
// panel of the maps, cut from its page file and turned as the job turned it, must be its piece;
// the pieces follow the cut record's order; the book holds them stored, in that order. Then
// right-to-left reading order and long strips, by option and by their param.ini keys.
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/qstring_printer.h"
#include "support/test_pages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRect>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace vantola::test {
namespace {

// The elements with attributes from the first element `from` on, as "name key=value...".
QStringList xmlElements(const QByteArray& xml, QStringView from) {
    QStringList elements;
    QXmlStreamReader reader(xml);
    bool on = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        on = on || reader.name() == from;
        QString line = reader.name().toString();
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            line += " " + attribute.name().toString() + "=" + attribute.value().toString();
        if (on && !reader.attributes().isEmpty())
            elements << line;
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    return elements;
}

// A 600 x 800 page with checkered panels (a panel placed one pixel off no longer matches its
// piece): two side by side over rows 40..380, then a low tier of three (rows 420..460) that the
// first pass keeps as one band and the second pass cuts apart.
QImage tieredPage() {
    QImage page = plainPage(600, 800);
    QPainter painter(&page);
    // 4-pixel squares: nearest scaling of a 2 x 2 picture.
    const uchar cells[] = {60, 150, 150, 60};
    const QImage checks = QImage(cells, 2, 2, 2, QImage::Format_Grayscale8).scaled(8, 8);
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
    const QStringList options{"--header", QString::number(c.header), "--cbz", "--frames"};
    ASSERT_EQ(f.cutWithVantola(f.source(), c.options + options).status, 0);

    const QJsonArray pages =
        QJsonDocument::fromJson(readFileBytes(f.output() + "frames.json")).array();
    ASSERT_EQ(pages.size(), 2);
    QStringList pieces, expectedFrames, entries, infoPages;
    for (const QJsonValue& value : pages) {
        const QJsonObject page = value.toObject();
        const QImage picture(f.source() + page["filename"].toString());
        EXPECT_EQ(page["size"].toArray(), (QJsonArray{picture.width(), picture.height()}));
        const QJsonArray panels = page["panels"].toArray();
        ASSERT_EQ(panels.size(), page["pieces"].toArray().size());
        expectedFrames << "image href=../" + page["filename"].toString();
        for (qsizetype i = 0; i < panels.size(); ++i) {
            const QJsonArray p = panels[i].toArray();
            const QRect panel(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
            pieces << page["pieces"].toArray()[i].toString();
            SCOPED_TRACE(qPrintable(pieces.back()));
            const QPoint end = panel.bottomRight() + QPoint(1, 1);
            expectedFrames << QString::asprintf("frame points=%d,%d %d,%d %d,%d %d,%d", panel.x(),
                                                panel.y(), end.x(), panel.y(), end.x(), end.y(),
                                                panel.x(), end.y());
            const QImage piece(f.output() + pieces.back());
            entries << QString::number(pieces.size()).rightJustified(4, '0') + "_" + pieces.back();
            infoPages << QString::asprintf(
                "Page Image=%d ImageSize=%lld ImageWidth=%d ImageHeight=%d", int(pieces.size()) - 1,
                QFileInfo(f.output() + pieces.back()).size(), piece.width(), piece.height());
            // The piece turned back as each pass turned it (a piece kept whole is not turned)
            // is the panel where the cutter read the page (below the header). A turned piece
            // may carry one more row or column of the grid, off the page and off its panel.
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
            EXPECT_GT(best, 25.0);
        }
    }
    // Reading order is the cut record's order of the pieces kept (a double pass records both).
    QStringList recorded;
    for (const auto& m : QRegularExpression("FICHIER_\\d+=.*/([^/\r\n]+)")
                             .globalMatch(readFileBytes(f.home() + "decoupage.ini")))
        if (QFileInfo::exists(f.output() + m.captured(1)))
            recorded << m.captured(1);
    EXPECT_EQ(pieces, recorded);

    // The ACBF document parses, and its body frames the same panels, page after page.
    EXPECT_EQ(xmlElements(readFileBytes(f.output() + "frames.acbf"), u"body"), expectedFrames);

    // The book: every piece stored (method 0 of its local header) as it is on disk, in reading
    // order, then ComicInfo.xml, and no other entry in its central directory.
    const QByteArray book = readFileBytes(f.output() + "pages.cbz");
    const auto field = [&](qsizetype at) -> qsizetype { // a little-endian 16-bit field
        if (at < 0 || at + 2 > book.size())
            return -1;
        return quint8(book[at]) | quint8(book[at + 1]) << 8;
    };
    EXPECT_EQ(field(book.lastIndexOf("PK\5\6") + 10), pieces.size() + 1);
    entries << "ComicInfo.xml";
    qsizetype at = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QByteArray name = entries[i].toUtf8();
        const qsizetype header = book.indexOf(name, at) - 30;
        ASSERT_GE(header, at) << name.constData();
        EXPECT_EQ(book.mid(header, 4), "PK\3\4");
        EXPECT_EQ(field(header + 8), 0) << name.constData();
        EXPECT_EQ(field(header + 26), name.size());
        at = header + 30 + field(header + 26) + field(header + 28);
        const QByteArray piece = readFileBytes(f.output() + pieces.value(i));
        EXPECT_EQ(book.mid(at, piece.size()), piece) << i;
    }
    const QByteArray info = book.mid(at, book.indexOf("</ComicInfo>", at) + 12 - at);
    EXPECT_EQ(xmlElements(info, u"Pages"), infoPages);
    EXPECT_TRUE(info.contains(
        QStringLiteral("<Title>pages</Title>\n    <PageCount>%1<").arg(pieces.size()).toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PanelOutputs,
    ::testing::Values(
        PanelCase{"Plain", {}, 0, 0, 1},
        PanelCase{"ClockwiseHeaded", {"--rotate", "cw"}, 40, 90, 1},
        PanelCase{"AnticlockwiseDoublePass", {"--rotate", "ccw", "--double-pass"}, 0, -90, 2},
        PanelCase{"DoublePass", {"--double-pass"}, 0, 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A book or a map that cannot take its name (a folder bears it) fails the job and is named in the
// log; nothing is lost: the pieces, the other map and the folders in the way stay, and no
// temporary file is left.
TEST(PanelOutputFailure, IsReportedAndLosesNothing) {
    JobFixture f;
    writeComicPages(f.source(), 1);
    const QString blocked[] = {"pages.cbz", "frames.json"};
    for (const QString& name : blocked)
        ASSERT_TRUE(QDir().mkpath(f.output() + name + "/kept"));
    EXPECT_EQ(f.cutWithVantola(f.source(), {"--cbz", "--frames"}).status, 1);
    const QStringList files = QDir(f.output()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.filter(".jpg").size(), kPanelsPerPage);
    EXPECT_EQ(files.filter(QRegularExpression("^[^p]")), (QStringList{"frames.acbf", "log.txt"}));
    const QStringList errors = f.outputLog().filter("ERREUR : ");
    ASSERT_EQ(errors.size(), 2);
    for (const int i : {0, 1}) {
        EXPECT_TRUE(QFileInfo(f.output() + blocked[i] + "/kept").isDir());
        EXPECT_TRUE(errors[i].contains(blocked[i])) << qPrintable(errors[i]);
    }
}

// Right to left numbers the blocks of each band from the right. The webtoon strip has 30 panels,
// 37 times taller than wide: each is a small part of the whole height, so that only strip mode
// gives every panel its piece.
TEST(ReadingOrder, RightToLeftAndStripModeByOptionOrParamIni) {
    JobFixture f;
    const QString page = writeComicPage(f.source(), "p", 7);
    ASSERT_EQ(f.cutWithVantola(page).status, 0);
    const std::vector<QRect> leftToRight = recordedPieces(f.state.sFichierDecoupage, page);
    ASSERT_EQ(leftToRight.size(), std::size_t(kPanelsPerPage));
    // The same cuts, the two blocks of each of the three bands swapped.
    std::vector<QRect> rightToLeft = leftToRight;
    for (std::size_t band = 0; band < rightToLeft.size(); band += 2)
        std::swap(rightToLeft[band], rightToLeft[band + 1]);
    EXPECT_LT(leftToRight[0].left(), leftToRight[1].left());
    const GeneratedPage strip = generatePage({.width = 800,
                                              .height = 30 * 1000,
                                              .seed = 5,
                                              .panelsPerTier = std::vector<int>(30, 1),
                                              .gutter = 60,
                                              .margin = 40});
    const QString stripPage = savePage(strip.image, f.source(), "strip", PageFormat::Jpeg, 90);
    ASSERT_EQ(f.cutWithVantola(stripPage).status, 0);
    // Bands under a fifteenth of the height are lost or merged into taller bands.
    EXPECT_LT(recordedPieces(f.state.sFichierDecoupage, stripPage).size(),
              strip.layout.panels().size());

    const struct {
        const char* key; // in param.ini, with the value
        const char* value;
        QStringList options;
        const std::vector<QRect>* expected; // the pieces of p.jpg; none: the strip's panels
    } runs[] = {{"", "", {"--rtl"}, &rightToLeft},
                {"SENS_LECTURE", "DROITE_GAUCHE", {}, &rightToLeft},
                {"SENS_LECTURE", "DROITE_GAUCHE", {"--ltr"}, &leftToRight},
                {"SENS_LECTURE", "GAUCHE_DROITE", {}, &leftToRight},
                {"", "", {"--strip"}, nullptr},
                {"BANDE_VERTICALE", "OUI", {}, nullptr}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.options.join(' ').toStdString() + " " + run.key + " " + run.value);
        if (*run.key)
            f.setParam(run.key, run.value);
        const QString cut = run.expected ? page : stripPage;
        ASSERT_EQ(f.cutWithVantola(cut, run.options).status, 0);
        const std::vector<QRect> pieces = recordedPieces(f.state.sFichierDecoupage, cut);
        if (run.expected) {
            EXPECT_EQ(pieces, *run.expected);
            // The piece files follow the record: the first piece is the first band's first block.
            EXPECT_EQ(QImage(f.output() + "p.jpg-0001.jpg").size(),
                      run.expected->front().size() - QSize(1, 1));
            continue;
        }
        ASSERT_EQ(pieces.size(), strip.layout.panels().size());
        for (std::size_t i = 0; i < pieces.size(); ++i)
            EXPECT_TRUE(pieces[i].contains(strip.layout.panels()[i])) << i;
    }
}

} // namespace
} // namespace vantola::test
