#pragma once

// The main window's fixture with a source folder of pages, cut by a real job and reviewed in the
// compare tool. A deletion question is counted and answered No. Includes what the review tests
// reach through the window.

#include "app/main_window_test_fixture.h"
#include "review/compare_tool.h"
#include "review/cut_overlay.h"
#include "review/frm_diapo.h"
#include "review/mdi_compare.h"
#include "review/picture_box.h"
#include "review/piece_listing.h"
#include "review/thumbnail_slot.h"
#include "settings/path_parts.h"
#include "support/qstring_printer.h"
#include "support/test_pages.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace vantola::test {

class ReviewTest : public MainWindowTest {
protected:
    void SetUp() override { openWindow(); }

    // Three pages of grey framed panels on white paper, cut into three pieces each:
    //   a.jpg: a left column of two stacked panels, a panel on its right, a wide panel below.
    //          The stacked panels start lower than their neighbour: the left piece of the first
    //          pass then begins with white rows, which lets a second pass cut it at its gutter.
    //   b.jpg: a wide panel on top, a tall panel and a broad one below.
    //   c.jpg: three panels side by side.
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

    // The pieces of a page in the piece folder, in listing order.
    QStringList piecesOnDisk(const QString& pageName) const {
        QStringList pieces;
        for (const QString& name : listPlainFiles(pieceFolder()))
            if (name.startsWith(pageName) && name.endsWith(".jpg"))
                pieces << name;
        return pieces;
    }

    QString pieceFolder() const { return source.path() + "VANTOLA/"; }

    // The rectangle bounding the pixels of the sketch in that colour: black outlines, red for
    // pieces split again. Empty when none.
    QRect sketchBounds(QRgb colour) const {
        const QImage surface = diapo().PicCalque()->surface();
        QRect bounds;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                if (surface.pixel(x, y) == colour)
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    TempFolder source;
    MDI_Compare* compare = nullptr;
    int questions = 0;
};

// The three pages, cut, under review.
class ThreePagesReviewTest : public ReviewTest {
protected:
    void SetUp() override {
        ReviewTest::SetUp();
        addThreePages();
        cutFolder();
        openReview();
    }
};

} // namespace vantola::test
