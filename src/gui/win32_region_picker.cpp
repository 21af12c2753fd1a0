#include "gui/win32_region_picker.h"

#include "app/program_windows.h"
#include "capture/picker_tracking.h"

namespace velmora {
namespace {

constexpr BYTE kOpacity = 180;
constexpr COLORREF kBackground = RGB(255, 245, 220);

} // namespace

// The window only reports what happens to it; Win32RegionPicker decides.
class Win32RegionPicker::Window final : public Win32DescribedWindow {
public:
    Window(HWND owner, const ScreenBounds& screen, HFONT font, WindowActionHandler onAction)
        : Win32DescribedWindow(regionPickerDescription(), owner, font, std::move(onAction), {},
                               &screen),
          background_(CreateSolidBrush(kBackground))
    {
        if (handle() == nullptr)
            return;
        SetLayeredWindowAttributes(handle(), 0, kOpacity, LWA_ALPHA);
        ShowWindow(handle(), SW_SHOW);
    }
    ~Window() override
    {
        destroy();
        DeleteObject(background_);
    }

    HWND button() const { return GetDlgItem(handle(), kPickerButtonGadget); }

    std::function<void()> moved; // moved or resized

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_MOVE:
        case WM_SIZE:
            if (moved)
                moved();
            return 0;
        case WM_ERASEBKGND: {
            RECT area{};
            GetClientRect(handle(), &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, background_);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wParam), kBackground);
            return reinterpret_cast<LRESULT>(background_);
        default:
            return Win32DescribedWindow::onMessage(message, wParam, lParam);
        }
    }

private:
    HBRUSH background_;
};

Win32RegionPicker::Win32RegionPicker(ScreenBounds screen, HFONT font,
                                     std::function<void(int)> settle)
    : screen_(screen), font_(font), settle_(std::move(settle))
{
}

Win32RegionPicker::~Win32RegionPicker() = default;

void Win32RegionPicker::open(Win32Window& owner, SettingsFields& fields,
                             std::function<void()> closedByCloseBox)
{
    if (open_ && window_ && window_->handle() != nullptr) {
        window_->showActive();
        return;
    }
    owner_ = &owner;
    fields_ = &fields;
    closedByCloseBox_ = std::move(closedByCloseBox);

    owner.hide();
    if (settle_)
        settle_(regionPickerDescription().settleMilliseconds);

    // The window of a previous pick was only hidden: it was closed from inside its own handlers.
    window_.reset();
    window_ = std::make_unique<Window>(owner.handle(), screen_, font_, [this](WindowAction action) {
        finish(action == WindowAction::TakeRegion);
    });
    window_->moved = [this] { track(); };
    SetForegroundWindow(window_->handle());
    open_ = true;
    // The button keeps its first text until the presenter moves or sizes the window.
    tracking_.start();
}

void Win32RegionPicker::track()
{
    tracking_.follow([this] { trackOnce(); });
}

void Win32RegionPicker::trackOnce()
{
    RECT outer{};
    if (!window_ || window_->handle() == nullptr || !GetWindowRect(window_->handle(), &outer)) {
        // The window is gone: its text is empty, and an empty result changes nothing.
        if (window_ && window_->button() != nullptr)
            setGadgetText(window_->button(), "");
        return;
    }
    const OuterRect rect{outer.left, outer.top, outer.right, outer.bottom};
    setGadgetText(window_->button(), regionFromOuterRect(rect));

    const OuterRect kept = keepPickerOnScreen(rect, screen_);
    if (kept == rect)
        return;
    SetWindowPos(window_->handle(), nullptr, kept.left, kept.top, kept.width(), kept.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32RegionPicker::finish(bool pickedWithButton)
{
    if (!open_)
        return;
    const std::string result = window_ ? gadgetText(window_->button()) : std::string();
    open_ = false;
    tracking_.stop();
    // Hidden only: this runs inside the window's own handlers.
    window_->hide();

    if (owner_ != nullptr && owner_->handle() != nullptr) {
        owner_->showActive();
        if (pickedWithButton && !result.empty()) {
            fields_->setText(SettingsField::ScreenRegion, result);
            fields_->focus(SettingsField::ScreenRegion);
        }
    }
    if (!pickedWithButton && closedByCloseBox_)
        closedByCloseBox_();
}

} // namespace velmora
