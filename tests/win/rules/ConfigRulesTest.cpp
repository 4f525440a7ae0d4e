#include <gtest/gtest.h>

#include "ConfigRules.h"
#include "DialogInt.h"

namespace {

TEST(ConfigRules, ControlChangesRestartThePreviewWithTheListSelection) {
    struct Case {
        const char* what;
        ConfigControl control;
        int32_t check;
        int32_t selection;
        bool restart;
        int32_t wantType;
    };
    const Case cases[] = {
        {"Blank Screen on", ConfigControl::BlankScreen, 1, 2, true, 2},
        {"Smooth Fire on", ConfigControl::SmoothFire, 1, 1, true, 1},
        {"a new fire type", ConfigControl::FireTypeList, 0, 1, true, 1},
        {"Blank Screen with no selection", ConfigControl::BlankScreen, 0, -1, true, -1},
        {"Draw firefly", ConfigControl::DrawFly, 1, 2, false, 0},
    };
    for (const Case& c : cases) {
        DialogValues values;
        values.fireType = 0;
        const ControlEffect effect = OnControlChanged(values, c.control, c.check, c.selection);
        EXPECT_EQ(effect.preview.restart, c.restart) << c.what;
        if (c.restart) {
            EXPECT_EQ(effect.preview.fireType, c.wantType) << c.what;
            EXPECT_EQ(values.fireType, c.wantType) << c.what << ": the dialog keeps the selection";
        } else {
            EXPECT_EQ(values.fireType, 0) << c.what << ": the fire type is left alone";
        }
    }
}

TEST(ConfigRules, CheckBoxesReachTheDialogAndOnlyTheirOwnPreviewValue) {
    DialogValues values;
    ControlEffect blank = OnControlChanged(values, ConfigControl::BlankScreen, 1, 0);
    EXPECT_EQ(values.blankScreen, 1);
    EXPECT_EQ(blank.preview.blankScreen, std::optional<int32_t>(1));
    EXPECT_FALSE(blank.preview.smooth.has_value());
    EXPECT_FALSE(blank.enableFlyEdits.has_value());

    ControlEffect smooth = OnControlChanged(values, ConfigControl::SmoothFire, 1, 0);
    EXPECT_EQ(values.smoothFire, 1);
    EXPECT_EQ(smooth.preview.smooth, std::optional<int32_t>(1));
    EXPECT_FALSE(smooth.preview.blankScreen.has_value());

    ControlEffect fly = OnControlChanged(values, ConfigControl::DrawFly, 0, 0);
    EXPECT_EQ(values.drawFly, 0);
    EXPECT_EQ(fly.enableFlyEdits, std::optional<bool>(false));
    EXPECT_FALSE(fly.preview.blankScreen.has_value() || fly.preview.smooth.has_value());
}

TEST(ConfigRules, ValuesWrittenOnOkAreTheDialogsInTheWriteOrder) {
    SettingValues stored;
    stored[SettingId::FireType] = 7;
    stored[SettingId::FlyWidth] = 4;
    stored[SettingId::FlySpeed] = 5;
    DialogValues values = DialogValuesFrom(stored);
    // A stored type outside the list leaves no selection; OK then stores -1.
    values.fireType = -1;
    const SettingValues written = SettingsToWrite(values);
    EXPECT_EQ(written[SettingId::FireType], -1);
    EXPECT_EQ(written[SettingId::FlyWidth], 4);
    EXPECT_EQ(written[SettingId::FlySpeed], 5);
}

TEST(ConfigRules, TypedNumbers) {
    struct Case {
        const char* text;
        std::optional<int32_t> want;
    };
    const Case cases[] = {
        {"5", 5},       {" 12 ", 12},   {"-3", -3},     {"+7", 7},
        {"abc", {}},    {"", {}},       {"  ", {}},     {"5x", {}},
        {"1 2", {}},    {"-", {}},      {"2147483647", 2147483647},
        {"2147483648", {}},             {"-2147483648", -2147483647 - 1},
        {"99999999999999999999", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDialogInt(c.text), c.want) << '"' << c.text << '"';
}

TEST(ConfigRules, AboutCommandIgnoresTheLowFourBitsAndTheIconIsCentred) {
    EXPECT_TRUE(IsAboutCommand(16));
    EXPECT_TRUE(IsAboutCommand(31));
    EXPECT_FALSE(IsAboutCommand(32));
    EXPECT_FALSE(IsAboutCommand(0xF060));
    EXPECT_EQ(IconOrigin(100, 32), 34);
    EXPECT_EQ(IconOrigin(101, 32), 35);
    EXPECT_EQ(IconOrigin(10, 32), -10) << "truncates toward zero";
}

}  // namespace
