#include "app/program_language.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vantola {

ProgramLanguage chooseProgramLanguage(const QString& paramFile, const QLocale& system) {
    QString language;
    try {
        if (!paramFile.isEmpty())
            language = Cls_InitREG().IniLire(kParamSection, QStringLiteral("LANGUE"), QString(),
                                             paramFile);
    } catch (const AppError&) {
        // An unreadable param.ini leaves the choice to the system's language.
    }
    if (language.isEmpty())
        return system.language() == QLocale::French ? ProgramLanguage::French
                                                    : ProgramLanguage::English;
    return language == QLatin1String("ENGLISH") ? ProgramLanguage::English
                                                : ProgramLanguage::French;
}

ProgramTranslators::ProgramTranslators(ProgramLanguage language) {
    const bool english = language == ProgramLanguage::English;
    const auto install = [this](const QString& file, const QString& folder) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(file, folder) && QCoreApplication::installTranslator(translator.get()))
            installed_.push_back(std::move(translator));
    };
    if (english)
        install(QStringLiteral("vantola_en"), QStringLiteral(":/i18n"));
    install(english ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_fr"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

ProgramTranslators::~ProgramTranslators() {
    for (const auto& translator : installed_)
        QCoreApplication::removeTranslator(translator.get());
}

} // namespace vantola
