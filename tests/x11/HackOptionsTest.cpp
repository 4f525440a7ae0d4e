#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HackOptions.h"

namespace {

ParsedHackOptions Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "kindlewick");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    return ParseHackOptions(int(argv.size()), argv.data());
}

std::string Show(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args) s += " " + a;
    return s;
}

TEST(HackOptions, DefaultsAddNothing) {
    const ParsedHackOptions p = Parse({});
    ASSERT_EQ(p.error, "");
    const HackOptions& o = p.options;
    EXPECT_EQ(o.target, DrawTarget::OwnWindow);
    EXPECT_EQ(o.fireType, 0);
    EXPECT_FALSE(o.blank || o.smooth || o.firefly || o.help);
    EXPECT_EQ(o.flyWidth, 1);
    EXPECT_EQ(o.flySpeed, 5);
    EXPECT_EQ(o.delayMicroseconds, 33000u);
}

TEST(HackOptions, EveryOptionWithOneOrTwoDashes) {
    for (const char* dash : {"-", "--"}) {
        const std::string d = dash;
        const ParsedHackOptions p = Parse({d + "root", d + "fire-type", "gas", d + "blank", d + "smooth", d + "firefly",
                                           d + "fly-width", "10", d + "fly-speed", "20", d + "delay", "0", d + "help"});
        ASSERT_EQ(p.error, "") << "with " << dash;
        const HackOptions& o = p.options;
        EXPECT_EQ(o.target, DrawTarget::Root) << "with " << dash;
        EXPECT_EQ(o.fireType, 2);
        EXPECT_TRUE(o.blank && o.smooth && o.firefly && o.help) << "with " << dash;
        EXPECT_EQ(o.flyWidth, 10);
        EXPECT_EQ(o.flySpeed, 20);
        EXPECT_EQ(o.delayMicroseconds, 0u);
    }
}

TEST(HackOptions, FireTypesByName) {
    const std::pair<const char*, int32_t> cases[] = {{"wood", 0}, {"kryptonite", 1}, {"gas", 2}};
    for (const auto& [name, type] : cases) {
        const ParsedHackOptions p = Parse({"--fire-type", name});
        EXPECT_EQ(p.error, "") << name;
        EXPECT_EQ(p.options.fireType, type) << name;
    }
}

TEST(HackOptions, WindowIdWinsOverRootInEitherOrder) {
    const std::vector<std::vector<std::string>> cases = {
        {"--root", "--window-id", "0x1a00003"}, {"-window-id", "27262979", "-root"}, {"--window-id", "0X1A00003"}};
    for (const auto& args : cases) {
        const ParsedHackOptions p = Parse(args);
        ASSERT_EQ(p.error, "") << Show(args);
        EXPECT_EQ(p.options.target, DrawTarget::WindowId) << Show(args);
        EXPECT_EQ(p.options.windowId, 0x1a00003u) << Show(args);
    }
}

TEST(HackOptions, WindowIds) {
    const std::pair<const char*, uint32_t> good[] = {
        {"1", 1}, {"0x1", 1}, {"4294967295", 0xFFFFFFFFu}, {"0xffffffff", 0xFFFFFFFFu}, {"0xAbC", 0xABC}};
    for (const auto& [text, want] : good) EXPECT_EQ(ParseWindowId(text).value_or(0), want) << text;
    for (const char* bad : {"", "0", "0x", "0x0", "4294967296", "0x100000000", "-5", "+5", "12 ", " 12", "1e3", "0x1g",
                            "abc", "99999999999999999999999"})
        EXPECT_FALSE(ParseWindowId(bad).has_value()) << "'" << bad << "'";
}

TEST(HackOptions, BadArgumentsGiveOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},           {"---root"},           {"root"},
        {"-"},                 {"--"},                {"--window-id"},
        {"--window-id", "0"},  {"--window-id", "x"},  {"--fire-type"},
        {"--fire-type", "Wood"}, {"--fire-type", "1"}, {"--fly-width", "0"},
        {"--fly-width", "11"}, {"--fly-speed", "4"},  {"--fly-speed", "21"},
        {"--fly-speed", "5x"}, {"--delay", "-1"},     {"--delay", "10000001"},
        {"--delay"},           {"--root", "extra"}};
    for (const auto& args : cases) {
        const ParsedHackOptions p = Parse(args);
        EXPECT_NE(p.error, "") << Show(args);
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << Show(args) << " gave: " << p.error;
    }
}

}  // namespace
