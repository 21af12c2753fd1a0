#include "settings/settings_fields_copy.h"

#include "support/map_settings_fields.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Records what reaches the window, in order.
class RecordingWindow final : public SettingsFields {
public:
    std::string text(SettingsField field) const override { return fields.text(field); }
    void setText(SettingsField field, const std::string& text) override
    {
        calls.push_back("set " + std::to_string(static_cast<int>(field)) + " " + text);
        fields.setText(field, text);
    }
    void focus(SettingsField field) override
    {
        calls.push_back("focus " + std::to_string(static_cast<int>(field)));
    }
    test::MapSettingsFields fields;
    std::vector<std::string> calls;
};

TEST(SettingsFieldsCopy, OnlyWhatTheToolChangedGoesBackThenTheFocus)
{
    RecordingWindow window;
    window.fields.texts = {{SettingsField::ServerName, "ftp.example.com"},
                           {SettingsField::WebDir, " public_html "},
                           {SettingsField::HtpasswdPath, "/old/"}};
    SettingsFieldsCopy copy(window);
    EXPECT_EQ(copy.text(SettingsField::ServerName), "ftp.example.com");
    EXPECT_EQ(copy.text(SettingsField::LoginId), "") << "every field is copied, empty ones too";

    copy.setText(SettingsField::WebDir, "public_html/");
    copy.setText(SettingsField::ServerName, "ftp.example.com"); // the same text: no change
    copy.setText(SettingsField::HtpasswdPath, "/srv/www/show/");
    copy.focus(SettingsField::WebDir);
    EXPECT_TRUE(window.calls.empty()) << "nothing reaches the window while the tool runs";

    copy.writeBackTo(window);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"set 11 public_html/",
                                                      "set 22 /srv/www/show/", "focus 11"}));
}

} // namespace
} // namespace velmora
