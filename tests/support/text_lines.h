#pragma once

#include <QString>
#include <QStringList>

namespace vantola::test {

// The lines of a text file written with CR LF line ends (the last, empty one dropped), with the
// date and time of a log's opening and closing lines cut off.
QStringList textFileLines(const QString& path);

// Every key = value of one section of an INI file, in file order, as "KEY=VALUE".
QStringList iniSectionLines(const QString& path, const QString& section);

} // namespace vantola::test
