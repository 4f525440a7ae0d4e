#include <gtest/gtest.h>

#include <vector>

#include "FireTestSupport.h"

namespace {

// The primary on the right of an 800x600 monitor; then the left one is unplugged.
const MonitorLayout kDesk({{0, 0, 1024, 768}, {-800, 0, 800, 600}});
const MonitorLayout kPrimary({{0, 0, 1024, 768}});

// A full-screen fire lit by hand at a screen position over the two monitors.
struct DeskRig : Rig {
    DeskRig(FirePoint at, bool flying) : Rig({1824, 768}) {
        platform.SetScreen(kDesk);
        engine.SetFullScreen();
        Quiet(100, 100, 50);
        Edit(engine).m_ptFire = at;
        Edit(engine).m_ptBlit = FirePoint{at.x + 800, at.y};
        Edit(engine).m_bDrawFly = flying ? 1 : 0;
        Edit(engine).m_bBurning = flying ? 0 : 1;
        Edit(engine).m_nFlySpeed = 5;
        // Where the flight is: (-600, 50) on the screen, 200 pixels into the old window.
        Edit(engine).m_flyStart = Edit(engine).m_flyTail = FlyPoint{100, 50};
        Edit(engine).m_flyHead = FlyPoint{200, 50};
    }
    void Unplug() {
        platform.SetScreen(kPrimary);
        engine.Relocate(kDesk, kPrimary);
    }
};

TEST(Relocate, FiresFollowTheWindowAndLeaveAMonitorThatWentAway) {
    {
        DeskRig rig({300, 200}, false);
        rig.Unplug();
        EXPECT_EQ(rig.engine.State().m_ptFire, (FirePoint{300, 200})) << "a fire on the primary stays";
        EXPECT_EQ(rig.engine.State().m_ptBlit, (FirePoint{300, 200})) << "the window now starts at the primary";
        EXPECT_TRUE(rig.platform.captures.empty()) << "a fire that stays keeps its background";
        // The next flight starts where the last one ended, which was on the left monitor.
        EXPECT_EQ(rig.engine.State().m_flyStart.x, 0.0f);
        EXPECT_EQ(rig.engine.State().m_flyStart.y, 50.0f);
    }
    {
        DeskRig rig({-500, 100}, false);
        rig.Unplug();
        EXPECT_EQ(rig.engine.State().m_ptFire, (FirePoint{0, 100})) << "by the shortest move onto the primary";
        EXPECT_EQ(rig.engine.State().m_ptBlit, (FirePoint{0, 100}));
        ASSERT_EQ(rig.platform.captures.size(), 1u) << "a moved fire burns over what is there";
        EXPECT_EQ(rig.platform.captures.front(), (FirePoint{0, 100}));
        EXPECT_EQ(rig.engine.State().m_bBurning, 1);
    }
    {
        DeskRig rig({-500, 100}, true);
        rig.Unplug();
        const FireState& s = rig.engine.State();
        EXPECT_EQ(s.m_ptFire, (FirePoint{0, 100}));
        // Turned where it flew, in the new window's coordinates, towards the bottom middle of the box.
        EXPECT_EQ(s.m_flyStart.x, -600.0f);
        EXPECT_EQ(s.m_flyStart.y, 50.0f);
        EXPECT_GT(s.m_flyDir.x, 0.0f);
        EXPECT_GT(s.m_flyDir.y, 0.0f);
        for (int step = 0; step < 1000 && rig.platform.captures.empty(); ++step) rig.engine.FlyStep();
        ASSERT_EQ(rig.platform.captures.size(), 1u) << "the firefly never arrived";
        EXPECT_EQ(rig.platform.captures.front(), (FirePoint{0, 100}));
        EXPECT_NEAR(s.m_flyHead.x, 50.0f, 7.0f);
        EXPECT_NEAR(s.m_flyHead.y, 200.0f, 7.0f);
    }
    {
        // With the layout as it was, nothing moves, not even a box that overhangs a tiny screen.
        Rig rig({60, 50});
        rig.engine.SetFullScreen();
        rig.Quiet(100, 100, 50);
        Edit(rig.engine).m_ptFire = Edit(rig.engine).m_ptBlit = FirePoint{-40, -50};
        rig.engine.Relocate(MonitorLayout(FireSize{60, 50}), MonitorLayout(FireSize{60, 50}));
        EXPECT_EQ(rig.engine.State().m_ptBlit, (FirePoint{-40, -50}));
        EXPECT_TRUE(rig.platform.captures.empty());
    }
}

}  // namespace
