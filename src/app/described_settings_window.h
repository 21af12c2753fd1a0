#pragma once
// The settings window's form over its described window: the fields and check boxes by their
// gadget ids, and closing, which only hides the window.

#include "app/described_window.h"
#include "settings/settings_form.h"

#include <functional>
#include <memory>

namespace velmora {

class DescribedSettingsWindow final : public SettingsWindowView {
public:
    DescribedSettingsWindow(std::unique_ptr<DescribedWindow> window, std::function<void()> onClosed)
        : window_(std::move(window)), onClosed_(std::move(onClosed))
    {
    }

    // Until closeWindow: hidden for the region picker and the preview's picture, it stays open.
    bool open() const { return open_; }
    DescribedWindow& window() { return *window_; }

    std::string text(SettingsField field) const override { return window_->text(id(field)); }
    void setText(SettingsField field, const std::string& text) override
    {
        window_->setText(id(field), text);
    }
    void focus(SettingsField field) override { window_->focus(id(field)); }
    bool checked(SettingsCheck box) const override { return window_->checked(id(box)); }
    void setChecked(SettingsCheck box, bool on) override { window_->setChecked(id(box), on); }
    void closeWindow() override
    {
        if (!open_)
            return;
        open_ = false;
        window_->hide();
        if (onClosed_)
            onClosed_();
    }

private:
    template <typename Id> static int id(Id gadget) { return static_cast<int>(gadget); }

    std::unique_ptr<DescribedWindow> window_;
    std::function<void()> onClosed_;
    bool open_ = true;
};

} // namespace velmora
