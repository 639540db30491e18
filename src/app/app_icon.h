#pragma once

#include <QIcon>

namespace vantola {

// The program's icon (a comic page cut into panels), in every size that the program carries.
QIcon vantolaIcon();

} // namespace vantola
