#pragma once
// The monitors that make up the screen, and where a fire box may stand on them. A box drawn
// at random over the whole screen can fall between monitors of different sizes, or across
// two of them; placed here, it always lies wholly on one monitor, where a person sees it.
#include <cstdint>
#include <vector>

#include "FireTypes.h"

// One monitor in screen coordinates (the primary's top-left is (0, 0)), and the integer
// factor at which a fire box is shown on it.
struct MonitorRect {
    int32_t x;
    int32_t y;
    int32_t cx;
    int32_t cy;
    int32_t scale = 1;
};

// The pixel factor for a monitor's DPI: whole multiples of 96 only, so that every fire pixel
// stays a square block of screen pixels; never below 1.
constexpr int32_t ScaleForDpi(int32_t dpi) { return dpi / 96 > 1 ? dpi / 96 : 1; }

// Where a fire box goes: its top-left corner in screen coordinates and its factor there.
struct BoxPlacement {
    FirePoint at;
    int32_t scale;
};

class MonitorLayout {
public:
    // A single monitor of this size at (0, 0): the screen as the first systems saw it.
    // Implicit: wherever a screen size was enough, it still is.
    MonitorLayout(FireSize screen) : m_monitors{MonitorRect{0, 0, screen.cx, screen.cy}} {}
    // The first monitor is the primary. An empty list is one empty monitor.
    explicit MonitorLayout(std::vector<MonitorRect> monitors);

    const std::vector<MonitorRect>& Monitors() const { return m_monitors; }
    // The bounding rectangle of every monitor: the virtual screen that the saver covers.
    MonitorRect Bounds() const;
    FirePoint Origin() const;

    // A random place for a box of `box` fire pixels from two rand() values, x first: drawn
    // over the virtual screen as over a single screen, offset by its origin; then, with
    // several monitors, grown to the scale of the monitor holding the largest part of it and
    // moved by the shortest distance onto that monitor. One monitor keeps the draw as it is.
    // Unscaled, the box keeps its size (and factor 1) everywhere.
    BoxPlacement Place(int32_t randX, int32_t randY, FireSize box, bool scaled = true) const;
    // A random point (x first) on the virtual screen; with several monitors, on one of them.
    FirePoint PlacePoint(int32_t randX, int32_t randY) const;

    // Where a box placed over `before` stands now that the monitors are these: where it was
    // while it lies wholly on one monitor at its scale, and always when nothing changed;
    // otherwise grown or shrunk to the scale of the monitor that holds its largest part and
    // moved onto it by the shortest distance. `box` is in fire pixels.
    BoxPlacement Relocate(const MonitorLayout& before, BoxPlacement placed, FireSize box) const;
    // A point off every monitor moved by the shortest distance onto the nearest one.
    FirePoint Relocate(FirePoint point) const;

    bool operator==(const MonitorLayout& other) const;
    bool operator!=(const MonitorLayout& other) const { return !(*this == other); }

private:
    // `box` is in fire pixels and was drawn `drawnScale` times as large.
    BoxPlacement Fit(FirePoint at, FireSize box, int32_t drawnScale, bool scaled) const;
    // Fit's choice among the monitors, however many there are.
    BoxPlacement Nearest(FirePoint at, FireSize box, int32_t drawnScale, bool scaled) const;

    std::vector<MonitorRect> m_monitors;
};
