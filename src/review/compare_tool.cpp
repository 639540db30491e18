#include "review/compare_tool.h"

#include "review/mdi_compare.h"
#include "review/review_host.h"

#include <QPointer>

namespace vantola {

namespace {

// Kept among the main window's children to find its compare tool again. The compare tool is a
// window of its own (not a child of the main window, so that the main window can come to the
// front during a re-cut); it goes when the main window goes.
class CompareToolAnchor : public QObject {
public:
    explicit CompareToolAnchor(QWidget& window) : QObject(&window) {
        setObjectName(QStringLiteral("CompareToolAnchor"));
    }
    ~CompareToolAnchor() override { delete tool.data(); }

    QPointer<MDI_Compare> tool;
};

CompareToolAnchor* anchorOf(ReviewHost& host) {
    return host.hostWindow().findChild<CompareToolAnchor*>(QStringLiteral("CompareToolAnchor"),
                                                           Qt::FindDirectChildrenOnly);
}

} // namespace

MDI_Compare* openCompareTool(ReviewHost& host) {
    CompareToolAnchor* anchor = anchorOf(host);
    return anchor ? anchor->tool.data() : nullptr;
}

MDI_Compare* showCompareTool(ReviewHost& host) {
    if (MDI_Compare* open = openCompareTool(host)) {
        open->setWindowState((open->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* tool = new MDI_Compare(host);
    if (!tool->MDIForm_Load()) {
        delete tool;
        return nullptr;
    }
    CompareToolAnchor* anchor = anchorOf(host);
    if (!anchor)
        anchor = new CompareToolAnchor(host.hostWindow());
    anchor->tool = tool;
    tool->show();
    return tool;
}

} // namespace vantola
