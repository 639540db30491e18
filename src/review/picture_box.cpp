#include "review/picture_box.h"

#include <QPainter>

namespace vantola {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    notice_.clear();
    update();
}

void PictureBox::setNotice(const QString& notice) {
    picture_ = QImage();
    notice_ = notice;
    update();
}

void PictureBox::clear() {
    picture_ = QImage();
    notice_.clear();
    tag_.clear();
    update();
}

void PictureBox::setBordered(bool bordered) {
    bordered_ = bordered;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawImage(rect(), picture_);
    } else if (!notice_.isEmpty()) {
        painter.fillRect(rect(), palette().base());
        painter.setPen(palette().color(QPalette::Text));
        // Words wrap; a word longer than the box (a file name) is broken where it must be.
        const QRect area = rect().adjusted(2, 2, -2, -2);
        int flags = Qt::AlignCenter | Qt::TextWordWrap;
        if (painter.fontMetrics().boundingRect(area, flags, notice_).width() > area.width())
            flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
        painter.drawText(area, flags, notice_);
    }
    if (bordered_) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace vantola
