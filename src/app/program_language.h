#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>
#include <vector>

namespace vantola {

enum class ProgramLanguage { French, English };

// The language of the windows: English for LANGUE=ENGLISH in param.ini, French for any other
// LANGUE value (its section may still replace captions); without a LANGUE key (or with an
// unreadable param.ini), French when the system's language is French, English otherwise.
ProgramLanguage chooseProgramLanguage(const QString& paramFile, const QLocale& system);

// The translators of one language, installed in the application while this object lives: the
// program's own texts (built into it) and Qt's (its dialogs and buttons, from Qt's translations
// folder when they are installed). French needs none of the program's: its texts are French.
class ProgramTranslators {
public:
    explicit ProgramTranslators(ProgramLanguage language);
    ~ProgramTranslators();
    ProgramTranslators(const ProgramTranslators&) = delete;
    ProgramTranslators& operator=(const ProgramTranslators&) = delete;

private:
    std::vector<std::unique_ptr<QTranslator>> installed_;
};

} // namespace vantola
