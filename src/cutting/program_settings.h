#pragma once

#include "cutting/cutting_job.h"
#include "cutting/program_state.h"

namespace vantola {

// The program's state at start-up for a program folder (ending with a separator): the paths of
// param.ini and decoupage.ini, the language and the white level read from param.ini. A white
// level that is not a whole number keeps the default. A param.ini that exists but cannot be read
// (a folder, a FIFO, a file without read permission) is set aside: the state then names no
// settings file, so that the program runs on the defaults, and `warning` gets the line that
// says so.
ProgramState loadProgramState(const QString& programFolder, QString* warning = nullptr);

// The switches saved in param.ini when the main window was last closed: rotation (SENS), double
// pass (DOUBLEPASSE), reading order (SENS_LECTURE: GAUCHE_DROITE or DROITE_GAUCHE), long strips
// (BANDE_VERTICALE), panel book (LIVRE_CBZ) and panel maps (CADRES), the last four OUI or NON,
// and how panels are found (DETECTION: BLANCS along white gutters, CADRES by their frames).
// Values are compared exactly, in upper case.
JobSwitches loadSavedSwitches(const ProgramState& state);

// Saves the switches as the main window does when it closes. False when one of them did not
// reach the file.
[[nodiscard]] bool saveSwitches(const ProgramState& state, const JobSwitches& switches);

} // namespace vantola
