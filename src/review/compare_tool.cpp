#include "review/compare_tool.h"

#include "app/main_window.h"
#include "review/mdi_compare.h"

#include <QPointer>

namespace vantola {

namespace {

// Kept among the main window's children to find its compare tool again. The compare tool is a
// window of its own (not a child of the main window, so that the main window can come to the
// front during a re-cut); it goes when the main window goes.
class CompareToolAnchor : public QObject {
public:
    explicit CompareToolAnchor(frmBD& window) : QObject(&window) {
        setObjectName(QStringLiteral("CompareToolAnchor"));
    }
    ~CompareToolAnchor() override { delete tool.data(); }

    QPointer<MDI_Compare> tool;
};

CompareToolAnchor* anchorOf(frmBD& window) {
    return window.findChild<CompareToolAnchor*>(QStringLiteral("CompareToolAnchor"),
                                                Qt::FindDirectChildrenOnly);
}

} // namespace

MDI_Compare* openCompareTool(frmBD& window) {
    CompareToolAnchor* anchor = anchorOf(window);
    return anchor ? anchor->tool.data() : nullptr;
}

MDI_Compare* showCompareTool(frmBD& window) {
    if (MDI_Compare* open = openCompareTool(window)) {
        open->setWindowState((open->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* tool = new MDI_Compare(window);
    if (!tool->MDIForm_Load()) {
        delete tool;
        return nullptr;
    }
    CompareToolAnchor* anchor = anchorOf(window);
    if (!anchor)
        anchor = new CompareToolAnchor(window);
    anchor->tool = tool;
    tool->show();
    return tool;
}

} // namespace vantola
