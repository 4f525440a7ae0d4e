#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"

namespace {

ParsedOptions Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "kindlewick-sim");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    return ParseOptions(int(argv.size()), argv.data());
}

TEST(SimOptions, DefaultsWhenNothingIsGiven) {
    const ParsedOptions p = Parse({});
    ASSERT_EQ(p.error, "");
    EXPECT_FALSE(p.options.seed.has_value());
    EXPECT_EQ(p.options.screen.cx, 640);
    EXPECT_EQ(p.options.screen.cy, 480);
    EXPECT_EQ(p.options.window.cx, 320);
    EXPECT_EQ(p.options.window.cy, 240);
    EXPECT_EQ(p.options.ticks, 300);
    EXPECT_FALSE(p.options.fullScreen);
    for (const auto& stored : p.options.stored) EXPECT_FALSE(stored.has_value());
}

TEST(SimOptions, ValuesReachTheirFields) {
    const ParsedOptions p =
        Parse({"--seed", "4294967295", "--screen", "1x65535", "--window", "2147483647x111", "--fullscreen",
               "--fire-type", "7", "--smooth", "2", "--blank", "1", "--fly", "-1", "--fly-width", "0",
               "--fly-speed", "-2147483648", "--ticks", "0", "--dump", "d", "--gif", "a.gif", "--png", "a.png"});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    EXPECT_EQ(o.seed.value_or(0), 4294967295u);
    EXPECT_EQ(o.screen.cx, 1);
    EXPECT_EQ(o.screen.cy, 65535);
    EXPECT_EQ(o.window.cx, 2147483647);
    EXPECT_EQ(o.window.cy, 111);
    EXPECT_TRUE(o.fullScreen);
    const auto stored = [&](SettingId id) { return o.stored[std::size_t(id)].value_or(12345); };
    EXPECT_EQ(stored(SettingId::FireType), 7);
    EXPECT_EQ(stored(SettingId::SmoothFire), 2);
    EXPECT_EQ(stored(SettingId::BlankScreen), 1);
    EXPECT_EQ(stored(SettingId::DrawFly), -1);
    EXPECT_EQ(stored(SettingId::FlyWidth), 0);
    EXPECT_EQ(stored(SettingId::FlySpeed), -2147483647 - 1);
    EXPECT_EQ(o.ticks, 0);
    EXPECT_EQ(o.dumpDir, "d");
    EXPECT_EQ(o.gifPath, "a.gif");
    EXPECT_EQ(o.pngPath, "a.png");
}

TEST(SimOptions, BadArgumentsAreNamedInTheError) {
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"stray"}, "stray"},
        {{"--seed"}, "--seed"},
        {{"--seed", "-1"}, "--seed"},
        {{"--seed", "4294967296"}, "--seed"},
        {{"--seed", "12abc"}, "--seed"},
        {{"--screen", "640x"}, "--screen"},
        {{"--screen", "x480"}, "--screen"},
        {{"--screen", "640"}, "--screen"},
        {{"--screen", "0x480"}, "--screen"},
        {{"--window", "320x-240"}, "--window"},
        {{"--window", "320x240x1"}, "--window"},
        {{"--window", " 320x240"}, "--window"},
        {{"--window", "2147483648x1"}, "--window"},
        {{"--ticks", "-5"}, "--ticks"},
        {{"--ticks", "ten"}, "--ticks"},
        {{"--fire-type", ""}, "--fire-type"},
        {{"--fly-speed", "2147483648"}, "--fly-speed"},
        {{"--smooth", "1.5"}, "--smooth"},
        {{"--dump", ""}, "--dump"},
        {{"--ticks", "5", "--png"}, "--png"},
    };
    for (const Case& c : cases) {
        const ParsedOptions p = Parse(c.args);
        EXPECT_NE(p.error.find(c.named), std::string::npos)
            << "args " << ::testing::PrintToString(c.args) << " gave error '" << p.error << "'";
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    }
}

}  // namespace
