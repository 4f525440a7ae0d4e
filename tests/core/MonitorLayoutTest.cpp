#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "MonitorLayout.h"
#include "Placement.h"

namespace {

struct Layout {
    const char* name;
    std::vector<MonitorRect> monitors;
};

// Layouts a desk really has: side by side with the primary on the right (as the two-monitor
// test's X server), three of different heights, one above another, and mixed scales.
const std::vector<Layout> kLayouts = {
    {"left 800x600 at negative x", {{0, 0, 1024, 768}, {-800, 0, 800, 600}}},
    {"three, bottom-aligned right", {{0, 0, 1280, 1024}, {1280, 256, 1024, 768}, {-800, 0, 800, 600}}},
    {"one above another", {{0, 0, 1920, 1080}, {320, -720, 1280, 720}}},
    {"200% primary beside 100%", {{0, 0, 1920, 1080, 2}, {1920, 0, 1024, 768, 1}}},
    {"100% primary beside 300%", {{0, 0, 1024, 768, 1}, {-2400, -200, 2400, 1600, 3}}},
};

// Every rand() remainder the C library can give, sampled.
std::vector<int32_t> Draws() {
    std::vector<int32_t> r;
    for (int32_t v = 0; v <= 32767; v += 61) r.push_back(v);
    r.push_back(32767);
    return r;
}

bool Inside(const MonitorRect& m, int64_t x, int64_t y, int64_t cx, int64_t cy) {
    return x >= m.x && y >= m.y && x + cx <= int64_t(m.x) + m.cx && y + cy <= int64_t(m.y) + m.cy;
}

TEST(MonitorLayout, EveryBoxAndFlightStartLiesWhollyOnOneMonitorAtItsScale) {
    const FireSize box{100, 100};
    for (const Layout& layout : kLayouts) {
        const MonitorLayout screen(layout.monitors);
        int placed = 0, off = 0;
        std::vector<int> perMonitor(layout.monitors.size(), 0);
        for (int32_t rx : Draws())
            for (int32_t ry : Draws()) {
                const BoxPlacement p = screen.Place(rx, ry, box);
                const int64_t side = int64_t(box.cx) * p.scale;
                bool on = false;
                for (std::size_t m = 0; m < layout.monitors.size(); ++m)
                    if (p.scale == layout.monitors[m].scale && Inside(layout.monitors[m], p.at.x, p.at.y, side, side)) {
                        ++perMonitor[m];
                        on = true;
                        break;
                    }
                const FirePoint start = screen.PlacePoint(rx, ry);
                bool startOn = false;
                for (const MonitorRect& m : layout.monitors) startOn = startOn || Inside(m, start.x, start.y, 1, 1);
                ++placed;
                if (!on || !startOn) {
                    if (++off <= 3)
                        ADD_FAILURE() << layout.name << ": draws " << rx << ", " << ry << " gave a box at ("
                                      << p.at.x << ", " << p.at.y << ") x" << p.scale << " and a start at ("
                                      << start.x << ", " << start.y << ")";
                }
            }
        std::string counts;
        for (int n : perMonitor) counts += " " + std::to_string(n);
        std::cout << layout.name << ": " << placed << " boxes, " << off << " off a monitor, per monitor:" << counts
                  << '\n';
        EXPECT_EQ(off, 0) << layout.name;
        for (std::size_t m = 0; m < perMonitor.size(); ++m)
            EXPECT_GT(perMonitor[m], 0) << layout.name << ": no box on monitor " << m;
    }
}

TEST(MonitorLayout, OneMonitorKeepsTheSingleScreenDrawsEvenWhenTooSmall) {
    for (const FireSize size : {FireSize{640, 480}, FireSize{60, 50}, FireSize{100, 100}, FireSize{0, 0}}) {
        const MonitorLayout screen(size);
        int differ = 0;
        for (int32_t rx : Draws())
            for (int32_t ry : Draws()) {
                const BoxPlacement p = screen.Place(rx, ry, FireSize{100, 100});
                const FirePoint start = screen.PlacePoint(rx, ry);
                const bool same = p.at.x == PlaceBox(rx, size.cx, 100) && p.at.y == PlaceBox(ry, size.cy, 100) &&
                                  p.scale == 1 && start.x == RandomCoordinate(rx, size.cx) &&
                                  start.y == RandomCoordinate(ry, size.cy);
                if (!same && ++differ <= 3)
                    ADD_FAILURE() << size.cx << "x" << size.cy << ": draws " << rx << ", " << ry << " gave ("
                                  << p.at.x << ", " << p.at.y << ")";
            }
        EXPECT_EQ(screen.Origin().x, 0);
        EXPECT_EQ(screen.Origin().y, 0);
        std::cout << size.cx << "x" << size.cy << ": " << differ << " placements differ from a single screen\n";
    }
}

TEST(MonitorLayout, BoundsAndMovesOfChosenBoxes) {
    const MonitorLayout pair({{0, 0, 1024, 768}, {-800, 0, 800, 600}});
    const MonitorRect b = pair.Bounds();
    EXPECT_EQ(b.x, -800);
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.cx, 1824);
    EXPECT_EQ(b.cy, 768);
    struct Case {
        int32_t rx, ry;
        FirePoint want;
        const char* why;
    };
    for (const Case& c : {
             Case{100, 100, {-700, 100}, "wholly on the left monitor: not moved"},
             Case{740, 10, {-100, 10}, "straddling, mostly left: moved left"},
             Case{750, 10, {0, 10}, "straddling half and half: the first monitor, the primary"},
             Case{760, 10, {0, 10}, "straddling, mostly right: moved right"},
             Case{100, 640, {-700, 500}, "under the short left monitor: moved up onto it"},
             Case{780, 640, {0, 640}, "in the gap's corner, nearer the right monitor"},
         }) {
        const BoxPlacement p = pair.Place(c.rx, c.ry, FireSize{100, 100});
        EXPECT_EQ(p.at.x, c.want.x) << c.why;
        EXPECT_EQ(p.at.y, c.want.y) << c.why;
        std::cout << c.why << ": (" << p.at.x << ", " << p.at.y << ")\n";
    }
}

TEST(MonitorLayout, ScaleIsTheDpiInWholeNinetySixes) {
    struct Case {
        int32_t dpi, scale;
    };
    for (const Case& c : {Case{96, 1}, Case{120, 1}, Case{144, 1}, Case{191, 1}, Case{192, 2}, Case{240, 2},
                          Case{288, 3}, Case{0, 1}, Case{-96, 1}})
        EXPECT_EQ(ScaleForDpi(c.dpi), c.scale) << c.dpi << " DPI";
}

}  // namespace

namespace {
struct RelocationCase {
    const char* name;
    std::vector<MonitorRect> before;
    std::vector<MonitorRect> after;
    BoxPlacement box;
    BoxPlacement want;
};

// The two-monitor desk of the end-to-end test, and what a person does to it.
const std::vector<MonitorRect> kDesk = {{0, 0, 1024, 768}, {-800, 0, 800, 600}};
const std::vector<MonitorRect> kPrimary = {{0, 0, 1024, 768}};
}  // namespace

TEST(MonitorLayout, ABoxThatNoLongerLiesOnOneMonitorMovesOntoTheNearestOne) {
    const std::vector<RelocationCase> cases = {
        {"one unchanged monitor, a box overhanging it", {{0, 0, 60, 50}}, {{0, 0, 60, 50}}, {{-40, -50}, 1}, {{-40, -50}, 1}},
        {"the left monitor unplugged, a box on it", kDesk, kPrimary, {{-500, 100}, 1}, {{0, 100}, 1}},
        {"the left monitor unplugged, a box on the primary", kDesk, kPrimary, {{300, 200}, 1}, {{300, 200}, 1}},
        {"a monitor plugged in", kPrimary, kDesk, {{924, 668}, 1}, {{924, 668}, 1}},
        {"a smaller resolution", {{0, 0, 1920, 1080}}, {{0, 0, 1024, 768}}, {{1500, 900}, 1}, {{924, 668}, 1}},
        {"a box across two monitors after they moved", {{0, 0, 1024, 768}, {1024, 0, 800, 600}},
         {{0, 0, 1024, 768}, {900, 768, 800, 600}}, {{950, 700}, 1}, {{924, 668}, 1}},
        {"above a monitor that moved down: the shorter move wins", {{0, 0, 1024, 768}, {1024, 0, 800, 600}},
         {{0, 0, 1024, 768}, {1024, 300, 800, 600}}, {{1100, 50}, 1}, {{924, 50}, 1}},
        {"the monitor's scale doubled", {{0, 0, 1920, 1080, 1}}, {{0, 0, 1920, 1080, 2}}, {{1800, 1000}, 1},
         {{1720, 880}, 2}},
        {"a 200% box moved to a 100% monitor", {{0, 0, 1920, 1080, 2}, {1920, 0, 1024, 768, 1}},
         {{0, 0, 1024, 768, 1}}, {{1700, 100}, 2}, {{924, 100}, 1}},
    };
    for (const RelocationCase& c : cases) {
        const BoxPlacement got = MonitorLayout(c.after).Relocate(MonitorLayout(c.before), c.box, FireSize{100, 100});
        EXPECT_TRUE(got.at.x == c.want.at.x && got.at.y == c.want.at.y && got.scale == c.want.scale)
            << c.name << ": (" << got.at.x << ", " << got.at.y << ") x" << got.scale << ", want (" << c.want.at.x
            << ", " << c.want.at.y << ") x" << c.want.scale;
    }
    const MonitorLayout primary(kPrimary);
    for (const auto& [from, to] : std::vector<std::pair<FirePoint, FirePoint>>{
             {{-400, 300}, {0, 300}}, {{500, 300}, {500, 300}}, {{1200, 900}, {1023, 767}}}) {
        const FirePoint got = primary.Relocate(from);
        EXPECT_TRUE(got.x == to.x && got.y == to.y) << "the point (" << from.x << ", " << from.y << ") went to ("
                                                    << got.x << ", " << got.y << ")";
    }
}
