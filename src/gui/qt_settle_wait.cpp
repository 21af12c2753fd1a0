#include "gui/qt_settle_wait.h"

#include <QEventLoop>
#include <QTimer>

namespace velmora {

void waitWhileRepainting(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace velmora
