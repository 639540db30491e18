#include "review/cut_overlay.h"

#include "review/twips.h"

#include <QPainter>

namespace vantola {

CutOverlay::CutOverlay(QWidget* parent) : QWidget(parent) {}

QSizeF CutOverlay::sizeTwips() const {
    return QSizeF(width() * kTwipsPerPixel, height() * kTwipsPerPixel);
}

void CutOverlay::Cls() {
    surface_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    surface_.fill(Qt::white);
    notice_.clear();
    update();
}

void CutOverlay::drawOutline(const SketchOutline& outline, const QColor& colour) {
    if (surface_.isNull())
        Cls();
    const QPoint topLeft(twipsToPixels(outline.x1), twipsToPixels(outline.y1));
    const QPoint bottomRight(twipsToPixels(outline.x2), twipsToPixels(outline.y2));
    const QPoint topRight(bottomRight.x(), topLeft.y());
    const QPoint bottomLeft(topLeft.x(), bottomRight.y());
    QPainter painter(&surface_);
    painter.setPen(QPen(colour, 1));
    painter.drawLine(topLeft, topRight);
    painter.drawLine(topRight, bottomRight);
    painter.drawLine(bottomRight, bottomLeft);
    painter.drawLine(bottomLeft, topLeft);
    update();
}

void CutOverlay::setNotice(const QString& notice) {
    notice_ = notice;
    update();
}

void CutOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!surface_.isNull())
        painter.drawImage(0, 0, surface_);
    if (!notice_.isEmpty()) {
        painter.setPen(Qt::darkRed);
        painter.drawText(rect().adjusted(3, 3, -3, -3), Qt::AlignCenter | Qt::TextWordWrap,
                         notice_);
    }
}

void CutOverlay::resizeEvent(QResizeEvent*) {
    // The layout is fixed: this only happens when the surface is first placed (a pending resize
    // may arrive after drawing, when the window is shown, and must not wipe the drawing).
    if (surface_.size() != size().expandedTo(QSize(1, 1)))
        Cls();
}

QColor outlineColour(const SketchOutline& outline) {
    return outline.split ? QColor(255, 0, 0) : QColor(0, 0, 0);
}

} // namespace vantola
