#include "app/region_picker.h"

#include "app/program_windows.h"

namespace velmora {

std::string RegionPicker::text() const
{
    return window_ ? window_->text(kPickerButtonGadget) : std::string();
}

void RegionPicker::open(DescribedWindow& owner, SettingsFields& fields,
                        std::function<void()> closedByCloseBox)
{
    if (open_) {
        window_->show();
        return;
    }
    owner_ = &owner;
    fields_ = &fields;
    closedByCloseBox_ = std::move(closedByCloseBox);

    const WindowDescription& description = regionPickerDescription();
    owner.hide();
    frontEnd_.waitWhileRepainting(description.settleMilliseconds);

    // The window of a previous pick was only hidden: it may have been closed from inside its
    // own event handlers.
    window_.reset();
    WindowEvents events;
    events.action = [this](WindowAction action) { finish(action == WindowAction::TakeRegion); };
    events.moved = [this] { tracking_.follow([this] { trackOnce(); }); };
    window_ = frontEnd_.openWindow(description, std::move(events), &owner);
    window_->show();
    open_ = true;
    // The button keeps its first text until the presenter moves or sizes the window.
    tracking_.start();
}

void RegionPicker::trackOnce()
{
    const OuterRect rect = window_->frame();
    // The window is gone (the system takes owned windows with their owner): an empty result
    // changes nothing.
    if (rect.width() <= 0 || rect.height() <= 0)
        return window_->setText(kPickerButtonGadget, "");
    window_->setText(kPickerButtonGadget, regionFromOuterRect(rect));
    const OuterRect kept = keepPickerOnScreen(rect, screen_);
    if (kept != rect)
        window_->setFrame(kept);
}

void RegionPicker::finish(bool pickedWithButton)
{
    if (!open_)
        return;
    const std::string result = text();
    open_ = false;
    tracking_.stop();
    window_->hide(); // hidden only: this runs inside the window's own handlers

    owner_->show();
    if (pickedWithButton && !result.empty()) {
        fields_->setText(SettingsField::ScreenRegion, result);
        fields_->focus(SettingsField::ScreenRegion);
    }
    if (!pickedWithButton && closedByCloseBox_)
        closedByCloseBox_();
}

} // namespace velmora
