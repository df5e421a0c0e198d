#pragma once

#include <QIcon>

namespace morvane {

// The program's icon in every size that is drawn for it, so that the title
// bar, the task bar and the window switcher each take a drawn size rather
// than a scaled one.
QIcon applicationIcon();

} // namespace morvane
