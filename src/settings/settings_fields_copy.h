#pragma once
// A copy of the typed fields for a tool that runs away from the window's thread: the window's
// gadgets belong to the GUI thread. What the tool changed goes back to the window afterwards.

#include "settings/settings_fields.h"

#include <map>
#include <optional>
#include <string>

namespace velmora {

class SettingsFieldsCopy final : public SettingsFields {
public:
    explicit SettingsFieldsCopy(const SettingsFields& from)
    {
        for (const SettingsField field : kAllSettingsFields)
            typed_[field] = from.text(field);
        texts_ = typed_;
    }

    std::string text(SettingsField field) const override { return texts_.at(field); }
    void setText(SettingsField field, const std::string& text) override { texts_[field] = text; }
    void focus(SettingsField field) override { focus_ = field; }

    // GUI thread, once the tool has ended: the changed fields, then the focus it asked for.
    void writeBackTo(SettingsFields& window) const
    {
        for (const auto& [field, text] : texts_)
            if (typed_.at(field) != text)
                window.setText(field, text);
        if (focus_)
            window.focus(*focus_);
    }

private:
    std::map<SettingsField, std::string> typed_;
    std::map<SettingsField, std::string> texts_;
    std::optional<SettingsField> focus_;
};

} // namespace velmora
