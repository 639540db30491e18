#include "cutting/program_settings.h"

#include "settings/cls_initreg.h"
#include "settings/ini_file_cache.h"
#include "settings/number_text.h"

namespace vantola {

ProgramState loadProgramState(const QString& programFolder, QString* warning) {
    ProgramState state;
    state.sFichierParam = programFolder + QStringLiteral("param.ini");
    if (IniFileCache::instance().read(state.sFichierParam, [](const IniDocument&) {}) ==
        IniFileCache::ReadStatus::Failed) {
        if (warning != nullptr)
            *warning = QStringLiteral("%1 cannot be read: the default settings are used")
                           .arg(state.sFichierParam);
        state.sFichierParam.clear();
    }
    state.sFichierDecoupage = programFolder + QStringLiteral("decoupage.ini");
    Cls_InitREG ini;
    state.sLangue = ini.IniLire(kParamSection, QStringLiteral("LANGUE"), QStringLiteral("FRANCAIS"),
                                state.sFichierParam);
    const QString level = ini.IniLire(kParamSection, QStringLiteral("NIVEAU_DE_BLANC"),
                                      QStringLiteral("1450"), state.sFichierParam);
    state.lNiveauBlanc = numberFromText<qint32>(level).value_or(kDefaultWhiteLevel);
    return state;
}

JobSwitches loadSavedSwitches(const ProgramState& state) {
    Cls_InitREG ini;
    JobSwitches switches;
    const QString direction = ini.IniLire(kParamSection, QStringLiteral("SENS"),
                                          QStringLiteral("SANS"), state.sFichierParam);
    if (direction == QLatin1String("ANTIHORAIRE"))
        switches.rotation = Rotation::Anticlockwise;
    else if (direction == QLatin1String("HORAIRE"))
        switches.rotation = Rotation::Clockwise;
    switches.doublePass =
        ini.IniLire(kParamSection, QStringLiteral("DOUBLEPASSE"), QStringLiteral("NON"),
                    state.sFichierParam) == QLatin1String("OUI");
    switches.rightToLeft =
        ini.IniLire(kParamSection, QStringLiteral("SENS_LECTURE"), QStringLiteral("GAUCHE_DROITE"),
                    state.sFichierParam) == QLatin1String("DROITE_GAUCHE");
    const auto yes = [&](const char* key) {
        return ini.IniLire(kParamSection, QLatin1String(key), QStringLiteral("NON"),
                           state.sFichierParam) == QLatin1String("OUI");
    };
    switches.strip = yes("BANDE_VERTICALE");
    switches.panelBook = yes("LIVRE_CBZ");
    switches.panelMaps = yes("CADRES");
    if (ini.IniLire(kParamSection, QStringLiteral("DETECTION"), QStringLiteral("BLANCS"),
                    state.sFichierParam) == QLatin1String("CADRES"))
        switches.finder = PanelFinder::Frames;
    return switches;
}

bool saveSwitches(const ProgramState& state, const JobSwitches& switches) {
    Cls_InitREG ini;
    const QString& file = state.sFichierParam;
    // SANS is written first whatever the rotation, then overwritten: the file goes through the
    // same states as the window's own saving did.
    bool saved =
        ini.IniEcrire(kParamSection, QStringLiteral("SENS"), QStringLiteral("SANS"), file) != 0;
    if (switches.rotation == Rotation::Anticlockwise)
        saved = ini.IniEcrire(kParamSection, QStringLiteral("SENS"), QStringLiteral("ANTIHORAIRE"),
                              file) != 0;
    if (switches.rotation == Rotation::Clockwise)
        saved = ini.IniEcrire(kParamSection, QStringLiteral("SENS"), QStringLiteral("HORAIRE"),
                              file) != 0;
    const auto write = [&](const char* key, const QString& value) {
        saved = ini.IniEcrire(kParamSection, QLatin1String(key), value, file) != 0 && saved;
    };
    const auto yesNo = [](bool on) { return on ? QStringLiteral("OUI") : QStringLiteral("NON"); };
    write("DOUBLEPASSE", yesNo(switches.doublePass));
    write("SENS_LECTURE",
          switches.rightToLeft ? QStringLiteral("DROITE_GAUCHE") : QStringLiteral("GAUCHE_DROITE"));
    write("BANDE_VERTICALE", yesNo(switches.strip));
    write("LIVRE_CBZ", yesNo(switches.panelBook));
    write("CADRES", yesNo(switches.panelMaps));
    write("DETECTION", switches.finder == PanelFinder::Frames ? QStringLiteral("CADRES")
                                                              : QStringLiteral("BLANCS"));
    return saved;
}

} // namespace vantola
