#include "gui/qt_tray_icon_image.h"

#include <QImage>
#include <QPixmap>

#include <cstddef>

namespace velmora {

extern const unsigned char kTrayIconIco[];
extern const std::size_t kTrayIconIcoSize;

QIcon trayIconImage()
{
    QImage image;
    image.loadFromData(kTrayIconIco, static_cast<int>(kTrayIconIcoSize), "ICO");
    return QIcon(QPixmap::fromImage(image));
}

} // namespace velmora
