#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon, drawn from the SVG that the desktop integration installs too.
namespace vorlix::window {

// The icon at a size in pixels (transparent around the sheet).
[[nodiscard]] QPixmap applicationPixmap(int size);
// The icon in the sizes a window manager asks for.
[[nodiscard]] QIcon applicationIcon();

}
