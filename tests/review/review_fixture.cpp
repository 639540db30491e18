#include "review_fixture.h"

#include "cutting/program_settings.h"
#include "review/compare_tool.h"
#include "review/picture_box.h"
#include "review/piece_listing.h"
#include "review/thumbnail_slot.h"
#include "settings/path_parts.h"

#include <QAction>
#include <QPainter>
#include <QScrollBar>

namespace vantola::test {

void ReviewTest::SetUp() {
    state = loadProgramState(home.path());
    window = std::make_unique<frmBD>(state);
    WindowHooks& hooks = window->hooks();
    hooks.showMessage = [this](const QString& title, const QString& text) {
        messages.push_back({title, text});
    };
    hooks.askText = [](const QString&, const QString&, const QString&) {
        return std::optional<QString>();
    };
    hooks.chooseImage = [this] { return nextImage; };
    hooks.quit = [] {};
}

void ReviewTest::addThreePages() {
    // Grey framed panels on white paper. The stacked panels of a.jpg start lower than their
    // neighbour: the left piece then begins with white rows, which lets the second pass cut it
    // at the gutter between them.
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

void ReviewTest::addPanelPage(const QString& name, std::vector<int> panelsPerTier, int height,
                              std::uint64_t seed) {
    PageSpec spec;
    spec.width = 600;
    spec.height = height;
    spec.seed = seed;
    spec.margin = 30;
    spec.gutter = 20;
    spec.balloons = false;
    spec.panelsPerTier = std::move(panelsPerTier);
    savePage(generatePage(spec).image, source.path(), name, PageFormat::Jpeg);
}

void ReviewTest::cutFolder(bool doublePass) {
    QAction* doublePassItem = window->menuItem(QStringLiteral("mnu_doublepasse"));
    if (doublePassItem->isChecked() != doublePass)
        doublePassItem->trigger();
    state.bSansMessage = true;
    ASSERT_TRUE(window->runJob(source.path(), QString(), 0));
}

void ReviewTest::openReview() {
    compare = showCompareTool(*window);
    ASSERT_NE(compare, nullptr);
    ASSERT_NE(compare->diapo(), nullptr);
    diapo().hooks().askYesNo = [this](const QString& title, const QString& text) {
        ++questions;
        EXPECT_EQ(title, QStringLiteral("SUPPRESSION"));
        EXPECT_EQ(text, QStringLiteral("Voulez vous effacer cette image ?"));
        return nextAnswer;
    };
}

void ReviewTest::closeReview() {
    compare->close();
    delete compare; // closing schedules the deletion; the test needs it done now
    compare = nullptr;
}

void ReviewTest::showPage(int index) {
    diapo().HScrollFile()->setValue(index);
}

std::vector<int> ReviewTest::shownSlots() const {
    std::vector<int> shown;
    for (int i = 0; i < 16; ++i) {
        if (diapo().FrameContour(i)->isVisibleTo(&diapo()))
            shown.push_back(i);
    }
    return shown;
}

QStringList ReviewTest::shownPieceNames() const {
    QStringList names;
    for (int i : shownSlots())
        names << ExtraireNomFichier(diapo().Image1(i)->tag());
    return names;
}

QStringList ReviewTest::piecesOnDisk(const QString& pageName) const {
    QStringList pieces;
    for (const QString& name : listPlainFiles(pieceFolder())) {
        if (name.startsWith(pageName) && name.endsWith(QStringLiteral(".jpg")))
            pieces << name;
    }
    return pieces;
}

} // namespace vantola::test
