#pragma once

#include "cutting/program_state.h"

#include <QString>
#include <vector>

namespace vantola {

// One item of the main window's menus: its name (the object name of its action or menu), its
// French caption with the "&" of its access key, the key of the language section that replaces
// the caption ("" when the caption is not translated), and whether it is a menu's title.
struct MenuCaption {
    QString name;
    QString caption;
    QString key;
    bool isMenu = false;
};

// Every menu and item of the main window, in menu order: each menu title is followed by its
// items.
const std::vector<MenuCaption>& menuCaptions();

// The captions in the language of the program state: each translated caption is the value of
// its key in the language section of param.ini, or the French default when the file, the
// section or the key is missing (or the file cannot be read).
std::vector<MenuCaption> translatedMenuCaptions(const ProgramState& state);

} // namespace vantola
