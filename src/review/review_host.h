#pragma once

#include "cutting/program_state.h"

#include <QString>

class QWidget;

namespace vantola {

// What the compare tool and its review window need from the program that opens them: the
// program's state, its cutting job, its messages and picture dialog, and its window. The main
// window provides it; the review knows nothing else of the program.
class ReviewHost {
public:
    // The program-wide values: source folder, white level, switches, piece list, file paths.
    virtual ProgramState& state() = 0;
    // While a job runs, says so in a message and returns true: a re-cut refused then must change
    // nothing, not even the settings that the running job reads.
    virtual bool refuseWhileJobRuns() = 0;
    // Runs the cutting driver over a page (path, page name, 0 for a picture file). True when the
    // job started; false when it was refused (with a message saying why).
    virtual bool runJob(const QString& sFichierAOuvrir, const QString& sFichierAOuvrirCourt,
                        qint16 inbPage) = 0;
    // Whether the folder of a path chosen in the picture dialog exists; a message says when not.
    virtual bool chosenFolderExists(const QString& path) = 0;
    // An information message box: title, text (a CR LF in the text starts a new line).
    virtual void showMessage(const QString& title, const QString& text) = 0;
    // The picture dialog: the chosen path, or "" when cancelled.
    virtual QString chooseImage() = 0;
    // The program's main window: brought to the front while a re-cut reports its progress there,
    // owner of the compare tool (which goes with it), and source of the tool's icon.
    virtual QWidget& hostWindow() = 0;

protected:
    ~ReviewHost() = default;
};

} // namespace vantola
