// Sizes and values a careless host or a hand-edited registry can hand the engine.
#include <gtest/gtest.h>

#include <climits>

#include "FireTestSupport.h"

namespace {

TEST(HostileInput, ClientAreasWithoutSurfacesHaveNoStrideAndDrawNothing) {
    const FireSize sizes[] = {{268435456, 1}, {INT32_MAX, 1}, {32768, 2}, {1, INT32_MAX}, {0, 10}, {-8, 10}};
    for (const FireSize s : sizes) {
        const std::string at = std::to_string(s.cx) + "x" + std::to_string(s.cy);
        Rig rig;
        rig.Surfaces(s.cx, s.cy);
        EXPECT_FALSE(rig.engine.State().m_pBaseLine) << at;
        EXPECT_EQ(rig.engine.Stride(), 0) << at;
        EXPECT_TRUE(rig.platform.heat.empty()) << at << ": " << rig.platform.heat.size() << " bytes";
        rig.engine.Ignite();
        for (int n = 0; n < 3; ++n) rig.engine.Tick();
        EXPECT_EQ(rig.engine.State().m_nFrame, 0) << at;
        EXPECT_TRUE(rig.platform.presents.empty()) << at;
    }
    // The widest surface still has its stride, and any 32-bit width has one.
    Rig widest;
    widest.Surfaces(32767, 1);
    EXPECT_EQ(widest.engine.Stride(), 32768);
    EXPECT_EQ(SurfaceStride(INT32_MAX), int64_t(2147483648));
}

TEST(HostileInput, AHostWithoutColoursOrSurfacesDrawsNothingUntilARestartSucceeds) {
    struct Case {
        const char* what;
        bool colours, surfaces;
    };
    for (const Case& c : {Case{"no colours", false, true}, Case{"no surfaces", true, false}}) {
        Rig rig;
        rig.platform.showsColours = c.colours;
        rig.platform.makesSurfaces = c.surfaces;
        rig.engine.Restart(0, FireSize{80, 60});
        EXPECT_FALSE(rig.engine.Ready()) << c.what;
        EXPECT_EQ(rig.engine.State().m_pHeatBits == nullptr, !c.surfaces) << c.what;
        for (int n = 0; n < 3; ++n) rig.engine.Tick();
        rig.engine.Paint();
        EXPECT_EQ(rig.engine.State().m_nFrame, 0) << c.what;
        EXPECT_TRUE(rig.platform.presents.empty()) << c.what;
        EXPECT_TRUE(rig.platform.captures.empty()) << c.what;

        rig.platform.showsColours = rig.platform.makesSurfaces = true;
        rig.engine.Restart(0, FireSize{80, 60});
        EXPECT_TRUE(rig.engine.Ready()) << c.what;
        rig.engine.Tick();
        EXPECT_EQ(rig.platform.presents.size(), 1u) << c.what;
    }
}

TEST(HostileInput, FireHeightStaysWithinTheWindowAndTheFireStillDies) {
    struct Case {
        int32_t rows, percent, height;
    };
    const Case cases[] = {{100, 101, 100}, {100, 1000, 100},    {100, INT32_MAX, 100}, {100, INT32_MIN, 6},
                          {100, -1, 6},    {3, INT32_MAX, 6},   {40, 250, 40}};
    for (const Case& c : cases) {
        const std::string at = std::to_string(c.percent) + "% of " + std::to_string(c.rows) + " rows";
        Rig rig;
        rig.Surfaces(98, c.rows);
        rig.engine.Ignite();
        rig.engine.SetFireHeight(c.percent);
        EXPECT_EQ(rig.engine.State().m_nFireHeight, c.height) << at;
        // Burning is over at once; dying ends after at most height + 20 ticks.
        Edit(rig.engine).m_nBurnFrames = 0;
        int ticks = 0;
        while (!rig.engine.State().m_bFinished && ticks < c.height + 21) {
            rig.engine.Burn();
            ++ticks;
        }
        EXPECT_TRUE(rig.engine.State().m_bFinished) << at << ": still dying after " << ticks << " ticks";
    }
}

TEST(HostileInput, ANonsensicalScreenStillPlacesTheBox) {
    struct Case {
        FireSize screen;
        FirePoint want;
    };
    const Case cases[] = {{{INT32_MIN, -1}, {INT32_MIN, -41}}, {{0, 0}, {-50, -40}}, {{INT32_MAX, 40}, {0, 0}}};
    for (const Case& c : cases) {
        Rig rig(c.screen);
        rig.random.fallback = 0;
        rig.Surfaces(50, 40);
        rig.engine.Ignite();
        EXPECT_EQ(rig.engine.State().m_ptFire, c.want) << "screen " << c.screen.cx << "x" << c.screen.cy;
    }
}

}  // namespace
