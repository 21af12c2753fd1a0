#pragma once
// "Bereich bestimmen" on Win32: a see-through layered tool window that the presenter moves and
// sizes over the part of the screen to be shown. Its button shows the Region string of the
// window's outer rectangle and, when pressed, hands it to the settings window's region field.

#include "capture/picker_tracking.h"
#include "gui/win32_fonts.h"
#include "gui/win32_described_window.h"
#include "screen/screen_source.h"
#include "settings/settings_fields.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class Win32RegionPicker {
public:
    // settle: a wait of so many milliseconds that keeps the windows painting.
    Win32RegionPicker(ScreenBounds screen, HFONT font, std::function<void(int)> settle);
    ~Win32RegionPicker();
    Win32RegionPicker(const Win32RegionPicker&) = delete;
    Win32RegionPicker& operator=(const Win32RegionPicker&) = delete;

    // Hides the owner (the settings window), lets the screen settle 200 ms and opens the picker
    // centred on the screen. The button closes it, brings the owner back active and puts a
    // non-empty text into the region field of fields, which gets the focus; the close box
    // brings the owner back, leaves the field alone and runs closedByCloseBox. A picker already
    // open only comes to the front.
    void open(Win32Window& owner, SettingsFields& fields, std::function<void()> closedByCloseBox);
    bool isOpen() const { return open_; }

private:
    class Window;
    void track();
    void trackOnce();
    void finish(bool pickedWithButton);

    ScreenBounds screen_;
    HFONT font_;
    std::function<void(int)> settle_;
    std::unique_ptr<Window> window_;
    Win32Window* owner_ = nullptr;
    SettingsFields* fields_ = nullptr;
    std::function<void()> closedByCloseBox_;
    bool open_ = false;
    PickerTracking tracking_;
};

} // namespace velmora
