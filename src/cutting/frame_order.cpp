#include "cutting/frame_order.h"

#include <algorithm>
#include <tuple>

namespace vantola {

namespace {

// A panel and the middle of it that decides where it lies: balloons and art that overlap a
// neighbour must not hide the gap between two rows or columns.
struct OrderedPanel {
    PanelBox box;
    PanelBox core;
};

PanelBox middleOf(const PanelBox& box) {
    const qint32 dx = (box.right - box.left) / 6;
    const qint32 dy = (box.bottom - box.top) / 6;
    return {box.left + dx, box.right - dx, box.top + dy, box.bottom - dy};
}

using Group = std::vector<OrderedPanel>;

// Splits the panels into groups that straight gaps separate, across the page (rows) or down it
// (columns), in order along the axis. One group means that no gap was found.
std::vector<Group> separate(Group panels, bool across) {
    const auto start = [across](const OrderedPanel& p) {
        return across ? p.core.top : p.core.left;
    };
    const auto end = [across](const OrderedPanel& p) {
        return across ? p.core.bottom : p.core.right;
    };
    std::sort(panels.begin(), panels.end(), [&](const OrderedPanel& a, const OrderedPanel& b) {
        return std::tuple(start(a), end(a), a.box.left, a.box.top) <
               std::tuple(start(b), end(b), b.box.left, b.box.top);
    });
    std::vector<Group> groups;
    qint32 reach = 0;
    for (const OrderedPanel& panel : panels) {
        if (groups.empty() || start(panel) >= reach) {
            groups.emplace_back();
            reach = end(panel);
        }
        reach = std::max(reach, end(panel));
        groups.back().push_back(panel);
    }
    return groups;
}

void order(Group panels, bool rightToLeft, std::vector<PanelBox>& out) {
    if (panels.size() > 1) {
        for (const bool across : {true, false}) {
            std::vector<Group> groups = separate(panels, across);
            if (groups.size() < 2)
                continue;
            if (!across && rightToLeft)
                std::reverse(groups.begin(), groups.end());
            for (Group& group : groups)
                order(std::move(group), rightToLeft, out);
            return;
        }
    }
    // Panels that no straight gap separates: by their top, then from the side reading starts.
    std::sort(panels.begin(), panels.end(),
              [rightToLeft](const OrderedPanel& a, const OrderedPanel& b) {
                  const qint32 sideA = rightToLeft ? -a.box.right : a.box.left;
                  const qint32 sideB = rightToLeft ? -b.box.right : b.box.left;
                  return std::tuple(a.box.top, sideA, a.box.bottom) <
                         std::tuple(b.box.top, sideB, b.box.bottom);
              });
    for (const OrderedPanel& panel : panels)
        out.push_back(panel.box);
}

} // namespace

void orderPanels(std::vector<PanelBox>& panels, bool rightToLeft) {
    Group items;
    items.reserve(panels.size());
    for (const PanelBox& box : panels)
        items.push_back({box, middleOf(box)});
    panels.clear();
    order(std::move(items), rightToLeft, panels);
}

} // namespace vantola
