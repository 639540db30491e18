#include "review/review_captions.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"

namespace vantola {

namespace {

const std::array<QString, kReviewControlCaptions>& defaultControlCaptions() {
    static const std::array<QString, kReviewControlCaptions> captions = {
        QStringLiteral("Image originale:"),
        QStringLiteral("Découpe effectuée:"),
        QStringLiteral("Images finales:"),
        QStringLiteral("Niveau de blanc:"),
        QStringLiteral("Mode debug (log)"),
        QStringLiteral("Redécouper cette image"),
        QStringLiteral("Redécouper toutes les images préselectionnées"),
        QStringLiteral("Cocher l'image pour un redécoupage ultérieur"),
    };
    return captions;
}

} // namespace

QString compareToolTitle() {
    return QStringLiteral("Vantola - Outil de comparaison de découpe");
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
