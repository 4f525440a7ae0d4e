#include "MonitorLayout.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "Placement.h"

namespace {
int32_t Saturate(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool Empty(const MonitorRect& m) { return m.cx <= 0 || m.cy <= 0; }

// Length of the overlap of [a, a + an) and [b, b + bn).
int64_t Overlap(int64_t a, int64_t an, int64_t b, int64_t bn) {
    return std::max<int64_t>(0, std::min(a + an, b + bn) - std::max(a, b));
}

// The box's position along one axis moved into [lo, lo + extent): not before its start, then
// not past its end, as a single screen clamps, so a box larger than the monitor overhangs
// its start.
int64_t Into(int64_t p, int64_t box, int64_t lo, int64_t extent) {
    if (p < lo) p = lo;
    if (p > lo + extent - box) p = lo + extent - box;
    return p;
}
}  // namespace

MonitorLayout::MonitorLayout(std::vector<MonitorRect> monitors) : m_monitors(std::move(monitors)) {
    if (m_monitors.empty()) m_monitors.push_back(MonitorRect{0, 0, 0, 0});
}

MonitorRect MonitorLayout::Bounds() const {
    if (m_monitors.size() == 1) return m_monitors.front();
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const MonitorRect& m : m_monitors) {
        if (Empty(m)) continue;
        const int64_t l = m.x, t = m.y, r = int64_t(m.x) + m.cx, b = int64_t(m.y) + m.cy;
        left = any ? std::min(left, l) : l;
        top = any ? std::min(top, t) : t;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, b) : b;
        any = true;
    }
    if (!any) return MonitorRect{0, 0, 0, 0};
    return MonitorRect{Saturate(left), Saturate(top), Saturate(right - left), Saturate(bottom - top)};
}

FirePoint MonitorLayout::Origin() const {
    const MonitorRect b = Bounds();
    return FirePoint{b.x, b.y};
}

BoxPlacement MonitorLayout::Place(int32_t randX, int32_t randY, FireSize box, bool scaled) const {
    const MonitorRect b = Bounds();
    // Drawn at the size the box shows on the primary monitor.
    const int32_t scale = scaled ? std::max(1, m_monitors.front().scale) : 1;
    const FirePoint drawn{Saturate(int64_t(b.x) + PlaceBox(randX, b.cx, Saturate(int64_t(box.cx) * scale))),
                          Saturate(int64_t(b.y) + PlaceBox(randY, b.cy, Saturate(int64_t(box.cy) * scale)))};
    return Fit(drawn, box, scale, scaled);
}

FirePoint MonitorLayout::PlacePoint(int32_t randX, int32_t randY) const {
    const MonitorRect b = Bounds();
    const FirePoint drawn{Saturate(int64_t(b.x) + RandomCoordinate(randX, b.cx)),
                          Saturate(int64_t(b.y) + RandomCoordinate(randY, b.cy))};
    return Fit(drawn, FireSize{1, 1}, 1, false).at;
}

BoxPlacement MonitorLayout::Fit(FirePoint at, FireSize box, int32_t drawnScale, bool scaled) const {
    if (m_monitors.size() == 1) return BoxPlacement{at, scaled ? std::max(1, m_monitors.front().scale) : 1};
    return Nearest(at, box, drawnScale, scaled);
}

BoxPlacement MonitorLayout::Nearest(FirePoint at, FireSize box, int32_t drawnScale, bool scaled) const {
    // The monitor holding the largest part of the box; among equals (none, in a gap between
    // monitors), the one the box reaches with the shortest move; then the earlier one.
    const MonitorRect* best = nullptr;
    int64_t bestArea = -1;
    double bestMove = 0;
    const int64_t drawnX = int64_t(box.cx) * drawnScale, drawnY = int64_t(box.cy) * drawnScale;
    for (const MonitorRect& m : m_monitors) {
        if (Empty(m)) continue;
        const int64_t area = Overlap(at.x, drawnX, m.x, m.cx) * Overlap(at.y, drawnY, m.y, m.cy);
        const int64_t dx = Into(at.x, drawnX, m.x, m.cx) - at.x;
        const int64_t dy = Into(at.y, drawnY, m.y, m.cy) - at.y;
        // Squared in double: moves across a far-flung layout would overflow 64 bits.
        const double move = double(dx) * double(dx) + double(dy) * double(dy);
        if (area > bestArea || (area == bestArea && move < bestMove)) {
            best = &m;
            bestArea = area;
            bestMove = move;
        }
    }
    if (!best) return BoxPlacement{at, 1};
    // The box shows larger on a scaled monitor; it grows from where it was drawn and is then
    // moved onto the monitor at its shown size.
    const int32_t scale = scaled ? std::max(1, best->scale) : 1;
    const int64_t cx = int64_t(box.cx) * scale, cy = int64_t(box.cy) * scale;
    return BoxPlacement{FirePoint{Saturate(Into(at.x, cx, best->x, best->cx)), Saturate(Into(at.y, cy, best->y, best->cy))},
                        scale};
}

BoxPlacement MonitorLayout::Relocate(const MonitorLayout& before, BoxPlacement placed, FireSize box) const {
    // A single screen clamps a box larger than itself to overhang it; that box stays too.
    if (before == *this) return placed;
    const int32_t scale = std::max(1, placed.scale);
    const int64_t cx = int64_t(box.cx) * scale, cy = int64_t(box.cy) * scale;
    for (const MonitorRect& m : m_monitors) {
        if (Empty(m) || std::max(1, m.scale) != scale) continue;
        if (Overlap(placed.at.x, cx, m.x, m.cx) == cx && Overlap(placed.at.y, cy, m.y, m.cy) == cy) return placed;
    }
    return Nearest(placed.at, box, scale, true);
}

FirePoint MonitorLayout::Relocate(FirePoint point) const {
    for (const MonitorRect& m : m_monitors)
        if (Overlap(point.x, 1, m.x, m.cx) && Overlap(point.y, 1, m.y, m.cy)) return point;
    return Nearest(point, FireSize{1, 1}, 1, false).at;
}

bool MonitorLayout::operator==(const MonitorLayout& other) const {
    return std::equal(m_monitors.begin(), m_monitors.end(), other.m_monitors.begin(), other.m_monitors.end(),
                      [](const MonitorRect& a, const MonitorRect& b) {
                          return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy && a.scale == b.scale;
                      });
}
