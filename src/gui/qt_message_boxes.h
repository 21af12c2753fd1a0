#pragma once
// Message boxes on Qt. Only the GUI thread may show a window, so a box asked for by another
// thread is queued for the GUI thread, and the asking thread waits for the answer. A GUI thread
// that itself waits for such a thread calls serveQueuedBoxes() while it waits.

#include "core/gui_thread_boxes.h"

namespace velmora {

class QtMessageBoxes final : public GuiThreadBoxes {
protected:
    bool onGuiThread() const override;
    void wakeGuiThread(std::function<void()> work) override;
    BoxAnswer showNow(const std::string& title, const std::string& text, BoxButtons buttons,
                      BoxModality modality) override;
};

} // namespace velmora
