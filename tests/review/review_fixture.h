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
#include "review/thumbnail_slot.h"
#include "support/test_pages.h"
#include "support/qstring_printer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <vector>

namespace vantola::test {

class ReviewTest : public MainWindowTest {
protected:
    void SetUp() override { openWindow(); }

    // Three pages cut into three pieces each:
    //   a.jpg: a left column of two stacked panels, a panel on its right, a wide panel below.
    //          The left column is one piece of the first pass, split in two by a second pass.
    //   b.jpg: a wide panel on top, a tall panel and a broad one below.
    //   c.jpg: three panels side by side.
    void addThreePages();
    // Cuts the whole source folder as the folder command does, without its closing message.
    void cutFolder(bool doublePass = false);
    void openReview();

    frmDiapo& diapo() const { return *compare->reviewWindow(); }
    void showPage(int index) { diapo().HScrollFile()->setValue(index); }
    std::vector<int> shownSlots() const;
    QStringList shownPieceNames() const;
    // The pieces of a page in the piece folder, in listing order.
    QStringList piecesOnDisk(const QString& pageName) const;
    QString pieceFolder() const { return source.path() + QStringLiteral("VANTOLA/"); }
    // The rectangle bounding the pixels of the sketch in that colour: black outlines, red for
    // pieces split again. Empty when none.
    QRect sketchBounds(QRgb colour) const;

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
