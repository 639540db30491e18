// The main window as the host of the compare tool: its messages and picture dialog go through
// the window's replaceable hooks, so that tests answer them as they answer the window's own.
#include "app/main_window.h"

namespace vantola {

void frmBD::showMessage(const QString& title, const QString& text) {
    hooks_.showMessage(title, text);
}

QString frmBD::chooseImage() {
    return hooks_.chooseImage();
}

QWidget& frmBD::hostWindow() {
    return *this;
}

} // namespace vantola
