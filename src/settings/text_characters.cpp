#include "settings/text_characters.h"

namespace vantola {

qsizetype characterCount(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

QString leftCharacters(const QString& text, qsizetype count) {
    qsizetype units = 0;
    for (qsizetype seen = 0; seen < count && units < text.size(); ++seen) {
        const bool pair = text[units].isHighSurrogate() && units + 1 < text.size() &&
                          text[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

QString withoutLastCharacters(const QString& text, qsizetype count) {
    qsizetype units = text.size();
    for (qsizetype seen = 0; seen < count && units > 0; ++seen) {
        const bool pair =
            text[units - 1].isLowSurrogate() && units >= 2 && text[units - 2].isHighSurrogate();
        units -= pair ? 2 : 1;
    }
    return text.left(units);
}

} // namespace vantola
