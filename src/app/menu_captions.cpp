#include "app/menu_captions.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"

namespace vantola {

const std::vector<MenuCaption>& menuCaptions() {
    static const std::vector<MenuCaption> captions = {
        {QStringLiteral("mnu_Fichier"), QStringLiteral("&Fichier"), QStringLiteral("T8"), true},
        {QStringLiteral("mnu_ouvririmg"), QStringLiteral("&Ouvrir une image"),
         QStringLiteral("T9")},
        {QStringLiteral("mnu_ouvrirrep"), QStringLiteral("&Découper un répertoire"),
         QStringLiteral("T10")},
        {QStringLiteral("mnu_compare"), QStringLiteral("Comparer le découpage"),
         QStringLiteral("T11")},
        {QStringLiteral("mnu_ouvririmage"), QStringLiteral("Découper une &image"),
         QStringLiteral("T13")},
        {QStringLiteral("mnu_pressepapier"),
         QStringLiteral("Découper une image depuis le presse papier"), QStringLiteral("T14")},
        {QStringLiteral("mnu_Acrobat"),
         QStringLiteral("Découper une BD depuis Adobe Acrobat (PDF)"), QStringLiteral("T15")},
        {QStringLiteral("mnu_quitter"), QStringLiteral("&Quitter"), QStringLiteral("T16")},
        {QStringLiteral("mnu_Formatage"), QStringLiteral("F&ormatage"), QStringLiteral("T17"),
         true},
        {QStringLiteral("mnu_doublepasse"), QStringLiteral("Effectuer une &double passe"),
         QStringLiteral("T26")},
        {QStringLiteral("mnu_horaire"),
         QStringLiteral("Effectuer une rotation de 90° (sens &horaire)"), QStringLiteral("T18")},
        {QStringLiteral("mnu_antihoraire"),
         QStringLiteral("Effectuer une rotation de 90° (sens &anti horaire)"),
         QStringLiteral("T19")},
        {QStringLiteral("mnu_paramJPG"), QStringLiteral("Configurer la compression JPEG"),
         QStringLiteral("T20")},
        {QStringLiteral("mnu_couperbord"), QStringLiteral("Couper les bordures"),
         QStringLiteral("T21")},
        {QStringLiteral("mnu_blanc"), QStringLiteral("&Chiffrer le blanc de séparation"),
         QStringLiteral("T22")},
        {QStringLiteral("mnu_entete"), QStringLiteral("&Gérer une entête d'image"),
         QStringLiteral("T23")},
        {QStringLiteral("mnu_pied"), QStringLiteral("Gérer un &pied de page d'image"),
         QStringLiteral("T24")},
        {QStringLiteral("mnu_Divers"), QStringLiteral("Divers"), QString(), true},
        {QStringLiteral("mnu_apropos"), QStringLiteral("&A Propos"), QStringLiteral("T25")},
        {QStringLiteral("mnu_pause"), QStringLiteral("&Pause"), QString()},
    };
    return captions;
}

std::vector<MenuCaption> translatedMenuCaptions(const ProgramState& state) {
    std::vector<MenuCaption> captions = menuCaptions();
    Cls_InitREG ini;
    for (MenuCaption& item : captions) {
        if (item.key.isEmpty())
            continue;
        try {
            item.caption = ini.IniLire(state.sLangue, item.key, item.caption, state.sFichierParam);
        } catch (const AppError&) {
            // An unreadable param.ini leaves the French captions.
        }
    }
    return captions;
}

} // namespace vantola
