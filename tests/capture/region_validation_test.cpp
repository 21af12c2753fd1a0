// The region check as the settings window and the region frame apply it: which texts pass, and
// the exact messages for those that do not.

#include "capture/region_validation.h"

#include "support/map_settings_fields.h"
#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const ScreenBounds kScreen{0, 0, 1024, 768};

const std::string kFormatMessage =
    "'Ausgew\xE4hlter Bildschirmbereich' muss leer sein f\xFCr den ganzen Bildschirmbereich\r\n"
    "oder im Format 'links,oben,rechts,unten' f\xFCr einen eingeschr\xE4nkten "
    "Bildschirmbereich.\r\n"
    "Bitte ben\xFCtzen Sie den Knopf 'Bereich bestimmen' um diese Angaben festzulegen.\r\n";

const std::string kSizeMessage1024 = "Der ausgew\xE4hlte Bildschirmbereich \xFC"
                                     "berschreitet die Bildschirmgr\xF6sse.\r\n"
                                     "Die maximalen Werte sind: 1024 Pixel breit, 768 Pixel "
                                     "hoch\r\n";

struct Outcome {
    bool valid;
    std::vector<test::ShownBox> boxes;
    std::vector<SettingsField> focused;
    std::string fieldAfter;
};

Outcome validate(const std::string& region, const ScreenBounds& screen = kScreen)
{
    test::MapSettingsFields fields;
    fields.texts[SettingsField::ScreenRegion] = region;
    test::FakeMessageBoxes boxes;
    const bool valid = ValidateRegionText(fields, screen, boxes);
    return {valid, boxes.shown(), fields.focused, fields.text(SettingsField::ScreenRegion)};
}

TEST(RegionValidation, AcceptsUsableTextsSilently)
{
    for (const std::string region :
         {"", "100,100,300,300", "1,1,1024,768", ",,,", "300,300,100,100", "0,0,0,0",
          "0001,0002,1024,0768", "1024,768,1024,768"}) {
        const Outcome outcome = validate(region);
        EXPECT_TRUE(outcome.valid) << region;
        EXPECT_TRUE(outcome.boxes.empty()) << region;
        EXPECT_TRUE(outcome.focused.empty()) << region;
        EXPECT_EQ(outcome.fieldAfter, region) << "the check never changes the field";
    }
}

TEST(RegionValidation, RefusesBadFormatsWithTheThreeLineMessage)
{
    for (const std::string& region : std::vector<std::string>{
             "10;10;200;200", "10,10,200", "1,1,2,2,", ",,,,", " 1,1,2,2", "1,1,2,2 ", "-1,1,2,2",
             "+1,1,2,2", "1,1,2\xE4,2", "1,1,2,2\r\n", std::string("1,1,2\0,2", 8)}) {
        const Outcome outcome = validate(region);
        EXPECT_FALSE(outcome.valid) << region;
        ASSERT_EQ(outcome.boxes.size(), 1u) << region;
        EXPECT_EQ(outcome.boxes[0].title, "Fehler");
        EXPECT_EQ(outcome.boxes[0].text, kFormatMessage);
        EXPECT_EQ(outcome.boxes[0].buttons, BoxButtons::Ok);
        EXPECT_EQ(outcome.focused, std::vector<SettingsField>{SettingsField::ScreenRegion});
        EXPECT_EQ(outcome.fieldAfter, region);
    }
}

TEST(RegionValidation, RefusesValuesBeyondTheScreenNamingItsSize)
{
    for (const std::string region :
         {"1,1,1025,768", "1,1,1024,769", "1025,1,1024,768", "1,769,1024,768",
          // Long numbers count by their value, not by their low 32 bits (4294967297 would
          // otherwise read as 1 and pass).
          "4294967297,1,2,3", "1,1,4294968320,768", "99999999999999999999999,1,2,3"}) {
        const Outcome outcome = validate(region);
        EXPECT_FALSE(outcome.valid) << region;
        ASSERT_EQ(outcome.boxes.size(), 1u) << region;
        EXPECT_EQ(outcome.boxes[0].title, "Fehler");
        EXPECT_EQ(outcome.boxes[0].text, kSizeMessage1024) << region;
        EXPECT_EQ(outcome.focused, std::vector<SettingsField>{SettingsField::ScreenRegion});
    }

    const Outcome wide = validate("1,1,1921,10", ScreenBounds{0, 0, 1920, 1080});
    ASSERT_EQ(wide.boxes.size(), 1u);
    EXPECT_EQ(wide.boxes[0].text, "Der ausgew\xE4hlte Bildschirmbereich \xFC"
                                  "berschreitet die Bildschirmgr\xF6sse.\r\n"
                                  "Die maximalen Werte sind: 1920 Pixel breit, 1080 Pixel "
                                  "hoch\r\n");
}

TEST(RegionValidation, QuietCheckTellsTheReason)
{
    EXPECT_EQ(checkRegionText("", kScreen), RegionCheck::Usable);
    EXPECT_EQ(checkRegionText("100,100,300,300", kScreen), RegionCheck::Usable);
    EXPECT_EQ(checkRegionText("10,10,200", kScreen), RegionCheck::BadFormat);
    // The format is checked first: a text both malformed and too large is a format fault.
    EXPECT_EQ(checkRegionText("2000;1,1,1", kScreen), RegionCheck::BadFormat);
    EXPECT_EQ(checkRegionText("2000,1,1,1", kScreen), RegionCheck::BeyondScreen);
    EXPECT_EQ(regionFormatMessage(), kFormatMessage);
    EXPECT_EQ(regionSizeMessage(kScreen), kSizeMessage1024);
}

} // namespace
} // namespace velmora
