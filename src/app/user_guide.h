#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vantola {

// The name of the user guide's file in the program's language: "notice.htm" (French), translated
// like any text ("notice_en.htm" in English).
QString userGuideFileName();

// The folders where the guide may be, in the order they are searched: the executable's folder
// (a build tree, a portable copy), the program's data folder of an installed program
// (share/vantola beside bin/), then vantola/ in each of the system's data folders.
QStringList userGuideFolders();

// The first guide named fileName found in folders, else the first French one; "" when none.
QString findUserGuide(const QStringList& folders, const QString& fileName);

// Opens the guide in the desktop's browser. When it cannot be found, or no program opens it,
// says so through showMessage (title, text) and returns false.
bool openUserGuide(
    const std::function<void(const QString& title, const QString& text)>& showMessage);

} // namespace vantola
