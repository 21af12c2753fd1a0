// The rules every window description must keep, whatever front end renders it, and where a
// window opens.

#include "app/program_windows.h"
#include "app/window_placement.h"
#include "core/program_version.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace velmora {
namespace {

const WindowDescription* const kWindows[] = {
    &mainWindowDescription(),   &settingsWindowDescription(), &aboutBoxDescription(),
    &regionPickerDescription(), &previewWindowDescription(),  &regionFrameDescription(),
};

char accessKey(const char* text)
{
    const std::string s = text;
    const auto amp = s.find('&');
    return amp == std::string::npos || amp + 1 >= s.size()
               ? '\0'
               : static_cast<char>(std::tolower(static_cast<unsigned char>(s[amp + 1])));
}

TEST(WindowDescriptions, GadgetsAreUniqueInsideTheirWindowAndMenusHaveOneKeyEach)
{
    std::set<std::string> titles;
    for (const WindowDescription* window : kWindows) {
        SCOPED_TRACE(window->title);
        EXPECT_TRUE(titles.insert(window->title).second) << "two windows of one title";
        std::set<int> ids;
        for (const GadgetDescription& g : window->gadgets) {
            EXPECT_TRUE(ids.insert(g.id).second) << "gadget " << g.id << " twice";
            // A window sized by its content has no fixed client area to check against.
            if (window->clientWidth == 0)
                continue;
            EXPECT_GE(g.place.x, 0) << g.id;
            EXPECT_LE(g.place.x + g.place.width, window->clientWidth) << g.id;
            EXPECT_LE(g.place.y + g.place.height, window->clientHeight) << g.id;
            // Clicks come back as the gadget's action, so every button must have one.
            if (g.kind == GadgetKind::Button || g.kind == GadgetKind::Link) {
                EXPECT_NE(g.action, WindowAction::None) << g.id;
            }
        }
        for (const MenuDescription& menu : window->menus) {
            std::set<char> keys;
            for (const MenuEntry& entry : menu.entries) {
                EXPECT_NE(accessKey(entry.text), '\0') << entry.text;
                EXPECT_TRUE(keys.insert(accessKey(entry.text)).second) << entry.text;
            }
        }
    }
}

TEST(WindowDescriptions, TheAboutBoxNamesTheBuiltVersion)
{
    const GadgetDescription* version = aboutBoxDescription().gadget(3);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::string(version->text), std::string("Version ") + kProgramVersion);
}

TEST(WindowPlacement, TheOuterFrameIsCentredAndItsTitleBarStaysOnTheScreen)
{
    const ScreenBounds screen{0, 0, 1024, 768};
    // The settings window's client area with a title bar of 23 and borders of 3 pixels.
    EXPECT_EQ(centredIn(700, 511, screen), (WindowPlace{162, 128}));
    EXPECT_EQ(centredIn(1024, 768, screen), (WindowPlace{0, 0}));
    EXPECT_EQ(centredIn(1500, 900, screen), (WindowPlace{0, 0})) << "never above or left of it";
    // A second monitor to the left of the first has negative coordinates.
    EXPECT_EQ(centredIn(200, 200, {-1280, 0, 0, 1024}), (WindowPlace{-740, 412}));
}

} // namespace
} // namespace velmora
