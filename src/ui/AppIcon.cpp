#include "ui/AppIcon.h"

#include <array>

#include <QString>

namespace morvane {

namespace {

// The sizes of src/ui/icons/morvane-SIZE.png, as installed into the hicolor theme.
constexpr std::array IconSizes{16, 32, 48, 64, 128, 256};

} // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : IconSizes)
        icon.addFile(QStringLiteral(":/morvane/icons/morvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace morvane
