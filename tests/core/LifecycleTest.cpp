#include <gtest/gtest.h>

#include <optional>

#include "FireTestSupport.h"

namespace {


TEST(FireEngineConstruction, SeedsWithTheTimeThenDrawsSeedAndFlyStart) {
    struct Case {
        FireSize screen;
        float x, y;
    };
    // An empty screen from the platform must not divide by zero.
    for (const Case& c : {Case{{640, 480}, 360, 20}, Case{{0, 0}, 0, 0}, Case{{-5, 7}, 0, 3}}) {
        MemoryPlatform platform(c.screen);
        ScriptedRandom random;
        random.script = {777, 1000, 500};
        FireEngine engine(platform, random, Defaults(), c.screen);
        EXPECT_EQ(random.seeds, std::vector<uint32_t>{ScriptedRandom::kTime});
        EXPECT_EQ(random.calls, 3);
        EXPECT_EQ(g_dwFireRand, 777u);
        EXPECT_EQ(engine.State().m_flyStart.x, c.x) << "screen " << c.screen.cx << "x" << c.screen.cy;
        EXPECT_EQ(engine.State().m_flyStart.y, c.y) << "screen " << c.screen.cx << "x" << c.screen.cy;
        EXPECT_EQ(engine.State().m_flyTail.x, c.x);
        EXPECT_EQ(engine.State().m_flyTail.y, c.y);
    }
}

TEST(Ignite, DrawsPositionHeightWidthAndBurnTicksInOrder) {
    Rig rig;
    rig.Surfaces(98, 100);  // stride 100: two padding bytes per row
    std::fill(rig.platform.heat.begin(), rig.platform.heat.end(), 99);
    std::fill_n(rig.engine.State().m_pBaseLine.get(), 98, 99);
    Edit(rig.engine).m_nFuel = 0;
    Edit(rig.engine).m_nDecay = 30;
    Edit(rig.engine).m_bFinished = 1;
    rig.random.calls = 0;
    rig.random.script = {1234, 123, 257, 1000, 250};
    rig.engine.Ignite();
    EXPECT_EQ(rig.random.calls, 5);
    EXPECT_EQ(rig.engine.State().m_ptFire, (FirePoint{542, 123}));  // 594 is past 640 - 98
    EXPECT_EQ(rig.engine.State().m_nFireHeight, 56);     // 57 % of 100 rows
    EXPECT_EQ(rig.engine.State().m_nMaxBaseWidth, 48);   // 1000 % 56
    EXPECT_EQ(rig.engine.State().m_nBurnFrames, 98);     // 56 + 250 % (56 + 48)
    EXPECT_EQ(rig.engine.State().m_nBaseWidth, 6);
    EXPECT_EQ(rig.engine.State().m_nFuel, 200);
    EXPECT_EQ(rig.engine.State().m_nDecay, 5);
    EXPECT_EQ(rig.engine.Params().m_nFlareLevel, 385);
    EXPECT_EQ(rig.engine.State().m_nFrame, 0);
    EXPECT_EQ(rig.engine.State().m_nDyingFrames, 0);
    EXPECT_EQ(rig.engine.State().m_bFinished, 0);
    for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 98; ++c) ASSERT_EQ(rig.Heat(r, c), kCold) << "row " << r << " col " << c;
        EXPECT_EQ(rig.Heat(r, 98), 99) << "padding of row " << r;
    }
    for (int c = 0; c < 98; ++c) EXPECT_EQ(rig.Base(c), kCold) << "base cell " << c;

    // Small remainders give the smallest width; a large one stays below the height.
    rig.random.script = {0, 0, 40, 5, 0};
    rig.engine.Ignite();
    EXPECT_EQ(rig.engine.State().m_nMaxBaseWidth, 6);
    rig.random.script = {0, 0, 40, 39, 0};
    rig.engine.Ignite();
    EXPECT_EQ(rig.engine.State().m_nMaxBaseWidth, 39);
}

TEST(Ignite, BoxPositionIsClampedAgainstTheScreen) {
    struct Case {
        FireSize screen;
        int32_t rx, ry;
        FirePoint want;
    };
    const Case cases[] = {
        {{640, 480}, 539, 0, {539, 0}},   {{640, 480}, 540, 379, {540, 379}}, {{640, 480}, 600, 380, {540, 380}},
        {{640, 480}, 639, 479, {540, 380}}, {{640, 480}, 1180, 960, {540, 0}},
        // A screen smaller than the box puts it partly off the screen's top-left corner.
        {{50, 30}, 7, 7, {-50, -70}},     {{0, 0}, 99, 99, {-100, -100}},
    };
    for (const Case& c : cases) {
        Rig rig(c.screen);
        Edit(rig.engine).m_bFullScreen = 1;
        rig.Surfaces(0, 0);
        rig.random.script = {c.rx, c.ry, 50, 0, 0};
        rig.engine.Ignite();
        EXPECT_EQ(rig.engine.State().m_ptFire, c.want)
            << "draws " << c.rx << ", " << c.ry << " on " << c.screen.cx << "x" << c.screen.cy;
        ASSERT_EQ(rig.platform.captures.size(), 1u);
        EXPECT_EQ(rig.platform.captures[0], c.want);
    }
}

TEST(Ignite, BackgroundAndPresentationByMode) {
    struct Case {
        const char* mode;
        int32_t fullScreen, drawFly, blank;
        bool capture, fill, atFire;
        int32_t burning;
    };
    const Case cases[] = {
        {"preview", 0, 1, 0, true, false, false, 1},
        {"preview, blank", 0, 0, 2, false, true, false, 1},
        {"full screen", 1, 0, 0, true, false, true, 1},
        {"full screen, blank", 1, 0, 1, false, true, true, 1},
        {"full screen, firefly", 1, 1, 1, false, false, true, 0},
        {"full-screen flag 2 counts as preview", 2, 1, 0, true, false, false, 1},
    };
    for (const Case& c : cases) {
        Rig rig;
        Edit(rig.engine).m_bFullScreen = c.fullScreen;
        Edit(rig.engine).m_bDrawFly = c.drawFly;
        Edit(rig.engine).m_bBlankScreen = c.blank;
        rig.Surfaces(200, 150);
        std::fill(rig.platform.back.begin(), rig.platform.back.end(), 9);
        rig.random.script = {30, 40, 50, 0, 0};
        rig.engine.Ignite();
        const FirePoint at{30, 40};
        EXPECT_EQ(rig.engine.State().m_ptFire, at) << c.mode;
        EXPECT_EQ(rig.platform.captures.size(), c.capture ? 1u : 0u) << c.mode;
        EXPECT_EQ(rig.platform.fills, c.fill ? 1 : 0) << c.mode;
        EXPECT_EQ(rig.engine.State().m_ptBlit, c.atFire ? at : (FirePoint{0, 0})) << c.mode;
        EXPECT_EQ(rig.engine.State().m_bBurning, c.burning) << c.mode;
        const FireSize box = rig.engine.FireBox();
        if (c.capture) {
            // The screen's top row lands in the highest buffer row.
            for (int col : {0, 17, box.cx - 1}) {
                EXPECT_EQ(rig.Back(box.cy - 1, col), PatternPixel(rig.platform.screen(), at.x + col, at.y)) << c.mode;
                EXPECT_EQ(rig.Out(0, col), PatternPixel(rig.platform.screen(), at.x + col, at.y + box.cy - 1)) << c.mode;
            }
        }
        if (c.fill) {
            EXPECT_EQ(rig.Back(box.cy - 1, box.cx - 1), 0) << c.mode;
        }
        if (!c.capture && !c.fill) {
            EXPECT_EQ(rig.Back(0, 0), 9) << c.mode << ": the buffers wait for the arrival";
        }
    }
}

TEST(SetFireHeight, PercentOfTheRowsWithAFloorOfSix) {
    struct Case {
        int32_t percent, height;
    };
    const Case cases[] = {{29, 28}, {57, 56}, {58, 57}, {0, 6}, {5, 6}, {6, 6}, {7, 7}, {50, 50}, {99, 99}};
    for (const Case& c : cases) {
        Rig rig;
        rig.Surfaces(98, 100);
        std::fill(rig.platform.heat.begin(), rig.platform.heat.end(), 99);
        rig.engine.SetFireHeight(c.percent);
        EXPECT_EQ(rig.engine.State().m_nFireHeight, c.height) << "percent " << c.percent;
        for (int r = 0; r < 100; ++r) {
            const int want = r > c.height ? kCold : 99;
            EXPECT_EQ(rig.Heat(r, 0), want) << "percent " << c.percent << " row " << r;
            EXPECT_EQ(rig.Heat(r, 97), want) << "percent " << c.percent << " row " << r;
            EXPECT_EQ(rig.Heat(r, 98), 99) << "padding, percent " << c.percent << " row " << r;
        }
    }
    Rig bare;
    Edit(bare.engine).m_nFireHeight = 33;
    bare.engine.SetFireHeight(50);
    EXPECT_EQ(bare.engine.State().m_nFireHeight, 33) << "without palette and buffers";
}

TEST(Tick, BlanksTheWindowOnceOnlyForBlankScreenOne) {
    for (int32_t blank : {0, 1, 2}) {
        Rig rig;
        Edit(rig.engine).m_bBlankScreen = blank;
        rig.Surfaces(50, 40);
        rig.engine.Ignite();
        EXPECT_EQ(rig.platform.fills, blank ? 1 : 0) << "blank " << blank;
        // Blanking alone moves nothing.
        rig.engine.BlankIfDue();
        EXPECT_EQ(rig.platform.blanks, blank == 1 ? 1 : 0) << "blank " << blank;
        EXPECT_EQ(rig.engine.State().m_nFrame, 0);
        for (int n = 0; n < 3; ++n) rig.engine.Tick();
        EXPECT_EQ(rig.platform.blanks, blank == 1 ? 1 : 0) << "blank " << blank;
        EXPECT_EQ(rig.platform.presents.size(), 3u);
        EXPECT_EQ(rig.engine.State().m_nFrame, 3);
        Edit(rig.engine).m_bBlanked = 0;  // what a restart does
        rig.engine.Tick();
        EXPECT_EQ(rig.platform.blanks, blank == 1 ? 2 : 0) << "blank " << blank;
    }
}

TEST(Tick, FinishedFireIsRelitOnTheSameTickWithoutPresenting) {
    Rig rig;
    rig.Surfaces(100, 60);
    rig.engine.Ignite();  // fallback draws: height 6, so the fire dies for 26 ticks
    ASSERT_EQ(rig.engine.State().m_nFireHeight, 6);
    Edit(rig.engine).m_nBurnFrames = 2;
    for (int tick = 1; tick <= 27; ++tick) {
        rig.engine.Tick();
        ASSERT_EQ(rig.engine.State().m_bFinished, 0) << "tick " << tick;
    }
    // A tick that changes no cell shows nothing, so only the first ticks must have shown.
    const std::size_t shown = rig.platform.presents.size();
    ASSERT_GE(shown, 1u);
    // One draw per row and the flare chance; a segment at the dying ceiling draws nothing.
    const int burnDraws = rig.engine.State().m_nFireHeight + 1;
    rig.random.calls = 0;
    rig.engine.Tick();
    EXPECT_EQ(rig.platform.presents.size(), shown) << "the finishing tick shows nothing";
    EXPECT_EQ(rig.platform.captures.size(), 2u) << "a new fire was lit";
    EXPECT_EQ(rig.random.calls, burnDraws + 5);
    EXPECT_EQ(rig.engine.State().m_bFinished, 0);
    EXPECT_EQ(rig.engine.State().m_bBurning, 1);
    EXPECT_EQ(rig.engine.State().m_nFrame, 0);
    rig.engine.Tick();
    EXPECT_EQ(rig.platform.presents.size(), shown + 1) << "the new fire shows whole";

    Edit(rig.engine).m_bFinished = 1;
    rig.engine.Tick();
    EXPECT_EQ(rig.engine.State().m_nFrame, 1) << "a finished fire does not move";
    EXPECT_EQ(rig.platform.presents.size(), shown + 1);
}

// Windows too small for the flames, and windows taller than wide, whose segment would be
// wider than the base line, burn many fires without touching a byte outside the buffers.
// The guard bytes catch stray writes in every build; without them the sanitizers see the
// platform's exact-size buffers and catch stray reads as well.
TEST(Tick, OddWindowSizesStayInsideTheBuffers) {
    const FireSize sizes[] = {{1, 1}, {3, 2}, {6, 6}, {7, 7}, {5, 50}, {2, 100}, {10, 300}, {100, 6}, {100, 1}, {101, 3}};
    for (const FireSize size : sizes) {
        for (int32_t blank : {0, 1}) {
            MemorySettingsStore store;
            store.values["Config\\BlankScreen"] = blank;
            store.values["Config\\SmoothFire"] = 2;
            FireRig rig({640, 480}, store, 99);
            rig.Restart(size.cx, size.cy);
            std::optional<GuardedBuffers> guard;
            if (blank) {
                guard.emplace(rig.engine);
                rig.engine.Ignite();
            }
            for (int n = 0; n < 3000; ++n) rig.engine.Tick();
            const std::size_t fires = rig.platform.captures.size() + std::size_t(rig.platform.fills);
            if (guard) {
                EXPECT_EQ(guard->Touched(), "") << size.cx << "x" << size.cy;
            }
            EXPECT_GE(fires, 3u) << size.cx << "x" << size.cy << " blank " << blank;
        }
    }
}

TEST(Tick, ExtremeSmoothingIsHarmless) {
    for (int32_t smooth : {INT32_MAX, INT32_MIN, -1, 1, 3, 1000}) {
        MemorySettingsStore store;
        store.values["Config\\SmoothFire"] = smooth;
        FireRig rig({640, 480}, store, 7);
        rig.Restart(160, 90);
        for (int n = 0; n < 400; ++n) rig.engine.Tick();
        for (int j = 0; j < 160; ++j) {
            ASSERT_GE(rig.engine.State().m_pBaseLine[std::size_t(j)], kCold) << "smooth " << smooth << " cell " << j;
            ASSERT_LE(rig.engine.State().m_pBaseLine[std::size_t(j)], kFlare) << "smooth " << smooth << " cell " << j;
        }
    }
}

}  // namespace
