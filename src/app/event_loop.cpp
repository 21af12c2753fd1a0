#include "app/event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace velmora {

void runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace)
{
    // The coarse timer may fire up to 5 % early; the pacing counts on whole half seconds.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(500);
    while (!quit) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (quit)
            break;
        pace();
    }
}

} // namespace velmora
