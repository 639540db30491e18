#pragma once

#include "cutting/program_state.h"

#include <QString>
#include <array>

namespace vantola {

// Number of control captions of the review window (keys "T0" to "T7").
inline constexpr int kReviewControlCaptions = 8;

// The review window's captions in the program's language: the window's own (key "T12") and
// those of its labels, check boxes and buttons (keys "T0" to "T7"), each read from the language
// section of param.ini, or its French default when the file, the section or the key is missing
// or the file cannot be read.
struct ReviewCaptions {
    QString window;
    std::array<QString, kReviewControlCaptions> controls;
};

ReviewCaptions readReviewCaptions(const ProgramState& state);

// The compare tool's fixed title, which is also the review window's default caption.
QString compareToolTitle();

} // namespace vantola
