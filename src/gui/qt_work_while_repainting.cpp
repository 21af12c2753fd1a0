#include "gui/qt_work_while_repainting.h"

#include "core/signal_stack.h"
#include "gui/qt_held_input.h"

#include <QEventLoop>

namespace velmora {

void runWhileRepainting(const std::function<void()>& work)
{
    QEventLoop loop;
    HeldInput held;
    // The quit is queued to the GUI thread, so it cannot slip in before the loop runs.
    std::jthread worker = startWorkerThread([&work, &loop] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
}

} // namespace velmora
