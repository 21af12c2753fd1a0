#include "gui/win32_front_end.h"

#include "app/win32_wide_text.h"
#include "gui/win32_main_window.h"
#include "gui/win32_region_frame.h"

#include <shellapi.h>

namespace velmora {

Win32FrontEnd::Win32FrontEnd()
    : boxes_(&gui_), ownWindows_(gui_.threadId()), titleFont_(arialBold(12, screenDotsPerInch()))
{
}

Win32FrontEnd::~Win32FrontEnd() = default;

void Win32FrontEnd::waitWhileRepainting(int milliseconds)
{
    gui_.serveWithoutInput(nullptr, static_cast<DWORD>(milliseconds));
}

void Win32FrontEnd::useScreen(ScreenBounds screen)
{
    regionFrame_ = std::make_unique<Win32RegionFrame>(screen);
}

MainWindowView& Win32FrontEnd::openMainWindow(WindowPosition position, WindowActionHandler onAction)
{
    mainWindow_ = std::make_unique<Win32MainWindow>(position, std::move(onAction), icon_.get());
    return *mainWindow_;
}

std::unique_ptr<DescribedWindow> Win32FrontEnd::openWindow(const WindowDescription& description,
                                                           WindowEvents events,
                                                           DescribedWindow* owner,
                                                           WindowPlace place, int clientWidth,
                                                           int clientHeight)
{
    // Every window of this front end is one of these.
    const auto* ownerWindow = dynamic_cast<Win32Window*>(owner);
    return std::make_unique<Win32DescribedWindow>(
        description, std::move(events), ownerWindow != nullptr ? ownerWindow->handle() : nullptr,
        titleFont_.get(), POINT{place.x, place.y}, SIZE{clientWidth, clientHeight}, &openWindows_);
}

void Win32FrontEnd::openWebAddress(const std::string& address)
{
    const std::wstring target = wideFromWindows1252(address);
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32FrontEnd::startRegionFrame(const std::string& region)
{
    if (regionFrame_)
        regionFrame_->start(region);
}

void Win32FrontEnd::stopRegionFrame()
{
    if (regionFrame_)
        regionFrame_->stop();
}

void Win32FrontEnd::runWhileRepainting(const std::function<void()>& work)
{
    velmora::runWhileRepainting(gui_, work);
}

bool Win32FrontEnd::takeDialogKeys(MSG& message)
{
    for (Win32DescribedWindow* window : openWindows_)
        if (window->takeDialogKeys(message))
            return true;
    return false;
}

void Win32FrontEnd::runEventLoop(const std::atomic<bool>& quit, const std::function<void()>& pace)
{
    gui_.runEventLoop(quit, pace, [this](MSG& message) { return takeDialogKeys(message); });
}

void Win32FrontEnd::runOnGuiThread(std::function<void()> work)
{
    gui_.post(std::move(work));
}

} // namespace velmora
