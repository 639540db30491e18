#pragma once

class QWidget;

namespace vantola {

// The review window keeps the fixed places its controls were drawn at, for a font smaller than
// most desktops use today: a caption that does not fit its control is drawn in a smaller font
// (down to a readable minimum) instead of being cut off.
void shrinkFontToFit(QWidget* control);

} // namespace vantola
