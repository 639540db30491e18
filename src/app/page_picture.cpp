#include "app/page_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace vantola {

QPoint roundedPosition(const QPointF& position) {
    return QPoint(int(std::nearbyint(position.x())), int(std::nearbyint(position.y())));
}

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PagePicture::setPage(const QImage& page) {
    page_ = page.convertToFormat(QImage::Format_RGB32);
    drawings_.clear();
    resize(page_.size());
    update();
}

void PagePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Only the exposed part: a page can be far larger than the frame that shows it.
    const QRect exposed = event->rect();
    painter.drawImage(exposed.topLeft(), page_, exposed);
    if (drawings_.empty())
        return;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    for (const QRect& rectangle : drawings_) {
        if (rectangle.adjusted(-1, -1, 1, 1).intersects(exposed))
            painter.drawRect(rectangle);
    }
}

void PagePicture::mousePressEvent(QMouseEvent* event) {
    press_ = roundedPosition(event->position());
}

void PagePicture::mouseMoveEvent(QMouseEvent* event) {
    // A press on row 0 or column 0 counts as no press: nothing is drawn from it.
    if (press_.x() == 0 || press_.y() == 0)
        return;
    const QRect rectangle = QRect(press_, roundedPosition(event->position())).normalized();
    drawings_.push_back(rectangle);
    update(rectangle.adjusted(-1, -1, 1, 1));
}

void PagePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (!drawings_.empty()) {
        drawings_.clear();
        update();
    }
    const QPoint press = press_;
    emit released(press, roundedPosition(event->position()));
    press_ = QPoint(0, 0);
}

} // namespace vantola
