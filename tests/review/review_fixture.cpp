#include "review_fixture.h"

#include "review/compare_tool.h"
#include "review/cut_overlay.h"
#include "review/picture_box.h"
#include "review/piece_listing.h"
#include "review/thumbnail_slot.h"
#include "settings/path_parts.h"

#include <QAction>
#include <QPainter>

namespace vantola::test {

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
    ASSERT_NE(compare->reviewWindow(), nullptr);
    diapo().hooks().askYesNo = [this](const QString&, const QString&) {
        ++questions;
        return false;
    };
}

std::vector<int> ReviewTest::shownSlots() const {
    std::vector<int> shown;
    for (int i = 0; i < 16; ++i)
        if (diapo().FrameContour(i)->isVisibleTo(&diapo()))
            shown.push_back(i);
    return shown;
}

QStringList ReviewTest::shownPieceNames() const {
    QStringList names;
    for (int i : shownSlots())
        names << ExtraireNomFichier(diapo().thumbnail(i)->tag());
    return names;
}

QStringList ReviewTest::piecesOnDisk(const QString& pageName) const {
    QStringList pieces;
    for (const QString& name : listPlainFiles(pieceFolder()))
        if (name.startsWith(pageName) && name.endsWith(QStringLiteral(".jpg")))
            pieces << name;
    return pieces;
}

QRect ReviewTest::sketchBounds(QRgb colour) const {
    const QImage surface = diapo().PicCalque()->surface();
    QRect bounds;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.pixel(x, y) == colour)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace vantola::test
