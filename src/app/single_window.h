#pragma once

#include <QWidget>

namespace vantola {

// The window of that type already open over the parent, brought to the front; null when there
// is none (one closing, not yet deleted, does not count). Keeps a second copy of a dialog from
// opening over the first.
template <class Window>
Window* raiseOpenWindow(QWidget* parent) {
    if (!parent)
        return nullptr;
    for (Window* window : parent->findChildren<Window*>(Qt::FindDirectChildrenOnly)) {
        if (!window->isVisible())
            continue;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
        return window;
    }
    return nullptr;
}

} // namespace vantola
