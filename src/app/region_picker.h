#pragma once
// "Bereich bestimmen": a see-through window that the presenter moves and sizes over the part of
// the screen to be shown. Its button shows the Region string of the window's outer rectangle
// and, when pressed, hands it to the settings window's region field.

#include "app/front_end.h"
#include "capture/picker_tracking.h"
#include "settings/settings_fields.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class RegionPicker {
public:
    // screen: the Screen bounds measured at start-up.
    RegionPicker(FrontEnd& frontEnd, ScreenBounds screen) : frontEnd_(frontEnd), screen_(screen) {}

    // GUI thread. Hides the owner (the settings window), lets the screen settle and opens the
    // picker centred on the screen. When the presenter presses the button, the picker closes,
    // the owner comes back active and a non-empty text goes into the region field of fields,
    // which gets the focus; fields must stay alive as long as the owner does. When the picker's
    // close box is used instead, the owner comes back, the field keeps its text and
    // closedByCloseBox runs (the presentation is stopped, as for every secondary window). A
    // picker that is already open is only brought to the front.
    void open(DescribedWindow& owner, SettingsFields& fields,
              std::function<void()> closedByCloseBox);
    bool isOpen() const { return open_; }
    // The button's text: the result the button would hand over now.
    std::string text() const;
    // The picker window while one exists, else nullptr.
    DescribedWindow* window() const { return window_.get(); }

private:
    void trackOnce();
    void finish(bool pickedWithButton);

    FrontEnd& frontEnd_;
    ScreenBounds screen_;
    std::unique_ptr<DescribedWindow> window_;
    DescribedWindow* owner_ = nullptr;
    SettingsFields* fields_ = nullptr;
    std::function<void()> closedByCloseBox_;
    bool open_ = false;
    PickerTracking tracking_;
};

} // namespace velmora
