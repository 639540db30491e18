#pragma once

namespace vantola {

class MDI_Compare;
class ReviewHost;

// The main window's command "Comparer le découpage". The first time, and again after the
// compare tool was closed, it creates and loads the compare tool (which may first ask for a
// picture to find the source folder) and shows it maximized; while the tool is open it only
// brings it to the front, even when its review window was closed. Returns the compare tool, or
// null when the picture dialog was cancelled (then no window stays open).
MDI_Compare* showCompareTool(ReviewHost& host);

// The main window's compare tool while it is open, else null.
MDI_Compare* openCompareTool(ReviewHost& host);

} // namespace vantola
