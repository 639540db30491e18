#pragma once

#include "cutting/frame_finder.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vantola {

inline constexpr qint32 kDefaultWhiteLevel = 1450;

// Values shared by the whole program: the settings files, the language, the white level, the
// debug and quiet switches, the current source folder, and the pieces of the page under review.
// One instance lives as long as the program and is passed by reference.
struct ProgramState {
    QString sFichierParam;     // full path of param.ini
    QString sFichierDecoupage; // full path of decoupage.ini
    QString sLangue = QStringLiteral("FRANCAIS");
    qint32 lNiveauBlanc = kDefaultWhiteLevel;
    bool bModeDebug = false;
    bool bSansMessage = false;
    QString sRepSource;    // current source folder, ends with a separator
    QStringList tabDiapos; // full paths of the pieces of the page under review
    // How the last job on sRepSource found its panels; a re-cut of its pages finds them the same
    // way: the review window sets recutFinder while it re-cuts, over the job's own switch.
    PanelFinder sourceFinder = PanelFinder::Gutters;
    std::optional<PanelFinder> recutFinder;
};

} // namespace vantola
