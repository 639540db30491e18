#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantola {

// The review window's question to the user, replaceable so that a test answers it without a
// modal dialog.
struct ReviewHooks {
    // A Yes / No question box: title, text; true for Yes.
    std::function<bool(const QString& title, const QString& text)> askYesNo;
};

// The real question box (QMessageBox with the buttons Yes and No), parented to the window.
ReviewHooks defaultReviewHooks(QWidget* parent);

} // namespace vantola
