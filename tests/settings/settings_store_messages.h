#pragma once
// The messages the settings store shows, as the store tests expect them.

#include "support/fake_message_boxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {

inline const std::string kLoadFailed = "Programm-Einstellungen k\xF6"
                                       "nnen nicht gelesen werden.";
inline const std::string kSaveFailed = "Programm-Einstellungen k\xF6"
                                       "nnen nicht gesichert werden.";
inline const std::string kFirstRunHint = "Bitte zuerst im Men\xFC"
                                         " 'Extras' die Einstellungen des FTP-Servers vornehmen.";

inline std::vector<std::string> TextsShown(const test::FakeMessageBoxes& boxes)
{
    std::vector<std::string> texts;
    for (const auto& box : boxes.shown()) {
        EXPECT_EQ(box.title, "Velmora");
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
        EXPECT_EQ(box.modality, BoxModality::SystemModal);
        texts.push_back(box.text);
    }
    return texts;
}

} // namespace velmora
