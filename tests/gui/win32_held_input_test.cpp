// Under Wine: clicks made while the GUI thread waits for server work must survive a box that
// opens meanwhile, whose own message loop would otherwise take them.
#include "gui/win32_gui_thread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace velmora {
namespace {

// A message-only window (no display needed) that writes down the clicks it gets and who ran
// them: the main loop, or a box's loop that a posted work runs.
class ClickRecorder final : public Win32Window {
public:
    ClickRecorder()
    {
        Shape shape;
        shape.owner = HWND_MESSAGE;
        shape.style = 0;
        create("click recorder", shape);
    }
    ~ClickRecorder() override { destroy(); }

    std::string log;
    bool inBox = false;

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDOWN)
            log += inBox ? "click-in-box " : "click ";
        return byDefault(message, wParam, lParam);
    }
};

// What a message box does with the queue while it is open: it takes every message there is.
void runBoxLoop(ClickRecorder& recorder, DWORD milliseconds)
{
    recorder.inBox = true;
    const ULONGLONG until = GetTickCount64() + milliseconds;
    while (GetTickCount64() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
    recorder.inBox = false;
}

TEST(Win32HeldInput, AClickDuringTheWaitReachesItsWindowAfterABoxHasComeAndGone)
{
    Win32GuiThread gui;
    ClickRecorder recorder;
    ASSERT_NE(recorder.handle(), nullptr);

    runWhileRepainting(gui, [&] {
        // The presenter clicks while the work runs; then the work asks for a box.
        PostMessageW(recorder.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        Sleep(50);
        const HANDLE shown = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        gui.post([&] {
            runBoxLoop(recorder, 100);
            SetEvent(shown);
        });
        WaitForSingleObject(shown, 5000);
        CloseHandle(shown);
    });
    EXPECT_EQ(recorder.log, "") << "the click ran during the wait";

    // The next pass of the event loop delivers it, once, to its own window.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EXPECT_EQ(recorder.log, "click ");
}

} // namespace
} // namespace velmora
