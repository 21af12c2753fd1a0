#pragma once
// The settings window's typed fields as a plain map, for the tools under test.

#include "settings/settings_fields.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::test {

class MapSettingsFields final : public SettingsFields {
public:
    std::string text(SettingsField field) const override
    {
        const auto found = texts.find(field);
        return found == texts.end() ? std::string() : found->second;
    }
    void setText(SettingsField field, const std::string& text) override { texts[field] = text; }
    void focus(SettingsField field) override { focused.push_back(field); }

    std::map<SettingsField, std::string> texts;
    std::vector<SettingsField> focused;
};

} // namespace velmora::test
