#include <gtest/gtest.h>

#include "MemoryPlatform.h"
#include "Settings.h"

namespace {

TEST(Settings, EachReaderReadsInItsOrderWithItsDefaults) {
    struct Case {
        const char* reader;
        const SettingsReader& reads;
        std::vector<std::string> order;
        int32_t width;
        int32_t speed;
    };
    const Case cases[] = {
        {"constructor", kFireWndReads,
         {"BlankScreen", "SmoothFire", "FireType", "DrawFly", "FlyWidth", "FlySpeed"}, 0, 5},
        {"preview", kPreviewReads,
         {"BlankScreen", "SmoothFire", "FireType", "DrawFly", "FlyWidth", "FlySpeed"}, 3, 5},
        {"full screen", kFullScreenReads, {"BlankScreen", "SmoothFire", "FireType", "DrawFly", "FlyWidth"}, 0, 77},
        {"dialog", kDialogReads,
         {"BlankScreen", "SmoothFire", "DrawFly", "FireType", "FlyWidth", "FlySpeed"}, 4, 5},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        SettingValues values;
        values[SettingId::FlySpeed] = 77;  // shows whether the reader leaves it alone
        ReadSettings(c.reads, store, values);
        std::vector<std::string> expected;
        for (const auto& name : c.order) expected.push_back(std::string("Config\\") + name);
        EXPECT_EQ(store.reads, expected) << c.reader;
        EXPECT_EQ(values[SettingId::FlyWidth], c.width) << c.reader;
        EXPECT_EQ(values[SettingId::FlySpeed], c.speed) << c.reader;
        EXPECT_EQ(values[SettingId::BlankScreen], 0) << c.reader;
        EXPECT_EQ(values[SettingId::FireType], 0) << c.reader;
    }
}

TEST(Settings, StoredValuesAreTakenUnclampedAndWrittenInTheDialogsOrder) {
    MemorySettingsStore store;
    store.values["Config\\FireType"] = 7;
    store.values["Config\\FlySpeed"] = -2147483647 - 1;
    store.values["Config\\SmoothFire"] = 2147483647;
    SettingValues values;
    ReadSettings(kFireWndReads, store, values);
    EXPECT_EQ(values[SettingId::FireType], 7);
    EXPECT_EQ(values[SettingId::FlySpeed], -2147483647 - 1);
    EXPECT_EQ(values[SettingId::SmoothFire], 2147483647);

    MemorySettingsStore written;
    WriteSettings(written, values);
    const std::vector<std::string> order = {"Config\\BlankScreen", "Config\\SmoothFire", "Config\\DrawFly",
                                            "Config\\FireType",    "Config\\FlyWidth",   "Config\\FlySpeed"};
    EXPECT_EQ(written.writes, order);
    EXPECT_EQ(written.values["Config\\FireType"], 7);
}

}  // namespace
