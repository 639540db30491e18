#pragma once

#include "cutting/grid_rotation.h"

namespace vantola {

// The switches of the main window that a job reads (its menu check marks).
struct JobSwitches {
    bool doublePass = false;            // mnu_doublepasse
    Rotation rotation = Rotation::None; // mnu_horaire / mnu_antihoraire
    bool footerEnabled = false;         // mnu_pied
    friend bool operator==(const JobSwitches&, const JobSwitches&) = default;
};

} // namespace vantola
