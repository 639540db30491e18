#include "review/shrink_to_fit.h"

#include <QWidget>

namespace vantola {

namespace {

constexpr double kSmallestPointSize = 6.5;
constexpr double kPointStep = 0.5;

} // namespace

void shrinkFontToFit(QWidget* control) {
    QFont font = control->font();
    if (font.pointSizeF() <= 0)
        return; // a font sized in pixels: left as it is
    while (control->sizeHint().width() > control->width() &&
           font.pointSizeF() - kPointStep >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - kPointStep);
        control->setFont(font);
    }
}

} // namespace vantola
