#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vantola {

// The user guide's file in a language: "notice.htm" in French, "notice_en.htm" in English.
QString userGuideFileName(bool english);

// The folders where the guide may be, in the order they are searched: the executable's folder
// (a build tree, a portable copy), the program's data folder of an installed program
// (share/vantola beside bin/), then vantola/ in each of the system's data folders.
QStringList userGuideFolders();

// The first guide found in folders, in the language asked for or else in French; "" when none.
QString findUserGuide(const QStringList& folders, bool english);

// Opens the guide in the desktop's browser. When it cannot be found, or no program opens it,
// says so through showMessage (title, text) and returns false.
bool openUserGuide(
    bool english,
    const std::function<void(const QString& title, const QString& text)>& showMessage);

} // namespace vantola
