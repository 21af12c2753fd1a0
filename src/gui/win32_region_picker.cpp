#include "gui/win32_region_picker.h"

#include "capture/picker_tracking.h"

namespace velmora {
namespace {

constexpr int kSettleMs = 200;
constexpr int kClientSize = 200;
constexpr BYTE kOpacity = 180;
constexpr COLORREF kBackground = RGB(255, 245, 220);
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// Layered and a tool window (no taskbar button); kept on top, as its owner is.
constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kButton = 100;
constexpr char kFirstText[] = "100,100,300,300";

} // namespace

// The window only reports what happens to it; Win32RegionPicker decides.
class Win32RegionPicker::Window final : public Win32Window {
public:
    Window(HWND owner, ScreenBounds screen, HFONT font) : background_(CreateSolidBrush(kBackground))
    {
        const SIZE outer = outerSizeForClient(kClientSize, kClientSize, kStyle, kExStyle);
        Shape shape;
        shape.exStyle = kExStyle;
        shape.style = kStyle;
        shape.x = screen.left + (screen.right - screen.left - outer.cx) / 2;
        shape.y = screen.top + (screen.bottom - screen.top - outer.cy) / 2;
        shape.width = outer.cx;
        shape.height = outer.cy;
        shape.owner = owner;
        if (!create("Bereich bestimmen", shape))
            return;
        SetLayeredWindowAttributes(handle(), 0, kOpacity, LWA_ALPHA);
        ShowWindow(handle(), SW_SHOW);
        button_ = addGadget(L"BUTTON", kFirstText, BS_PUSHBUTTON, 10, 10, 180, 25, kButton, font);
        addGadget(L"STATIC",
                  "Fenstergr\xF6sse und Position anpassen um Bereich zu bestimmen, dann Knopf "
                  "dr\xFC"
                  "cken.",
                  SS_LEFT | SS_NOPREFIX, 10, 50, 180, 100, -1, font);
    }
    ~Window() override
    {
        destroy();
        DeleteObject(background_);
    }

    HWND button() const { return button_; }

    std::function<void()> moved;    // moved or resized
    std::function<void()> pressed;  // the button
    std::function<void()> closeBox; // closed by the presenter

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
        case WM_COMMAND:
            if (LOWORD(wParam) == kButton && HIWORD(wParam) == BN_CLICKED && pressed)
                pressed();
            return 0;
        case WM_CLOSE:
            if (closeBox)
                closeBox();
            return 0;
        default:
            return byDefault(message, wParam, lParam);
        }
    }

private:
    HBRUSH background_;
    HWND button_ = nullptr;
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
        settle_(kSettleMs);

    // The window of a previous pick was only hidden: it was closed from inside its own handlers.
    window_.reset();
    window_ = std::make_unique<Window>(owner.handle(), screen_, font_);
    window_->moved = [this] { track(); };
    window_->pressed = [this] { finish(true); };
    window_->closeBox = [this] { finish(false); };
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
