#pragma once
#include <QIcon>

namespace sonaveld {

// The application icon (48 and 256 pixels, from the program's resources) that both windows carry.
QIcon AppIcon();

}  // namespace sonaveld
