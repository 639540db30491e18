#pragma once

// A main window on a temporary program folder and a source folder of generated pages, cut by a
// real job through the main window, then reviewed in the compare tool. Dialogs are answered by
// the test: messages are recorded, the picture dialog returns nextImage, the deletion question
// returns nextAnswer.

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

    // A page of the source folder, drawn by the generator and saved as JPEG (name without
    // extension; returns the file name, name + ".jpg").
    QString addPage(const QString& name, const PageSpec& spec);
    // A page of grey framed panels on white paper.
    QString addDrawnPage(const QString& name, QSize size, const std::vector<QRect>& panels);
    // Three pages cut into three pieces each:
    //   a.jpg: a left column of two stacked panels, a panel on its right, a wide panel below.
    //          The left column is one piece of the first pass, split in two by a second pass.
    //   b.jpg: a wide panel on top, a tall panel and a broad one below.
    //   c.jpg: three panels side by side.
    void addThreePages();
    // A page whose tiers hold the given numbers of panels.
    QString addPanelPage(const QString& name, std::vector<int> panelsPerTier, int width = 600,
                         int height = 800, std::uint64_t seed = 1);

    // Cuts the whole source folder with the main window's driver, as the folder command does
    // but without its closing message.
    void cutFolder(bool doublePass = false);
    // Opens the compare tool on the source folder (the job set it); fails the test if it does
    // not open.
    void openReview();
    void closeReview();

    frmDiapo& diapo() const { return *compare->diapo(); }
    void showPage(int index);
    // Indices of the shown thumbnail slots and the file names of their pieces.
    std::vector<int> shownSlots() const;
    QStringList shownPieceNames() const;
    // The pieces of a page in the piece folder, in listing order.
    QStringList piecesOnDisk(const QString& pageName) const;
    QString pieceFolder() const { return source.path() + QStringLiteral("VANTOLA/"); }
    QString record(const QString& section, const QString& key) const;

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

} // namespace vantola::test
