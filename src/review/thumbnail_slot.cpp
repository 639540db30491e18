#include "review/thumbnail_slot.h"

#include "review/picture_box.h"

#include <QMouseEvent>
#include <QPointer>

namespace vantola {

ThumbnailSlot::ThumbnailSlot(int index, QWidget* parent)
    : QFrame(parent), index_(index), picture_(new PictureBox(this)) {
    setObjectName(QStringLiteral("FrameContour%1").arg(index));
    picture_->setObjectName(QStringLiteral("thumbnail%1").arg(index));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    // The picture lets its mouse events through to the frame, which handles both.
    setCursor(Qt::PointingHandCursor);
    picture_->setCursor(Qt::PointingHandCursor);
}

void ThumbnailSlot::setSelected(bool selected) {
    setLineWidth(selected ? 3 : 1);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, selected ? QColor(255, 255, 0) : QColor(Qt::black));
    setPalette(colours);
}

void ThumbnailSlot::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // The border marks the slot while the press is handled (a question may be open meanwhile).
    const QPointer<PictureBox> picture = picture_;
    picture->setBordered(true);
    emit pressed(index_, event->button());
    if (picture)
        picture->setBordered(false);
}

void ThumbnailSlot::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    event->accept();
    emit doubleClicked(index_);
}

} // namespace vantola
