#include "review/review_captions.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"

#include <QCoreApplication>

namespace vantola {

namespace {

// In the program's language: built at each call, after the translators are installed.
std::array<QString, kReviewControlCaptions> defaultControlCaptions() {
    const std::array<QString, kReviewControlCaptions> captions = {
        QCoreApplication::translate("vantola::frmDiapo", "Image originale:"),
        QCoreApplication::translate("vantola::frmDiapo", "Découpe effectuée:"),
        QCoreApplication::translate("vantola::frmDiapo", "Images finales:"),
        QCoreApplication::translate("vantola::frmDiapo", "Niveau de blanc:"),
        QCoreApplication::translate("vantola::frmDiapo", "Mode debug (log)"),
        QCoreApplication::translate("vantola::frmDiapo", "Redécouper cette image"),
        QCoreApplication::translate("vantola::frmDiapo",
                                    "Redécouper toutes les images préselectionnées"),
        QCoreApplication::translate("vantola::frmDiapo",
                                    "Cocher l'image pour un redécoupage ultérieur"),
    };
    return captions;
}

} // namespace

QString compareToolTitle() {
    return QCoreApplication::translate("vantola::frmDiapo",
                                       "Vantola - Outil de comparaison de découpe");
}

ReviewCaptions readReviewCaptions(const ProgramState& state) {
    ReviewCaptions captions{compareToolTitle(), defaultControlCaptions()};
    Cls_InitREG ini;
    const auto read = [&](const QString& key, QString& caption) {
        try {
            caption = ini.IniLire(state.sLangue, key, caption, state.sFichierParam);
        } catch (const AppError&) {
            // An unreadable param.ini leaves the French caption.
        }
    };
    read(QStringLiteral("T12"), captions.window);
    for (int key = 0; key < kReviewControlCaptions; ++key)
        read(QStringLiteral("T%1").arg(key), captions.controls[std::size_t(key)]);
    return captions;
}

} // namespace vantola
