#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLine.h"
#include "FireWnd.h"
#include "QuitOnDestroy.h"
#include "SelfDeleting.h"
#include "ProgramTestSupport.h"
#include "SaverApp.h"
#include "WinTestSupport.h"
#include "rules/CommandLineCases.h"

namespace {

struct Colours {
    int green = 0;  // a flame of Kryptonite's first ramp: green well above red
    int red = 0;    // a flame of Wood's first ramp: red well above green
};

Colours CountFlames(HWND hwnd) {
    Colours c;
    const WindowPixels px(hwnd);
    for (int y = 0; y < px.height(); ++y)
        for (int x = 0; x < px.width(); ++x) {
            const Rgb p = px.at(x, y);
            if (p.g >= 64 && p.r < p.g / 2 && p.b < p.g / 2) ++c.green;
            if (p.r >= 64 && p.g < p.r / 2 && p.b < p.r / 2) ++c.red;
        }
    return c;
}

BOOL DispatchArgs(SaverApp& app, std::vector<const char*> args) {
    args.insert(args.begin(), "kindlewick.scr");
    return app.Dispatch(int(args.size()), args.data());
}

TEST(Preview, TheSystemComparisonPicksTheSameModes) {
    const KeywordCompare compare = [](const char* a, const char* b) { return lstrcmpiA(a, b); };
    for (const CommandLineCase& c : CommandLineCases()) {
        const std::vector<const char*> argv = CommandLineArgv(c);
        std::string text;
        for (const char* a : c.args) text += std::string(" '") + a + "'";
        EXPECT_STREQ(ModeName(ChooseMode(int(argv.size()), argv.data(), compare)), ModeName(c.mode)) << text;
        EXPECT_EQ(SettingsOwner(int(argv.size()), argv.data(), compare), c.owner) << text;
        EXPECT_EQ(PreviewParent(int(argv.size()), argv.data(), compare), c.parent) << text;
    }
}

TEST(Preview, ArgumentsThatNameNoWindowEndAtOnceAndCreateNothing) {
    RegistryScope scope;
    HostWindow gone(0, 0, 20, 20);
    const std::string dead = HandleArgument(gone.hwnd());
    gone.Destroy();
    // A live host's handle followed by anything is no handle at all.
    HostWindow host(0, 0, 20, 20);
    const std::string junk = HandleArgument(host.hwnd()) + "x";
    const std::vector<std::vector<const char*>> cases = {
        {"/p"}, {"/p", "0"},  {"/p", "abc"}, {"-p", "-1"}, {"p", dead.c_str()}, {"/p", junk.c_str()},
        {"x"},  {"//s"},      {"c:5x"},      {"sc"},
    };
    for (const auto& args : cases) {
        std::string text;
        for (const char* a : args) text += std::string(" '") + a + "'";
        SaverApp app;
        const int before = ThreadWindowCount();
        EXPECT_FALSE(DispatchArgs(app, args)) << text;
        EXPECT_EQ(app.m_pMainWnd, nullptr) << text;
        EXPECT_EQ(ThreadWindowCount(), before) << text;
    }
}

TEST(Preview, AHostWindowGetsAGreenFireThatEndsWithIt) {
    struct Case {
        const char* what;
        int blankScreen;
    };
    for (const Case& c : {Case{"over black", 1}, Case{"over the screen", 0}}) {
        RegistryScope scope;
        SaverApp app;
        app.SetRegistryKey(kRegistryKey);
        app.WriteProfileInt("Config", "FireType", 1);
        app.WriteProfileInt("Config", "BlankScreen", c.blankScreen);
        HostWindow host(0, 0, 160, 120);
        const std::string handle = HandleArgument(host.hwnd());
        ASSERT_TRUE(DispatchArgs(app, {"/p", handle.c_str()})) << c.what;

        auto* fire = dynamic_cast<FireWnd*>(app.m_pMainWnd);
        ASSERT_NE(fire, nullptr) << c.what;
        const HWND child = fire->m_hWnd;
        EXPECT_EQ(GetParent(child), host.hwnd()) << c.what;
        RECT rect{};
        GetClientRect(child, &rect);
        EXPECT_EQ(rect.right, 160) << c.what;
        EXPECT_EQ(rect.bottom, 120) << c.what;
        EXPECT_EQ(fire->State().m_nFireType, 1) << c.what;
        EXPECT_EQ(fire->State().m_bBlankScreen, c.blankScreen) << c.what;
        EXPECT_EQ(fire->State().m_nFlyWidth, 3) << c.what << ": the preview's own default";
        EXPECT_EQ(fire->State().m_nFlySpeed, 5) << c.what;
        EXPECT_EQ(fire->State().m_bFullScreen, 0) << c.what;
        EXPECT_NE((dynamic_cast<SelfDeleting<QuitOnDestroy<FireWnd>>*>(fire)), nullptr) << c.what;

        Colours seen;
        const bool burning = PumpUntil([&] {
            seen = CountFlames(child);
            return seen.green >= 40;
        });
        std::printf("%s: %d green and %d red flame pixels\n", c.what, seen.green, seen.red);
        EXPECT_TRUE(burning) << c.what << ": " << seen.green << " green pixels";
        if (c.blankScreen) {
            EXPECT_EQ(seen.red, 0) << c.what;
        }

        // The host ends the preview: the window goes, the object deletes itself, the loop ends.
        int quits = 0;
        host.Destroy();
        EXPECT_FALSE(IsWindow(child)) << c.what;
        EXPECT_EQ(app.m_pMainWnd, nullptr) << c.what;
        EXPECT_TRUE(PumpUntil([&] { return quits > 0; }, 10000, &quits)) << c.what << ": no WM_QUIT";
        PumpPending(&quits);
        EXPECT_EQ(quits, 1) << c.what;
    }
}

}  // namespace
