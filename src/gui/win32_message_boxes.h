#pragma once
// Message boxes on Win32 (MessageBoxW). A box asked for by another thread is shown by the GUI
// thread, as every other window of the program, while the asking thread waits for the answer;
// a GUI thread that itself waits for such a thread serves them meanwhile.

#include "core/gui_thread_boxes.h"

namespace velmora {

class Win32GuiThread;

class Win32MessageBoxes final : public GuiThreadBoxes {
public:
    // gui null: every box is shown on the calling thread (the crash box's own process).
    explicit Win32MessageBoxes(Win32GuiThread* gui);

protected:
    bool onGuiThread() const override;
    void wakeGuiThread(std::function<void()> work) override;
    BoxAnswer showNow(const std::string& title, const std::string& text, BoxButtons buttons,
                      BoxModality modality) override;

private:
    Win32GuiThread* gui_;
};

// Shows one box on the calling thread: no icon; the thread's other windows are disabled while it
// is open; a system-modal box stays above every window.
BoxAnswer showMessageBoxNow(const std::string& title, const std::string& text, BoxButtons buttons,
                            BoxModality modality);

} // namespace velmora
