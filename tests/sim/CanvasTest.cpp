#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "Canvas.h"
#include "ColourTable.h"

namespace {

int CountIndex(const Canvas& c, uint8_t index) {
    int n = 0;
    for (int32_t y = 0; y < c.height(); ++y)
        for (int32_t x = 0; x < c.width(); ++x) n += c.At(x, y) == index;
    return n;
}

TEST(Canvas, ThinLinesAreConnectedAndIncludeBothEnds) {
    struct Case {
        FirePoint from, to;
        int32_t width;
        int pixels;
    };
    const Case cases[] = {
        {{2, 3}, {12, 3}, 0, 11}, {{2, 3}, {12, 3}, 1, 11}, {{5, 1}, {5, 9}, -4, 9},
        {{0, 0}, {9, 9}, 0, 10},  {{9, 0}, {0, 4}, 1, 10},  {{4, 4}, {4, 4}, 0, 1},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 12);
        canvas.Line(c.from, c.to, c.width, 9);
        EXPECT_EQ(CountIndex(canvas, 9), c.pixels) << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(canvas.At(c.from.x, c.from.y), 9);
        EXPECT_EQ(canvas.At(c.to.x, c.to.y), 9);
    }
}

TEST(Canvas, LinesFarOffTheCanvasAreClippedNotWalked) {
    Canvas canvas(40, 30);
    canvas.Line({INT_MIN, 15}, {INT_MAX, 15}, 1, 7);
    EXPECT_EQ(CountIndex(canvas, 7), 40);
    canvas.Line({-1000000, -1000000}, {-999000, 5000000}, 1, 8);
    EXPECT_EQ(CountIndex(canvas, 8), 0);
    canvas.Line({20, INT_MIN}, {20, INT_MAX}, INT_MAX, 6);
    EXPECT_EQ(CountIndex(canvas, 6), 40 * 30) << "a pen wider than the canvas covers it";
}

TEST(Canvas, WideLinesPaintEveryPixelWithinHalfThePenWidth) {
    Canvas canvas(40, 30);
    const FirePoint a{8, 10}, b{30, 20};
    const int32_t width = 6;
    canvas.Line(a, b, width, 5);
    for (int32_t y = 0; y < canvas.height(); ++y)
        for (int32_t x = 0; x < canvas.width(); ++x) {
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            const double distance = std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
            if (std::abs(distance - width / 2.0) < 1e-9) continue;  // on the rim either way is fine
            EXPECT_EQ(canvas.At(x, y) == 5, distance < width / 2.0)
                << "at " << x << "," << y << " distance " << distance;
        }
    Canvas dot(9, 9);
    dot.Line({4, 4}, {4, 4}, 4, 3);
    EXPECT_EQ(CountIndex(dot, 3), 13) << "a point is a disc of radius 2";
}

TEST(Canvas, BottomUpSurfacesLandUpsideDownAndClipped) {
    // Buffer row r holds the value 10 + r in every column; stride 4 for 3 columns.
    const uint8_t bits[] = {10, 10, 10, 0, 11, 11, 11, 0};
    struct Case {
        FirePoint at;
        int32_t x, y;
        int expect;  // -1: untouched
    };
    const Case cases[] = {
        {{0, 0}, 0, 0, 11}, {{0, 0}, 2, 1, 10},  {{0, 0}, 3, 0, -1}, {{-2, -1}, 0, 0, 10},
        {{4, 3}, 4, 3, 11}, {{4, 3}, 3, 3, -1},  {{INT_MIN, INT_MIN}, 0, 0, -1},
    };
    for (const Case& c : cases) {
        Canvas canvas(5, 4, 99);
        canvas.TakeDirty();
        canvas.PutBottomUp(c.at, FireSize{3, 2}, bits, 4);
        EXPECT_EQ(canvas.At(c.x, c.y), c.expect < 0 ? 99 : c.expect) << "box at " << c.at.x << "," << c.at.y;
    }
}

TEST(Canvas, DirtyAreaCoversWhatWasDrawnSinceTheLastFrame) {
    Canvas canvas(50, 40);
    const PixelRect first = canvas.TakeDirty();
    EXPECT_EQ(first.cx * first.cy, 50 * 40) << "a new canvas has never been shown";
    EXPECT_TRUE(canvas.TakeDirty().Empty());
    canvas.Set(3, 30, 1);
    canvas.Line({10, 5}, {20, 8}, 1, 1);
    canvas.Set(-1, 2, 1);
    const PixelRect r = canvas.TakeDirty();
    EXPECT_EQ(r.x, 3);
    EXPECT_EQ(r.y, 5);
    EXPECT_EQ(r.cx, 18);
    EXPECT_EQ(r.cy, 26);
}

TEST(Canvas, NearestIndexFindsTheClosestTableColour) {
    const ColourTable table = BuildColourTable(0);
    EXPECT_EQ(NearestIndex(table, MakeColour(1, 0, 0)), 0) << "the firefly's dark pen draws black";
    EXPECT_EQ(NearestIndex(table, MakeColour(255, 255, 255)), 239) << "the first white in the table";
    EXPECT_EQ(NearestIndex(table, MakeColour(0, 0, 250)), 252);
    for (int n : {1, 7, 100, 200})
        EXPECT_EQ(NearestIndex(table, MakeColour(table[n].red, table[n].green, table[n].blue)), n)
            << "entry " << n << " is unique";
}

}  // namespace
