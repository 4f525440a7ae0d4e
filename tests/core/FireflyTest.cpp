#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "FireTestSupport.h"

namespace {

// A flight as it should go, computed here step by step with the same float roundings:
// from the start towards the middle of the box's bottom edge, the head 5 px ahead of the
// tail, both moving speed px per step, until the head enters the window around the target.
struct Flight {
    FlyPoint start, tail, head, dir;
    float dist;

    Flight(FlyPoint from, FirePoint fire) : start(from), tail(from), head(from), dir{0, 0}, dist(0) {
        float dx = float(fire.x + 50) - from.x;
        if (dx == 0.0f) dx = 1.0f;
        float dy = float(fire.y + 100) - from.y;
        if (dy == 0.0f) dy = 1.0f;
        dist = float(std::sqrt(double(dx) * dx + double(dy) * dy));
        dir = FlyPoint{dx / dist, dy / dist};
        head = FlyPoint{float(from.x + dir.x * 5.0), float(from.y + dir.y * 5.0)};
    }
    void Step(int32_t speed) {
        const float s = float(speed);
        const float sx = dir.x * s, sy = dir.y * s;
        head.x += sx;
        head.y += sy;
        tail.x += sx;
        tail.y += sy;
    }
    bool Arrived(FirePoint fire, int32_t speed) const {
        return float(fire.x - speed + 49) < head.x && head.x < float(fire.x + speed + 51) &&
               float(fire.y - speed + 99) < head.y && head.y < float(fire.y + speed + 101);
    }
    // Steps until arrival, or -1 when the head never gets there.
    int StepsToArrive(FirePoint fire, int32_t speed, int limit = 100000) {
        for (int n = 1; n <= limit; ++n) {
            Step(speed);
            if (Arrived(fire, speed)) return n;
        }
        return -1;
    }
};

FirePoint Px(FlyPoint p) { return FirePoint{int32_t(p.x), int32_t(p.y)}; }

// The full-screen saver with the firefly, on a 1024 x 768 screen, its box not yet placed.
struct FlyRig : Rig {
    explicit FlyRig(int32_t speed, int32_t fireType = 0) : Rig({1024, 768}, Settings(speed, fireType)) {
        Edit(engine).m_bFullScreen = 1;
        Surfaces(0, 0);
    }
    static SettingValues Settings(int32_t speed, int32_t fireType) {
        SettingValues v = Defaults();
        v[SettingId::DrawFly] = 1;
        v[SettingId::FlySpeed] = speed;
        v[SettingId::FlyWidth] = 3;
        v[SettingId::FireType] = fireType;
        return v;
    }
    // Places the next box at `fire` and starts the flight towards it from `from`.
    void FlyTo(FlyPoint from, FirePoint fire) {
        Edit(engine).m_flyStart = from;
        random.script = {fire.x, fire.y, 50, 0, 0};
        engine.Ignite();
        ASSERT_EQ(engine.State().m_ptFire, fire);
        ASSERT_EQ(engine.State().m_bBurning, 0);
    }
    // Ticks until the fire burns; the number of ticks, or -1.
    int TicksToLand(int limit) {
        for (int n = 1; n <= limit; ++n) {
            engine.Tick();
            if (engine.State().m_bBurning == 1) return n;
        }
        return -1;
    }
};

TEST(Firefly, FliesTheStraightPathAndCapturesOnArrival) {
    FlyRig rig(7);
    const FirePoint fire{600, 200};
    rig.FlyTo({100, 700}, fire);
    Flight want({100, 700}, fire);
    EXPECT_EQ(rig.engine.State().m_fFlyDist, want.dist);
    EXPECT_EQ(rig.engine.State().m_flyHead.x, want.head.x);
    EXPECT_EQ(rig.engine.State().m_flyHead.y, want.head.y);
    EXPECT_EQ(rig.engine.State().m_ptBlit, fire);

    int step = 0;
    while (rig.engine.State().m_bBurning != 1 && step < 1000) {
        const FlyPoint before = want.head;
        rig.engine.FlyStep();
        want.Step(7);
        ++step;
        ASSERT_EQ(rig.platform.flyCalls.size(), std::size_t(step));
        const auto& call = rig.platform.flyCalls.back();
        const bool arrived = want.Arrived(fire, 7);
        ASSERT_EQ(call.strokes.size(), arrived ? 3u : 2u) << "step " << step;
        EXPECT_EQ(call.penWidth, 3);
        EXPECT_EQ(call.dark, MakeColour(1, 0, 0));
        EXPECT_FALSE(call.strokes[0].glow);
        EXPECT_EQ(call.strokes[0].from, Px(want.start)) << "step " << step;
        EXPECT_EQ(call.strokes[0].to, Px(before)) << "step " << step;
        EXPECT_TRUE(call.strokes[1].glow);
        EXPECT_EQ(call.strokes[1].from, Px(want.tail)) << "step " << step;
        EXPECT_EQ(call.strokes[1].to, Px(want.head)) << "step " << step;
        if (arrived) {
            EXPECT_FALSE(call.strokes[2].glow);
            EXPECT_EQ(call.strokes[2].from, Px(want.start));
            EXPECT_EQ(call.strokes[2].to, Px(want.head));
        }
        EXPECT_EQ(rig.platform.captures.empty(), !arrived) << "step " << step;
    }
    EXPECT_EQ(rig.engine.State().m_bBurning, 1);
    EXPECT_EQ(rig.engine.State().m_flyStart.x, want.head.x);
    EXPECT_EQ(rig.engine.State().m_flyStart.y, want.head.y);
    EXPECT_EQ(rig.platform.captures, std::vector<FirePoint>{fire});
    EXPECT_EQ(rig.engine.State().m_ptBlit, fire);

    // From now on the box burns and is shown where it was captured.
    rig.engine.Tick();
    EXPECT_EQ(rig.platform.flyCalls.size(), std::size_t(step));
    EXPECT_EQ(rig.platform.presents, std::vector<FirePoint>{fire});
}

TEST(Firefly, GlowPulsesInACycleOf46InTheColourOfTheType) {
    std::vector<int> cycle;
    for (int g = 30; g <= 230; g += 10) cycle.push_back(g);
    cycle.push_back(254);
    for (int g = 244; g >= 24; g -= 10) cycle.push_back(g);
    cycle.push_back(20);
    ASSERT_EQ(cycle.size(), 46u);

    FlyRig rig(1);
    rig.FlyTo({0, 0}, {900, 600});
    for (int n = 0; n < 2 * 46; ++n) rig.engine.FlyStep();
    ASSERT_EQ(rig.platform.flyCalls.size(), 92u);
    for (std::size_t n = 0; n < 92; ++n)
        EXPECT_EQ(rig.platform.flyCalls[n].glow, MakeColour(uint8_t(cycle[n % 46]), 0, 0)) << "step " << n + 1;

    struct Case {
        int32_t type;
        Colour first;
    };
    for (const Case& c : {Case{1, MakeColour(0, 30, 0)}, Case{2, MakeColour(0, 0, 30)}, Case{5, MakeColour(30, 0, 0)}}) {
        FlyRig typed(1, c.type);
        typed.FlyTo({0, 0}, {900, 600});
        typed.engine.FlyStep();
        EXPECT_EQ(typed.platform.flyCalls.at(0).glow, c.first) << "type " << c.type;
    }
}

TEST(Firefly, ZeroComponentBecomesOneAndTheFlightStillArrives) {
    struct Case {
        FlyPoint from;
        FirePoint fire;
    };
    // Straight down onto the target, then level with it.
    for (const Case& c : {Case{{650, 0}, {600, 400}}, Case{{0, 500}, {600, 400}}}) {
        FlyRig rig(5);
        rig.FlyTo(c.from, c.fire);
        Flight want(c.from, c.fire);
        const bool vertical = c.from.x == float(c.fire.x + 50);
        const float one = vertical ? rig.engine.State().m_flyDir.x : rig.engine.State().m_flyDir.y;
        EXPECT_EQ(one, 1.0f / want.dist) << (vertical ? "vertical" : "level");
        EXPECT_EQ(rig.engine.State().m_fFlyDist, want.dist);
        const int steps = want.StepsToArrive(c.fire, 5);
        ASSERT_GT(steps, 0);
        EXPECT_EQ(rig.TicksToLand(10000), steps) << (vertical ? "vertical" : "level");
    }
}

// Flights that arrive keep their exact path and length; the bound on flights that cannot
// arrive must never cut one short.
TEST(Firefly, ArrivingFlightsLandOnTheSameStepAsUnbounded) {
    MsvcRandom pick(0);
    pick.Seed(4242);
    FlyRig rig(1);  // one engine for all, so that nothing of one flight leaks into the next
    int checked = 0;
    for (int n = 0; n < 300; ++n) {
        const int32_t speed = 1 + n % 20;
        const FlyPoint from{float(pick.Rand() % 1024), float(pick.Rand() % 768)};
        const FirePoint fire{pick.Rand() % 925, pick.Rand() % 669};
        const int steps = Flight(from, fire).StepsToArrive(fire, speed);
        if (steps < 0) continue;  // starts too close to its target ever to arrive
        ++checked;
        Edit(rig.engine).m_nFlySpeed = speed;
        rig.FlyTo(from, fire);
        ASSERT_EQ(rig.TicksToLand(steps + 10), steps) << "flight " << n << " speed " << speed;
    }
    EXPECT_GE(checked, 290);
}

TEST(Firefly, FlightsThatCannotArriveStillLightAFire) {
    struct Case {
        const char* what;
        int32_t speed;
        FlyPoint from;
    };
    const FirePoint fire{600, 400};  // target (650, 500)
    const Case cases[] = {
        {"speed 0", 0, {100, 100}},
        {"negative speed", -5, {100, 100}},
        {"lowest speed", INT_MIN, {100, 100}},
        {"highest speed", INT_MAX, {100, 100}},
        {"starts on the target", 5, {650, 500}},
        {"starts 3 px above the target", 1, {650, 497}},
        {"first head already past the target", 1, {647, 497}},
    };
    for (const Case& c : cases) {
        FlyRig rig(c.speed);
        rig.FlyTo(c.from, fire);
        const int ticks = rig.TicksToLand(5000);
        EXPECT_GT(ticks, 0) << c.what;
        EXPECT_EQ(rig.platform.captures, std::vector<FirePoint>{fire}) << c.what;
        EXPECT_EQ(rig.engine.State().m_flyStart.x, rig.engine.State().m_flyHead.x) << c.what;
        EXPECT_EQ(rig.engine.State().m_flyStart.y, rig.engine.State().m_flyHead.y) << c.what;
        rig.engine.Tick();
        EXPECT_EQ(rig.platform.presents.size(), 1u) << c.what;
    }
}

TEST(Firefly, ExtremeStoredSettingsKeepFiresComing) {
    struct Case {
        int32_t speed, width;
    };
    for (const Case& c : {Case{INT_MIN, -7}, Case{INT_MAX, INT_MAX}, Case{-1, INT_MIN}, Case{0, 0}, Case{5, 1000}}) {
        MemorySettingsStore store;
        store.values["Config\\DrawFly"] = 1;
        store.values["Config\\FlySpeed"] = c.speed;
        store.values["Config\\FlyWidth"] = c.width;
        store.values["Config\\SmoothFire"] = INT_MAX;
        FireRig rig({800, 600}, store, 3);
        Edit(rig.engine).m_bFullScreen = 1;
        rig.Restart(800, 600);
        for (int n = 0; n < 2000; ++n) rig.engine.Tick();
        EXPECT_GE(rig.platform.captures.size(), 3u) << "speed " << c.speed << " width " << c.width;
        ASSERT_FALSE(rig.platform.flyCalls.empty());
        EXPECT_EQ(rig.platform.flyCalls[0].penWidth, c.width);
    }
}

}  // namespace
