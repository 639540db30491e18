#pragma once

namespace vantola {

// Steps of the page cutter, reported after "Ligne " when a page fails.
enum PageStep : int {
    kStepStart = 1,
    kStepLoad = 2,
    kStepOpen = 3,
    kStepGrid = 4,
    kStepRead = 5,
    kStepDecide = 6,
    kStepWholePage = 7,
    kStepBlock = 8,
    kStepWholeBand = 9,
    kStepLog = 10,
};

} // namespace vantola
