#pragma once
// The 32 x 32 icon carried inside the program, as ICO data.

#include <QIcon>

namespace velmora {

QIcon trayIconImage();

} // namespace velmora
