#include "gui/win32_front_end.h"

#include "app/win32_wide_text.h"
#include "gui/win32_about_box.h"
#include "gui/win32_main_window.h"
#include "gui/win32_preview.h"
#include "gui/win32_region_frame.h"
#include "gui/win32_region_picker.h"
#include "gui/win32_settings_window.h"

#include <shellapi.h>

namespace velmora {

Win32FrontEnd::Win32FrontEnd()
    : boxes_(&gui_), ownWindows_(gui_.threadId()), titleFont_(arialBold(12, screenDotsPerInch()))
{
}

Win32FrontEnd::~Win32FrontEnd() = default;

void Win32FrontEnd::settle(int milliseconds)
{
    gui_.serveWithoutInput(nullptr, static_cast<DWORD>(milliseconds));
}

void Win32FrontEnd::useScreen(ScreenBounds screen, const std::string& tempFolder)
{
    screen_ = screen;
    tempFolder_ = tempFolder;
    regionFrame_ = std::make_unique<Win32RegionFrame>(screen);
    regionPicker_ = std::make_unique<Win32RegionPicker>(screen, titleFont_.get(),
                                                        [this](int ms) { settle(ms); });
}

MainWindowView& Win32FrontEnd::openMainWindow(WindowPosition position, WindowActionHandler onAction)
{
    mainWindow_ = std::make_unique<Win32MainWindow>(position, std::move(onAction), icon_.get());
    return *mainWindow_;
}

void Win32FrontEnd::showAboutBox(const std::string& homepage, std::function<void()> openHomepage)
{
    if (!about_ || about_->handle() == nullptr)
        about_ =
            std::make_unique<Win32AboutBox>(mainWindow_ ? mainWindow_->handle() : nullptr,
                                            titleFont_.get(), homepage, std::move(openHomepage));
    about_->showActive();
}

void Win32FrontEnd::openWebAddress(const std::string& address)
{
    const std::wstring target = wideFromWindows1252(address);
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool Win32FrontEnd::settingsWindowOpen() const
{
    return settingsWindow_ && settingsWindow_->handle() != nullptr && settingsWindow_->open();
}

void Win32FrontEnd::raiseSettingsWindow()
{
    if (settingsWindow_ && settingsWindow_->visible())
        settingsWindow_->showActive();
}

SettingsWindowView& Win32FrontEnd::createSettingsWindow(SettingsWindowEvents events,
                                                        std::function<void()> onClosed)
{
    settingsWindow_.reset();
    settingsWindow_ = std::make_unique<Win32SettingsWindow>(
        mainWindow_ ? mainWindow_->handle() : nullptr, std::move(events), std::move(onClosed));
    return *settingsWindow_;
}

void Win32FrontEnd::showSettingsWindow()
{
    if (settingsWindow_)
        settingsWindow_->show();
}

void Win32FrontEnd::openRegionPicker(SettingsFields& fields, std::function<void()> closedByCloseBox)
{
    if (regionPicker_ && settingsWindow_)
        regionPicker_->open(*settingsWindow_, fields, std::move(closedByCloseBox));
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

void Win32FrontEnd::showPreview(const PreviewServices& services)
{
    if (!preview_)
        preview_ = std::make_unique<Win32Preview>(tempFolder_, screen_, services,
                                                  [this](int ms) { settle(ms); });
    if (settingsWindow_)
        preview_->show(*settingsWindow_);
}

void Win32FrontEnd::closePreview()
{
    if (preview_)
        preview_->close();
}

void Win32FrontEnd::runWhileRepainting(const std::function<void()>& work)
{
    velmora::runWhileRepainting(gui_, work);
}

bool Win32FrontEnd::takeDialogKeys(MSG& message)
{
    return (settingsWindow_ && settingsWindow_->takeDialogKeys(message)) ||
           (about_ && about_->takeDialogKeys(message));
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
