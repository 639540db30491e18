#include "review/review_hooks.h"

#include <QMessageBox>

namespace vantola {

ReviewHooks defaultReviewHooks(QWidget* parent) {
    ReviewHooks hooks;
    hooks.askYesNo = [parent](const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    return hooks;
}

} // namespace vantola
