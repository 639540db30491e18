#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// The current local date and time as the log writes it: the locale's short date and its time
// of day with seconds (05/12/2026 13:10:06 in a French locale).
QString logDateTime();

// A decimal number in the locale's default text form (a decimal comma in French), as the
// debug lines of the log show the column quotients.
QString localeNumberText(double value);

// The line of a page on which the frame finder found no panel (the page is then one piece).
QString noPanelLine(const QString& pagePath);

// The lines that a failed page leaves in the log.
QStringList pageFailureLines(const QString& pagePath, int failingStep, const QString& description,
                             int errorNumber);

} // namespace vantola
