#pragma once

// A main window on a temporary program folder and a source folder of pages, cut by a real job
// and reviewed in the compare tool. Messages are recorded, the picture dialog returns nextImage
// and the deletion question nextAnswer.

#include "app/main_window.h"
#include "review/frm_diapo.h"
#include "review/mdi_compare.h"
#include "support/page_generator.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vantola::test {

struct ShownMessage {
    QString title;
    QString text;
};

class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Three pages cut into three pieces each:
    //   a.jpg: a left column of two stacked panels, a panel on its right, a wide panel below.
    //          The left column is one piece of the first pass, split in two by a second pass.
    //   b.jpg: a wide panel on top, a tall panel and a broad one below.
    //   c.jpg: three panels side by side.
    void addThreePages();
    // A generated page whose tiers hold the given numbers of panels.
    void addPanelPage(const QString& name, std::vector<int> panelsPerTier, int height,
                      std::uint64_t seed);
    // Cuts the whole source folder as the folder command does, without its closing message.
    void cutFolder(bool doublePass = false);
    void openReview();
    void closeReview();

    frmDiapo& diapo() const { return *compare->diapo(); }
    void showPage(int index);
    std::vector<int> shownSlots() const;
    QStringList shownPieceNames() const;
    // The pieces of a page in the piece folder, in listing order.
    QStringList piecesOnDisk(const QString& pageName) const;
    QString pieceFolder() const { return source.path() + QStringLiteral("VANTOLA/"); }

    TempFolder home;
    TempFolder source;
    ProgramState state;
    std::unique_ptr<frmBD> window;
    MDI_Compare* compare = nullptr;
    std::vector<ShownMessage> messages;
    QString nextImage;
    bool nextAnswer = false;
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
