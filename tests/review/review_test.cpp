// The review window on pages cut by a real job: what it shows and reads, re-cuts and deletes.
#include "app/main_window_test_fixture.h"
#include "review/compare_tool.h"
#include "review/cut_overlay.h"
#include "review/cut_sketch.h"
#include "review/frm_diapo.h"
#include "review/mdi_compare.h"
#include "review/picture_box.h"
#include "review/piece_listing.h"
#include "review/thumbnail_slot.h"
#include "settings/path_parts.h"
#include "support/job_fixture.h"
#include "support/qstring_printer.h"
#include "support/test_pages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <tuple>

namespace vantola::test {
namespace {

// HOME is the program folder meanwhile: a wastebasket, when a test makes one, is its own.
class ReviewTest : public MainWindowTest {
protected:
    void SetUp() override {
        qputenv("HOME", QFile::encodeName(home.path()));
        openWindow();
    }
    void TearDown() override { qputenv("HOME", savedHome); }

    // Three pages of three pieces each. In a.jpg, a left column of two stacked panels starts
    // lower than its neighbour: its first-pass piece begins with white rows, so that a second
    // pass cuts it at its gutter. b.jpg: a wide panel over a tall one and a broad one.
    void addThreePages() {
        const auto draw = [this](const char* name, QSize size, const std::vector<QRect>& panels) {
            QImage page(size, QImage::Format_RGB32);
            page.fill(Qt::white);
            QPainter painter(&page);
            painter.setPen(QPen(Qt::black, 2));
            painter.setBrush(QColor(110, 110, 110));
            for (const QRect& panel : panels)
                painter.drawRect(panel);
            painter.end();
            savePage(page, source.path(), QLatin1String(name), PageFormat::Jpeg);
        };
        draw("a", {600, 800},
             {{30, 45, 260, 155}, {30, 220, 260, 170}, {310, 30, 260, 360}, {30, 430, 540, 340}});
        draw("b", {600, 800}, {{30, 30, 540, 150}, {30, 220, 150, 550}, {210, 220, 360, 550}});
        draw("c", {600, 400}, {{30, 30, 160, 340}, {220, 30, 160, 340}, {410, 30, 160, 340}});
    }

    // Cuts the whole source folder as the folder command does, without its closing message.
    void cutFolder(bool doublePass = false) {
        if (item("mnu_doublepasse")->isChecked() != doublePass)
            item("mnu_doublepasse")->trigger();
        state.bSansMessage = true;
        ASSERT_TRUE(window->runJob(source.path(), QString(), 0));
    }

    void openReview() {
        compare = showCompareTool(*window);
        ASSERT_NE(compare, nullptr);
        ASSERT_NE(compare->reviewWindow(), nullptr);
        diapo().hooks().askYesNo = [this](const QString&, const QString&) {
            ++questions;
            return false;
        };
    }

    frmDiapo& diapo() const { return *compare->reviewWindow(); }
    void showPage(int index) { diapo().HScrollFile()->setValue(index); }
    QString info() const { return diapo().LblInfo()->text(); }

    std::vector<int> shownSlots() const {
        std::vector<int> shown;
        for (int i = 0; i < 16; ++i)
            if (diapo().FrameContour(i)->isVisibleTo(&diapo()))
                shown.push_back(i);
        return shown;
    }

    QStringList shownPieceNames() const {
        QStringList names;
        for (int i : shownSlots())
            names << ExtraireNomFichier(diapo().thumbnail(i)->tag());
        return names;
    }

    QStringList piecesOnDisk(const QString& pageName) const {
        QStringList pieces;
        for (const QString& name : listPlainFiles(pieceFolder()))
            if (name.startsWith(pageName) && name.endsWith(".jpg"))
                pieces << name;
        return pieces;
    }

    QString pieceFolder() const { return source.path() + "VANTOLA/"; }
    QByteArray log() const { return readFileBytes(pieceFolder() + "log.txt"); }
    QByteArray cutRecord() const { return readFileBytes(state.sFichierDecoupage); }

    // Bounds of the sketch's pixels of that colour: black outlines, red for pieces split again.
    QRect sketchBounds(QRgb colour) const {
        const QImage surface = diapo().PicCalque()->surface();
        QRect bounds;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                if (surface.pixel(x, y) == colour)
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    const QByteArray savedHome = qgetenv("HOME");
    TempFolder source;
    MDI_Compare* compare = nullptr;
    int questions = 0;
};

class ThreePagesReviewTest : public ReviewTest {
protected:
    void SetUp() override {
        ReviewTest::SetUp();
        addThreePages();
        cutFolder();
        openReview();
    }
};

// An archive chosen in a window command is reviewed like a folder, PNG pages too, and re-cut.
TEST_F(ReviewTest, ArchiveFromTheWindowIsReviewedAndRecut) {
    addThreePages();
    ASSERT_TRUE(QImage(source.file("b.jpg")).save(source.file("b.png")));
    ASSERT_TRUE(writeFileBytes(source.file("broken.cbr"), "no archive"));
    nextImage = source.file("broken.cbr");
    item("mnu_ouvrirrep")->trigger();
    EXPECT_EQ(messageTitles(), QStringList{"ARCHIVE NON EXTRAITE"});
    EXPECT_FALSE(QDir(source.path() + "broken").exists());
    const QString archive = source.file("book.cbz");
    ASSERT_EQ(runProgram("bsdtar", {"-cf", archive, "--format", "zip", "-C", source.path(), "c.jpg",
                                    "b.png", "a.jpg"})
                  .status,
              0);
    nextImage = archive;
    messages.clear();
    item("mnu_ouvririmage")->trigger();
    EXPECT_EQ(messageTitles(), QStringList{"DECOUPAGE TERMINE"});
    const QString book = source.path() + "book/";
    EXPECT_EQ(state.sRepSource, book);

    openReview();
    ASSERT_EQ(diapo().tabImages().size(), 3u);
    EXPECT_EQ(info(), "3 diapos sur 0001-a.jpg");
    showPage(1);
    EXPECT_EQ(info(), "3 diapos sur 0002-b.png");
    diapo().txtNbBlanc()->setText("1600");
    diapo().CmdRedecouper()->click();
    EXPECT_TRUE(readFileBytes(book + "VANTOLA/log.txt").contains("Niveau du blanc : 1600"));
    EXPECT_TRUE(cutRecord().contains("0002-b.png]"));
}

TEST_F(ReviewTest, PagesStepThroughTheFolderWithCaptionsThumbnailsAndMarks) {
    writeParamIni("[FRANCAIS]\r\nT0=Page vue\r\nT5=Refaire\r\n");
    addThreePages();
    state.lNiveauBlanc = 1400;
    cutFolder();
    openReview();

    ASSERT_EQ(diapo().tabImages().size(), 3u);
    EXPECT_EQ(diapo().columnTitle(0)->text(), "Page vue");
    EXPECT_EQ(diapo().CmdRedecouper()->text(), "Refaire");
    EXPECT_EQ(diapo().txtNbBlanc()->text(), "1400");
    EXPECT_EQ(diapo().windowTitle(), source.path() + "   (0/2)");
    EXPECT_EQ(info(), "3 diapos sur a.jpg");
    EXPECT_EQ(diapo().ImageORIGINAL()->picture().size(), diapo().ImageORIGINAL()->size());

    showPage(1); // b.jpg: a wide panel, a tall one, a broad one
    EXPECT_EQ(diapo().windowTitle(), source.path() + "   (1/2)");
    ASSERT_EQ(shownSlots(), std::vector<int>({0, 1, 2}));
    // The wide piece fills the box's width, the tall one its height, each centred at the top.
    for (int slot : {0, 1}) {
        const PictureBox* thumbnail = diapo().thumbnail(slot);
        const QSize natural = QImageReader(thumbnail->tag()).size();
        const QRect shown = thumbnail->geometry();
        ASSERT_TRUE(slot == 0 ? natural.width() > 2 * natural.height()
                              : natural.height() > 2 * natural.width());
        const QSize fitted = natural.scaled(117, 68, Qt::KeepAspectRatio);
        EXPECT_NEAR(shown.width(), fitted.width(), 1);
        EXPECT_NEAR(shown.height(), fitted.height(), 1);
        EXPECT_EQ(thumbnail->picture().size(), shown.size());
        EXPECT_TRUE(diapo().FrameContour(slot)->rect().contains(shown));
        EXPECT_NEAR(shown.left() + shown.width() / 2.0, 60, 1.0);
        EXPECT_EQ(shown.top(), 6);
    }
    // Only the pictures grow with the window; the info label stays under the thumbnails, off the
    // page.
    const QSize button = diapo().CmdRedecouper()->size(), sketch = diapo().PicCalque()->size();
    const QSize slot = diapo().FrameContour(0)->size(), page = diapo().pageFrame()->size();
    for (int width : {1600, 900}) {
        compare->showNormal();
        compare->resize(width, 1000);
        QApplication::processEvents();
        const QRect label = diapo().LblInfo()->geometry();
        EXPECT_NEAR(label.top(), diapo().thumbnailFrame()->geometry().bottom() + 8, 1);
        EXPECT_GT(label.left(), diapo().pageFrame()->geometry().right());
        if (diapo().width() > 2 * diapo().pageFrame()->width() + label.width()) {
            EXPECT_LE(std::abs(label.left() + label.right() + 1 - diapo().width()), 1);
        }
        const bool wide = width == 1600;
        EXPECT_EQ(diapo().pageFrame()->width() > page.width(), wide);
        EXPECT_EQ(diapo().FrameContour(0)->width() > slot.width(), wide);
        EXPECT_TRUE(diapo().pageFrame()->height() > page.height() &&
                    diapo().PicCalque()->height() > sketch.height() &&
                    diapo().FrameContour(0)->height() > slot.height());
        EXPECT_EQ(diapo().CmdRedecouper()->size(), button);
        EXPECT_GT(diapo().CmdRedecouper()->y(), label.bottom());
        EXPECT_EQ(diapo().thumbnail(1)->picture().size(), diapo().thumbnail(1)->size());
    }

    // Marks survive page changes and showing the tool again; a closed tool reopens without them.
    diapo().chkRedecoupe()->click();
    showPage(2);
    EXPECT_FALSE(diapo().chkRedecoupe()->isChecked());
    showPage(1);
    EXPECT_TRUE(diapo().chkRedecoupe()->isChecked());
    EXPECT_EQ(diapo().tabImages()[1].mark, "OK");
    diapo().chkRedecoupe()->click();
    EXPECT_EQ(diapo().tabImages()[1].mark, QString());
    diapo().chkRedecoupe()->click();
    EXPECT_EQ(showCompareTool(*window), compare);
    EXPECT_EQ(diapo().tabImages()[1].mark, "OK");

    // Closing only the review window leaves an empty container, which comes back empty.
    compare->area()->subWindowList().front()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(compare->reviewWindow(), nullptr);
    EXPECT_EQ(showCompareTool(*window), compare);
    EXPECT_EQ(compare->reviewWindow(), nullptr);

    compare->close();
    delete compare; // closing schedules the deletion; the test needs it done now
    openReview();
    for (const PageRow& row : diapo().tabImages())
        EXPECT_TRUE(row.mark.isEmpty());
    showPage(1);
    EXPECT_FALSE(diapo().chkRedecoupe()->isChecked());
    EXPECT_EQ(state.sRepSource, source.path());
}

TEST_F(ReviewTest, PiecesComeInScreensOfSixteen) {
    PageSpec spec{.width = 600, .seed = 0, .panelsPerTier = {}, .gutter = 20, .margin = 30};
    spec.balloons = false;
    for (const auto& [name, tiers] : {std::pair{"p20", std::vector{4, 4, 4, 4, 4}},
                                      {"p32", std::vector{4, 4, 4, 4, 4, 4, 4, 4}},
                                      {"p5", std::vector{3, 2}}}) {
        spec.panelsPerTier = tiers;
        spec.height = int(tiers.size()) * 180;
        ++spec.seed;
        savePage(generatePage(spec).image, source.path(), QLatin1String(name), PageFormat::Jpeg);
    }
    cutFolder();
    openReview(); // pages in name order: p5, p20, p32
    showPage(1);
    const QStringList pieces = piecesOnDisk("p20.jpg");
    ASSERT_EQ(pieces.size(), 20);
    EXPECT_EQ(diapo().ScrVerticale()->maximum(), 1);
    EXPECT_EQ(shownPieceNames(), pieces.mid(0, 16));
    diapo().ScrVerticale()->setValue(1);
    EXPECT_EQ(shownSlots(), std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(shownPieceNames(), pieces.mid(16));

    showPage(2); // 32 pieces: screen 2 exists and is empty
    ASSERT_EQ(state.tabDiapos.size(), 32);
    EXPECT_EQ(diapo().ScrVerticale()->maximum(), 2);
    EXPECT_EQ(diapo().ScrVerticale()->value(), 1); // the screen is kept across pages
    EXPECT_EQ(shownPieceNames(), piecesOnDisk("p32.jpg").mid(16));
    diapo().ScrVerticale()->setValue(2);
    EXPECT_TRUE(shownSlots().empty());

    showPage(0); // 5 pieces: the screen falls back to 0
    EXPECT_EQ(diapo().ScrVerticale()->maximum(), 0);
    EXPECT_EQ(diapo().ScrVerticale()->value(), 0);
    EXPECT_EQ(shownPieceNames(), piecesOnDisk("p5.jpg"));
    EXPECT_EQ(info(), "5 diapos sur p5.jpg");
}

TEST_F(ReviewTest, TheSketchOutlinesSplitPiecesInRedAfterADoublePass) {
    addThreePages();
    cutFolder(true);
    openReview();
    // The thumbnails are the second-pass pieces: the left column in two.
    EXPECT_EQ(info(), "4 diapos sur a.jpg");

    ASSERT_EQ(diapo().PicCalque()->surface().size(), QSize(129, 209));
    const QRect red = sketchBounds(qRgb(255, 0, 0));
    const QRect black = sketchBounds(qRgb(0, 0, 0));
    // Red: the left column, top half. Black: the panel on its right and the wide one below.
    ASSERT_FALSE(red.isEmpty());
    EXPECT_LT(red.right(), 129 / 2);
    EXPECT_LT(red.bottom(), 209 / 2);
    EXPECT_LT(black.top(), red.top() + 2);
    EXPECT_GT(black.bottom(), 209 * 3 / 4);

    showPage(2); // c.jpg: nothing split, black only
    EXPECT_TRUE(sketchBounds(qRgb(255, 0, 0)).isEmpty());
    EXPECT_FALSE(sketchBounds(qRgb(0, 0, 0)).isEmpty());
}

// Without a source folder, Cancel leaves no window and a chosen picture's folder is the source.
TEST_F(ReviewTest, AFolderWithoutJpegPagesShowsNothingAndSaysSo) {
    writeParamIni("[FRANCAIS]\r\nT12=Revue des pages\r\n");
    ASSERT_TRUE(writeFileBytes(source.file("c.jpeg"), "x"));
    ASSERT_TRUE(writeFileBytes(source.file("d.bmp"), "x"));
    EXPECT_EQ(showCompareTool(*window), nullptr);
    QApplication::processEvents();
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<MDI_Compare*>(widget), nullptr);
    EXPECT_TRUE(state.sRepSource.isEmpty());
    nextImage = source.file("d.bmp");
    openReview();
    EXPECT_EQ(state.sRepSource, source.path());
    EXPECT_TRUE(compare->isMaximized());

    EXPECT_TRUE(diapo().tabImages().empty());
    EXPECT_EQ(diapo().windowTitle(), "Revue des pages");
    EXPECT_EQ(info(), "Aucune image .JPG dans " + source.path());
    EXPECT_FALSE(diapo().ImageORIGINAL()->notice().isEmpty());
    EXPECT_TRUE(shownSlots().empty());
    EXPECT_FALSE(diapo().CmdRedecouper()->isEnabled());
    // Even driven directly, nothing runs and nothing breaks.
    diapo().HScrollFile_Change();
    diapo().chkRedecoupe()->setChecked(true);
    diapo().CmdRedecouper_Click();
    diapo().CmdRecoupeALL_Click();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(QFile::exists(pieceFolder()));
}

// Unreadable pictures and page sizes are named instead of shown; the rest of the window works on.
TEST_F(ReviewTest, UnreadablePicturesAndRecordsAreNamedInsteadOfShown) {
    addThreePages();
    cutFolder();
    const QStringList pieces = piecesOnDisk("a.jpg");
    ASSERT_TRUE(writeFileBytes(source.file("a.jpg"), "not a picture"));
    ASSERT_TRUE(writeFileBytes(pieceFolder() + pieces[1], "not a picture either"));
    Cls_InitREG ini;
    ASSERT_NE(ini.IniEcrire(source.file("b.jpg"), "WIDTH", "0", state.sFichierDecoupage), 0);
    ASSERT_NE(ini.IniEcrire(source.file("c.jpg"), "HEIGHT", "haut", state.sFichierDecoupage), 0);
    openReview();

    EXPECT_TRUE(diapo().ImageORIGINAL()->picture().isNull());
    EXPECT_TRUE(diapo().ImageORIGINAL()->notice().contains("a.jpg"));
    EXPECT_FALSE(sketchBounds(qRgb(0, 0, 0)).isEmpty()); // the record still draws
    EXPECT_EQ(shownSlots().size(), 3u);
    EXPECT_TRUE(diapo().thumbnail(1)->picture().isNull());
    EXPECT_TRUE(diapo().thumbnail(1)->notice().contains(pieces[1]));
    EXPECT_FALSE(diapo().thumbnail(2)->picture().isNull());
    diapo().EffacerDiapo(1); // an unreadable piece can still be deleted
    EXPECT_EQ(info(), "2 diapos sur a.jpg");

    for (int page : {1, 2}) {
        SCOPED_TRACE(page);
        showPage(page);
        EXPECT_TRUE(sketchBounds(qRgb(0, 0, 0)).isEmpty());
        EXPECT_TRUE(diapo().PicCalque()->notice().contains("HEIGHT"));
        EXPECT_FALSE(diapo().ImageORIGINAL()->picture().isNull());
        EXPECT_EQ(shownSlots().size(), 3u);
    }
    showPage(0); // a sound record draws again, and clears the notice
    EXPECT_FALSE(sketchBounds(qRgb(0, 0, 0)).isEmpty());
    EXPECT_TRUE(diapo().PicCalque()->notice().isEmpty());
}

// A page's pieces: its name as a prefix in any case, plain files only; the bar cycles, then hides.
TEST_F(ReviewTest, PieceListingMatchesThePageNameAsAPrefixAndCyclesItsBar) {
    state.sRepSource = source.path();
    MDI_Compare tool(*window);
    const auto listed = [&](const QString& page) {
        tool.renseigner_tableau(state.sRepSource, page);
        QStringList names;
        for (const QString& path : state.tabDiapos) {
            EXPECT_TRUE(path.startsWith(pieceFolder()));
            names << path.mid(pieceFolder().size());
        }
        return names;
    };
    QDir().mkpath(pieceFolder() + "page01.jpg-folder");
    for (const char* name : {"page01.jpg-0001.jpg", "PAGE01.JPG-0002.jpg", "page02.jpg-0001.jpg",
                             "a.jpgx.jpg", ".page01.jpg-hidden", "page01.jp"})
        ASSERT_TRUE(writeFileBytes(pieceFolder() + QLatin1String(name), "x"));
    EXPECT_EQ(listed("page01.jpg"), QStringList({"page01.jpg-0001.jpg", "PAGE01.JPG-0002.jpg"}));
    EXPECT_EQ(listed("a.jpg"), QStringList({"a.jpgx.jpg"}));
    EXPECT_TRUE(listed("page03.jpg").isEmpty());

    // A folder that was never cut has no piece folder: nothing is listed.
    QDir(pieceFolder()).removeRecursively();
    EXPECT_TRUE(listed("page01.jpg").isEmpty());
    // A source folder given without its final separator finds the same piece folder.
    QDir().mkpath(pieceFolder());
    for (int i = 1; i <= 250; ++i)
        ASSERT_TRUE(writeFileBytes(
            pieceFolder() + QString("p.jpg-%1.jpg").arg(i, 4, 10, QLatin1Char('0')), "x"));
    state.sRepSource.chop(1);
    std::vector<int> values;
    QObject::connect(tool.progressBar(), &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    EXPECT_EQ(listed("p.jpg").size(), 250);
    // 0 at the start, then 1 to 96 and over again from 1 (96 + 96 + 58 files), 100 at the end.
    ASSERT_GE(values.size(), 4u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(values.back(), 100);
    EXPECT_EQ(values[values.size() - 2], 58);
    EXPECT_EQ(*std::max_element(values.begin(), values.end() - 1), 96);
    EXPECT_FALSE(tool.progressBar()->isVisible());
}

// A record read back on the review window's sketch surface (1935 x 3135).
TEST(CutSketch, RectanglesAreScaledRoundedHalvesToEvenAndPulledIn) {
    TempFolder folder;
    const QString record = folder.file("decoupage.ini");
    const QString page = folder.file("page.jpg");
    // 1935 * 300 / 600 = 967.5 -> 968; 3135 * 400 / 800 = 1567.5 -> 1568;
    // 1935 * 1 / 600 = 3.225 -> 3; 3135 * 2 / 800 = 7.8375 -> 8.
    // Piece 4 is never reached: piece 3 has no record and ends the list.
    ASSERT_TRUE(writeFileBytes(
        record, "[" + page.toUtf8() +
                    "]\r\nWIDTH=600\r\nHEIGHT=800\r\n"
                    "COLONNE_1_1=1\r\nCOLONNE_2_1=300\r\nLIGNE_1_1=2\r\nLIGNE_2_1=400\r\n"
                    "FICHIER_1=/out/page.jpg-0001.jpg\r\n"
                    "COLONNE_1_2=300\r\nCOLONNE_2_2=600\r\nLIGNE_1_2=0\r\nLIGNE_2_2=800\r\n"
                    "FICHIER_2=/out/page.jpg-0002.jpg\r\n"
                    "COLONNE_1_4=10\r\nCOLONNE_2_4=20\r\nLIGNE_1_4=10\r\nLIGNE_2_4=20\r\n"));

    const CutSketch sketch = readCutSketch(page, QSizeF(1935, 3135), record);
    EXPECT_TRUE(sketch.problem.isEmpty());
    ASSERT_EQ(sketch.outlines.size(), 2u);
    const auto corners = [](const SketchOutline& o) { return std::tuple(o.x1, o.y1, o.x2, o.y2); };
    EXPECT_EQ(corners(sketch.outlines[0]), std::tuple(3, 8, 968 - 50, 1568 - 100));
    EXPECT_EQ(corners(sketch.outlines[1]), std::tuple(968, 0, 1935 - 50, 3135 - 100));
}

// A bad level starts no re-cut (other non-numbers: NumberText tests); a good one is kept unmarked.
TEST_F(ThreePagesReviewTest, RecuttingThePageUsesTheTypedLevelAndDebugSwitch) {
    const QByteArray recordBefore = cutRecord();
    diapo().chkRedecoupe()->click();
    for (const char* text : {"abc", "214749"}) {
        diapo().txtNbBlanc()->setText(QLatin1String(text));
        diapo().chkDebug()->setChecked(true);
        diapo().CmdRedecouper()->click();
        diapo().CmdRecoupeALL()->click();
        ASSERT_EQ(messageTitles(), QStringList(2, "REDECOUPAGE IMPOSSIBLE")) << text;
        EXPECT_TRUE(messages[0].text.contains("aucune image n'a été redécoupée"));
        messages.clear();
    }
    EXPECT_EQ(state.lNiveauBlanc, 1450);
    EXPECT_FALSE(state.bModeDebug);
    EXPECT_EQ(cutRecord(), recordBefore);
    diapo().chkRedecoupe()->click();
    diapo().txtNbBlanc()->setText(" 1500 ");
    diapo().CmdRecoupeALL()->click();
    EXPECT_EQ(state.lNiveauBlanc, 1500);
    EXPECT_EQ(cutRecord(), recordBefore);

    showPage(1);
    diapo().txtNbBlanc()->setText("1600");
    state.bSansMessage = false;
    diapo().CmdRedecouper()->click();
    EXPECT_EQ(state.lNiveauBlanc, 1600); // the main window's level too, from now on
    EXPECT_TRUE(state.bModeDebug && state.bSansMessage);
    EXPECT_TRUE(messages.empty()); // no closing message
    EXPECT_TRUE(diapo().isEnabled());
    EXPECT_TRUE(log().contains("Niveau du blanc : 1600"));
    EXPECT_TRUE(log().contains("bandes de "));
    // Only this page is in the record now; its new pieces from 1 sit beside the old ones (4 to 6).
    EXPECT_TRUE(cutRecord().contains("b.jpg]"));
    EXPECT_FALSE(cutRecord().contains("a.jpg]"));
    EXPECT_EQ(piecesOnDisk("b.jpg").first(), "b.jpg-0001.jpg");
    EXPECT_EQ(info(), "6 diapos sur b.jpg");
    EXPECT_EQ(diapo().HScrollFile()->value(), 1);

    // The other pages have no record now: an empty sketch, thumbnails as before.
    showPage(0);
    EXPECT_EQ(info(), "3 diapos sur a.jpg");
    showPage(1);
    diapo().chkDebug()->setChecked(false);
    diapo().CmdRedecouper()->click();
    EXPECT_FALSE(state.bModeDebug);
    EXPECT_FALSE(log().contains("bandes de "));
}

// A page re-cut in the review is cut by the finder of the job reviewed, whatever the menu says
// since: two panels on black paper are two pieces by their frames and not by white gutters.
TEST_F(ReviewTest, RecuttingUsesTheFinderOfTheReviewedJob) {
    QImage page(600, 400, QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    painter.fillRect(30, 30, 250, 340, QColor(200, 120, 60));
    painter.fillRect(320, 30, 250, 340, QColor(60, 120, 200));
    painter.end();
    savePage(page, source.path(), QStringLiteral("dark"), PageFormat::Jpeg);
    for (const bool byFrames : {true, false}) {
        SCOPED_TRACE(byFrames);
        if (item("mnu_detectercadres")->isChecked() != byFrames)
            item("mnu_detectercadres")->trigger();
        cutFolder();
        const qsizetype pieces = cutRecord().count("FICHIER_");
        EXPECT_EQ(pieces == 2, byFrames);
        item("mnu_detectercadres")->trigger();
        openReview();
        diapo().CmdRedecouper()->click();
        EXPECT_EQ(cutRecord().count("FICHIER_"), pieces);
        compare->close();
    }
}

TEST_F(ThreePagesReviewTest, RecuttingTheMarkedPagesRunsThemInPageOrder) {
    for (int page : {2, 0}) {
        showPage(page);
        diapo().chkRedecoupe()->click();
    }
    showPage(1);
    for (const char* piece : {"a.jpg-0001.jpg", "b.jpg-0004.jpg", "c.jpg-0007.jpg"})
        ASSERT_TRUE(QFile::remove(pieceFolder() + QLatin1String(piece)));
    diapo().CmdRecoupeALL()->click();

    // a.jpg and c.jpg were cut again (their pieces renumbered from 1), c.jpg last; b.jpg not.
    EXPECT_EQ(piecesOnDisk("a.jpg").first(), "a.jpg-0001.jpg");
    EXPECT_TRUE(QFile::exists(pieceFolder() + "c.jpg-0001.jpg"));
    EXPECT_FALSE(QFile::exists(pieceFolder() + "b.jpg-0004.jpg"));
    EXPECT_TRUE(cutRecord().contains("c.jpg]"));
    EXPECT_FALSE(cutRecord().contains("a.jpg]") || cutRecord().contains("b.jpg]"));
    // The page shown before is shown again, and the marks stay.
    EXPECT_EQ(diapo().HScrollFile()->value(), 1);
    EXPECT_EQ(info(), "2 diapos sur b.jpg");
    EXPECT_EQ(diapo().tabImages()[0].mark, "OK");
    EXPECT_EQ(diapo().tabImages()[2].mark, "OK");
    EXPECT_TRUE(state.bSansMessage);
}

// Re-cuts pressed during another folder's job must not change that job's level, debug or message.
TEST_F(ThreePagesReviewTest, RecutsRefusedDuringAJobAfterAFolderChangeOrForAGonePage) {
    TempFolder other;
    ASSERT_TRUE(QFile::copy(source.file("c.jpg"), other.file("c.jpg")));
    const QByteArray ownLog = log();
    showPage(1);
    diapo().txtNbBlanc()->setText("1500");
    diapo().chkDebug()->setChecked(true);
    diapo().chkRedecoupe()->click();
    state.bSansMessage = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!window->isJobRunning())
            return;
        timer.stop();
        diapo().CmdRedecouper()->click();
        diapo().CmdRecoupeALL()->click();
    });
    timer.start(0);
    ASSERT_TRUE(window->runJob(other.path(), QString(), 0));
    const QByteArray record = cutRecord(),
                     otherLog = readFileBytes(other.path() + "VANTOLA/log.txt");
    EXPECT_EQ(state.lNiveauBlanc, 1450);
    EXPECT_FALSE(state.bModeDebug || state.bSansMessage);
    EXPECT_TRUE(otherLog.contains("Niveau du blanc : 1450"));
    EXPECT_FALSE(otherLog.contains("bandes de "));

    EXPECT_EQ(diapo().windowTitle(), source.path() + "   (1/2)");
    EXPECT_EQ(info(), "3 diapos sur b.jpg");
    diapo().CmdRedecouper()->click();
    state.sRepSource = source.path(); // back on this folder, without b.jpg
    ASSERT_TRUE(QFile::remove(source.file("b.jpg")));
    diapo().CmdRedecouper()->click();
    EXPECT_EQ(messageTitles(),
              QStringList({"DECOUPAGE EN COURS", "DECOUPAGE EN COURS", "DECOUPAGE TERMINE",
                           "REDECOUPAGE IMPOSSIBLE", "REDECOUPAGE IMPOSSIBLE"}));
    EXPECT_TRUE(messages.back().text.contains("introuvable(s)"));
    EXPECT_EQ(cutRecord(), record);
    EXPECT_EQ(log(), ownLog);
    EXPECT_EQ(readFileBytes(other.path() + "VANTOLA/log.txt"), otherLog);
}

// A deleted piece goes to the wastebasket where the desktop has one (Qt's test mode keeps it
// under HOME/.qttest), and is removed where not. A piece that is a link loses the link only.
TEST_F(ThreePagesReviewTest, DeletedPiecesGoToTheWastebasketWhereThereIsOne) {
    const QString dataFolder = home.path() + ".qttest/share";
    const QString page = source.file("c.jpg");
    ASSERT_TRUE(QFile::link(page, pieceFolder() + "a.jpg-0009.jpg"));
    ASSERT_TRUE(QFile::setPermissions(page, QFileDevice::ReadOwner));
    diapo().AfficherImage();
    for (const bool wastebasket : {false, true}) {
        if (wastebasket)
            QDir().mkpath(dataFolder);
        const QStringList pieces = piecesOnDisk("a.jpg");
        QTest::mouseDClick(diapo().thumbnail(0), Qt::LeftButton);
        EXPECT_EQ(piecesOnDisk("a.jpg"), pieces.mid(1));
        EXPECT_EQ(QFile::exists(dataFolder + "/Trash/files/" + pieces[0]), wastebasket);
    }
    QTest::mouseDClick(diapo().thumbnail(1), Qt::LeftButton); // the link
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({"a.jpg-0003.jpg"}));
    EXPECT_FALSE(QFile::permissions(page) & QFileDevice::WriteOwner);
    EXPECT_GT(QFileInfo(page).size(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ThreePagesReviewTest, PiecesAreDeletedByDoubleClickOrByRightClickAndYes) {
    const QStringList pieces = piecesOnDisk("a.jpg");
    ASSERT_EQ(pieces.size(), 3);

    // A left click, and a right click answered No, change nothing.
    QTest::mouseClick(diapo().thumbnail(1), Qt::LeftButton);
    bool answer = false, borderedWhileAsked = false;
    diapo().hooks().askYesNo = [&](const QString&, const QString&) {
        ++questions;
        borderedWhileAsked = diapo().thumbnail(1)->bordered();
        return answer;
    };
    QTest::mouseClick(diapo().FrameContour(1), Qt::RightButton);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(borderedWhileAsked);
    EXPECT_FALSE(diapo().thumbnail(1)->bordered());
    EXPECT_EQ(piecesOnDisk("a.jpg"), pieces);

    // Yes deletes the slot's piece; the count drops by one.
    answer = true;
    QTest::mouseClick(diapo().thumbnail(1), Qt::RightButton);
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({pieces[0], pieces[2]}));
    EXPECT_EQ(info(), "2 diapos sur a.jpg");
    EXPECT_EQ(shownSlots().size(), 2u);

    // A double click deletes at once, even a read-only piece; the sketch keeps its outlines.
    QFile::setPermissions(pieceFolder() + pieces[0], QFileDevice::ReadOwner);
    QTest::mouseDClick(diapo().thumbnail(0), Qt::LeftButton);
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList({pieces[2]}));
    EXPECT_EQ(info(), "1 diapos sur a.jpg");
    EXPECT_EQ(questions, 2);

    // A piece already removed by other means: nothing to delete, the refresh drops it.
    ASSERT_TRUE(QFile::remove(pieceFolder() + pieces[2]));
    diapo().EffacerDiapo(0);
    EXPECT_EQ(info(), "0 diapos sur a.jpg");
    EXPECT_TRUE(shownSlots().empty());
    EXPECT_TRUE(messages.empty());
}

// Ctrl+Z restores deleted pieces last first, with the record as it was, never over a newer file.
TEST_F(ThreePagesReviewTest, KeysStepPagesDeleteTheSelectedPieceAndUndoBringsItBack) {
    compare->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(compare));
    EXPECT_EQ(QApplication::focusWidget(), &diapo());
    EXPECT_FALSE(window->windowIcon().isNull() || compare->windowIcon().isNull() ||
                 compare->area()->subWindowList().front()->windowIcon().isNull());
    const std::tuple<QWidget*, Qt::Key, int> steps[] = {{&diapo(), Qt::Key_PageDown, 1},
                                                        {&diapo(), Qt::Key_Right, 2},
                                                        {&diapo(), Qt::Key_Left, 1},
                                                        {&diapo(), Qt::Key_End, 2},
                                                        {diapo().txtNbBlanc(), Qt::Key_PageUp, 1},
                                                        {diapo().txtNbBlanc(), Qt::Key_Up, 0}};
    for (const auto& [target, key, page] : steps) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        QTest::keyClick(target, key);
        EXPECT_EQ(diapo().HScrollFile()->value(), page);
    }
    diapo().txtNbBlanc()->setFocus();
    QTest::keyClick(diapo().txtNbBlanc(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), &diapo());

    const QByteArray record = cutRecord();
    const QStringList pieces = piecesOnDisk("a.jpg");
    const QByteArray first = readFileBytes(pieceFolder() + pieces[1]);
    diapo().hooks().askYesNo = [this](const QString& title, const QString&) {
        ++questions;
        return title == "SUPPRESSION";
    };
    QTest::keyClick(&diapo(), Qt::Key_Delete); // nothing selected: nothing asked
    QTest::mouseClick(diapo().thumbnail(1), Qt::LeftButton);
    EXPECT_EQ(diapo().selectedSlot(), 1);
    QTest::keyClick(&diapo(), Qt::Key_1);
    EXPECT_EQ(diapo().selectedSlot(), 0);
    QTest::keyClick(&diapo(), Qt::Key_2);
    QTest::keyClick(&diapo(), Qt::Key_Delete);
    QTest::mouseDClick(diapo().thumbnail(0), Qt::LeftButton);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(piecesOnDisk("a.jpg"), QStringList{pieces[2]});

    showPage(2);
    QTest::keyClick(&diapo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(diapo().HScrollFile()->value(), 0);
    EXPECT_EQ(piecesOnDisk("a.jpg"), (QStringList{pieces[0], pieces[2]}));
    ASSERT_TRUE(writeFileBytes(pieceFolder() + pieces[1], "new"));
    diapo().CmdRetablir()->click();
    EXPECT_EQ(messageTitles(), QStringList{"RESTAURATION"});
    EXPECT_EQ(readFileBytes(pieceFolder() + pieces[1]), "new");
    ASSERT_TRUE(QFile::remove(pieceFolder() + pieces[1]));
    diapo().CmdRetablir()->click();
    EXPECT_EQ(piecesOnDisk("a.jpg"), pieces);
    EXPECT_EQ(readFileBytes(pieceFolder() + pieces[1]), first);
    EXPECT_FALSE(diapo().CmdRetablir()->isEnabled());
    EXPECT_EQ(cutRecord(), record);
}

} // namespace
} // namespace vantola::test
