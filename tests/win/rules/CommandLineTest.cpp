#include <gtest/gtest.h>

#include <string>

#include "CommandLine.h"
#include "CommandLineCases.h"

namespace {

std::string Describe(const CommandLineCase& c) {
    std::string text = "args:";
    for (const char* a : c.args) text += std::string(" '") + a + "'";
    return text;
}

TEST(CommandLine, EachSwitchStartsItsModeWithAsciiFolding) {
    for (const CommandLineCase& c : CommandLineCases()) {
        const std::vector<const char*> argv = CommandLineArgv(c);
        const SaverMode got = ChooseMode(int(argv.size()), argv.data(), &AsciiCompareNoCase);
        EXPECT_STREQ(ModeName(got), ModeName(c.mode)) << Describe(c);
        EXPECT_EQ(SettingsOwner(int(argv.size()), argv.data(), &AsciiCompareNoCase), c.owner) << Describe(c);
        EXPECT_EQ(PreviewParent(int(argv.size()), argv.data(), &AsciiCompareNoCase), c.parent) << Describe(c);
    }
}

TEST(CommandLine, KeywordsAreComparedInTheOrderCPS) {
    // A comparison that calls everything equal shows which keyword is tried first.
    const char* argv[] = {"kindlewick.scr", "anything"};
    const SaverMode got = ChooseMode(2, argv, [](const char*, const char*) { return 0; });
    EXPECT_STREQ(ModeName(got), ModeName(SaverMode::Settings));

    // Only one leading switch character is skipped before the comparison.
    static std::vector<std::string> seen;
    seen.clear();
    const char* doubled[] = {"kindlewick.scr", "--p"};
    ChooseMode(2, doubled, [](const char* a, const char* b) {
        seen.push_back(std::string(a) + "|" + b);
        return 1;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"-p|c", "-p|p", "-p|s"}));
}

TEST(CommandLine, AsciiComparisonFoldsOnlyLetters) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {{"S", "s", true}, {"c", "C", true},  {"p", "p", true},   {"", "", true},
                          {"s", "", false}, {"", "s", false},  {"[", "{", false},  {"sc", "s", false},
                          {"\xC4", "\xE4", false}};
    for (const Case& c : cases)
        EXPECT_EQ(AsciiCompareNoCase(c.a, c.b) == 0, c.equal) << "'" << c.a << "' vs '" << c.b << "'";
}

}  // namespace
