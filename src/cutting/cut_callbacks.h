#pragma once

#include <QtGlobal>
#include <functional>

namespace vantola {

// What the cut decisions report to the page cutter while they run. Every callback may be empty.
struct CutCallbacks {
    // The page progress bar's value, 75 to 100, once at the start of each band.
    std::function<void(qint32 value)> progress;
    // Lets the user interface breathe: after each row of the white-row scan, after each band's
    // progress value and after each column of the block scan.
    std::function<void()> service;
    // Set only while the debug switch is on: for each column x of each band (t, b), the values
    // of the diagnostic log line, the quotient being the column's sum divided by b - t.
    std::function<void(qint32 t, qint32 b, qint32 x, double quotient)> debug;
};

} // namespace vantola
