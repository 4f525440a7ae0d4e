#include <gtest/gtest.h>

#include <algorithm>

#include "FireTestSupport.h"

namespace {

// Spread 0 and decay 0 make every heat value rise straight up unchanged, so that one rule
// at a time can be watched.
void Straight(Rig& rig) {
    EditParams(rig.engine).m_nSpread = 0;
    Edit(rig.engine).m_nDecay = 0;
}

TEST(Burn, SixteenIsColdSeventeenBurns) {
    Rig rig;
    rig.Quiet(10, 10, 2);
    Straight(rig);
    rig.Heat(1, 2) = 17;
    rig.Heat(2, 3) = 100;  // a flame that goes out
    rig.Back(2, 3) = 40;
    rig.Back(2, 4) = 40;   // under a cell that was already cold
    rig.Out(2, 4) = 99;
    rig.engine.Burn();
    EXPECT_EQ(rig.Heat(2, 2), 17);
    EXPECT_EQ(rig.Out(2, 2), 17);
    EXPECT_EQ(rig.Heat(2, 3), kCold);
    EXPECT_EQ(rig.Out(2, 3), 40);
    EXPECT_EQ(rig.Out(2, 4), 99);
    EXPECT_EQ(rig.Back(2, 4), 40);
}

TEST(Burn, FlamesGoingOutScorchOnlyUnderTheLowRows) {
    Rig rig;
    rig.Quiet(10, 30, 20);
    Straight(rig);
    struct Cell {
        int row, col;
        uint8_t back;
        std::vector<int> scorched;  // background after each of three flames went out
    };
    // Rows below m_nFireHeight - 15 (here 5) scorch; row 5 and the top row never do.
    const std::vector<Cell> cells = {
        {2, 0, 1, {8, 64, 0}},     {2, 1, 32, {0, 0, 0}},  {2, 2, 0, {0, 0, 0}}, {2, 3, 255, {248, 192, 0}},
        {4, 5, 1, {8, 64, 0}},     {5, 6, 1, {1, 1, 1}},   {20, 7, 3, {3, 3, 3}},
    };
    for (const Cell& c : cells) rig.Back(c.row, c.col) = c.back;
    for (int round = 0; round < 3; ++round) {
        for (const Cell& c : cells) rig.Heat(c.row, c.col) = 100;
        rig.engine.Burn();
        for (const Cell& c : cells) {
            EXPECT_EQ(rig.Back(c.row, c.col), c.scorched[round]) << "row " << c.row << " col " << c.col << " round " << round;
            EXPECT_EQ(rig.Out(c.row, c.col), c.scorched[round]) << "row " << c.row << " col " << c.col << " round " << round;
            EXPECT_EQ(rig.Heat(c.row, c.col), kCold) << "row " << c.row << " col " << c.col;
        }
    }
}

TEST(Burn, DyingFlamesLeaveBlackAndSpareTheBackground) {
    Rig rig;
    rig.Quiet(10, 30, 20);
    Straight(rig);
    Edit(rig.engine).m_nFrame = rig.engine.State().m_nBurnFrames + 1;
    Edit(rig.engine).m_nFuel = 0;
    for (int row : {2, 5, 20}) {
        rig.Heat(row, 4) = 100;
        rig.Back(row, 4) = 1;
        rig.Out(row, 4) = 77;
    }
    rig.engine.Burn();
    for (int row : {2, 5, 20}) {
        EXPECT_EQ(rig.Out(row, 4), kCold) << "row " << row;
        EXPECT_EQ(rig.Back(row, 4), 1) << "row " << row;
    }

    // The first dying tick still burns with the fuel it started with: the flames that go out
    // on it scorch as before, only the base line turns cold.
    rig.Quiet(10, 30, 20);
    Straight(rig);
    Edit(rig.engine).m_nFrame = rig.engine.State().m_nBurnFrames;
    rig.Heat(2, 4) = 100;
    rig.Back(2, 4) = 1;
    rig.engine.Burn();
    EXPECT_EQ(rig.Back(2, 4), 8);
    EXPECT_EQ(rig.engine.State().m_nFuel, 0);
}

TEST(Burn, FirstDyingTickColdsTheWholeSegmentFlareOrNot) {
    Rig rig;
    rig.Quiet(100, 10, 0);
    Edit(rig.engine).m_nFrame = rig.engine.State().m_nBurnFrames;
    for (int j = 0; j < 100; ++j) rig.Base(j) = 200;
    rig.random.script = {0, 0};  // the flare fires
    rig.engine.Burn();
    for (int j = 0; j < 100; ++j) EXPECT_EQ(rig.Base(j), kCold) << "base cell " << j;
    EXPECT_EQ(rig.random.calls, 2) << "a cell at the ceiling draws nothing";
    EXPECT_EQ(rig.engine.State().m_nDecay, 6);
    EXPECT_EQ(rig.engine.State().m_nDyingFrames, 1);
    EXPECT_EQ(rig.engine.State().m_bFinished, 0);
}

TEST(Burn, SegmentAndMarginsOfTheBaseLine) {
    struct Case {
        int32_t width, maxWidth, firstHot, lastHot, grown;
    };
    for (const Case& c : {Case{6, 10, 48, 52, 7}, Case{7, 10, 47, 52, 8}, Case{7, 7, 47, 52, 7}}) {
        Rig rig;
        rig.Quiet(100, 10, 0);
        Edit(rig.engine).m_nBaseWidth = c.width;
        Edit(rig.engine).m_nMaxBaseWidth = c.maxWidth;
        for (int j = 0; j < 100; ++j) rig.Base(j) = 100;
        rig.engine.Burn();
        for (int j = 0; j < 100; ++j) {
            const int want = j >= c.firstHot && j <= c.lastHot ? 100 : kCold;
            EXPECT_EQ(rig.Heat(0, j), want) << "width " << c.width << " heat row 0 col " << j;
            EXPECT_EQ(rig.Base(j), want) << "width " << c.width << " base cell " << j;
        }
        // The flare chance, then one heating draw per cell of the segment, margins included.
        EXPECT_EQ(rig.random.calls, 1 + c.width + 1) << "width " << c.width;
        EXPECT_EQ(rig.engine.State().m_nBaseWidth, c.grown) << "width " << c.width;
    }
}

TEST(Burn, RowsDrawTheirDirectionTopFirstAndCellsTakeThreeSteps) {
    // Rows 2 and 1 both run over values of 100; the cooling each cell shows tells which
    // generator steps it took, and so in which order the row was visited.
    for (const bool topRightToLeft : {true, false}) {
        Rig rig;
        const int cx = 8;
        rig.Quiet(cx, 4, 2);
        EditParams(rig.engine).m_nSpread = 0;
        Edit(rig.engine).m_nBaseWidth = Edit(rig.engine).m_nMaxBaseWidth = cx - 1;
        for (int j = 0; j < cx; ++j) rig.Base(j) = rig.Heat(1, j) = 100;
        rig.random.script = {topRightToLeft ? 1 : 0, topRightToLeft ? 0 : 1};
        const uint32_t seed = 0x2468ACE1u;
        g_dwFireRand = seed;
        rig.engine.Burn();
        for (int k = 0; k < cx; ++k) {
            const int top = topRightToLeft ? cx - 1 - k : k;
            const int low = topRightToLeft ? cx + k : 2 * cx - 1 - k;
            EXPECT_EQ(rig.Out(2, k), 100 - DrawFor(seed, top, 0, 5).cooling) << "row 2 col " << k;
            EXPECT_EQ(rig.Out(1, k), 100 - DrawFor(seed, low, 0, 5).cooling) << "row 1 col " << k;
        }
        uint32_t after = seed;
        for (int n = 0; n < 3 * 2 * cx; ++n) after = NextFireRand(after);
        EXPECT_EQ(g_dwFireRand, after);
        EXPECT_EQ(rig.random.calls, 2 + 1 + cx);
    }
}

TEST(Burn, FlareAndHeatingDrawAfterTheRows) {
    struct Case {
        const char* what;
        std::deque<int32_t> script;
        std::vector<int> base;  // cells 47..53 afterwards
        int calls;
    };
    const Case cases[] = {
        // Chance 30 fires; position 3 % (7 - 5) puts the flare on 48..52, which end at the
        // ceiling of 216 and draw nothing; 47 and 53 heat by 10 - 4 and 40 - 4.
        {"flare", {1, 30, 3, 10, 40}, {22, 216, 216, 216, 216, 216, 52}, 5},
        {"flare at the margin", {1, 15, 0, 10}, {216, 216, 216, 216, 216, 22, 16}, 5},
        {"no flare", {1, 7, 10, 11, 12, 13, 14, 15, 16}, {22, 23, 24, 25, 26, 27, 28}, 9},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Quiet(100, 4, 1);
        Edit(rig.engine).m_nMaxBaseWidth = 10;
        rig.random.script = c.script;
        rig.random.fallback = 0;
        rig.engine.Burn();
        for (int j = 47; j <= 53; ++j) EXPECT_EQ(rig.Base(j), c.base[std::size_t(j - 47)]) << c.what << ", cell " << j;
        EXPECT_EQ(rig.random.calls, c.calls) << c.what;
    }
}

TEST(Burn, SmoothingWorksInPlaceLeftToRight) {
    struct Case {
        int32_t smooth;
        std::vector<int> base;  // cells 47..53 afterwards
    };
    const Case cases[] = {
        {1, {16, 52, 84, 104, 101, 82, 16}},  // out of place, 49 would be (100 + 40 + 160) / 3
        {0, {16, 100, 40, 160, 70, 130, 16}},
        {-1, {16, 100, 40, 160, 70, 130, 16}},
        {4, {16, 100, 40, 160, 70, 130, 16}},  // 2 x 4 >= 7 cells: nothing to smooth
        {INT32_MAX, {16, 100, 40, 160, 70, 130, 16}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Quiet(100, 4, 0);
        Edit(rig.engine).m_nSmooth = c.smooth;
        const int start[] = {100, 40, 160, 70, 130};
        for (int j = 0; j < 5; ++j) rig.Base(48 + j) = uint8_t(start[j]);
        rig.engine.Burn();
        for (int j = 47; j <= 53; ++j)
            EXPECT_EQ(rig.Base(j), c.base[std::size_t(j - 47)]) << "smooth " << c.smooth << ", cell " << j;
    }
}

TEST(Burn, NoRowRisesWithoutFireHeight) {
    for (int32_t height : {0, -3}) {
        Rig rig;
        rig.Quiet(20, 10, height);
        for (int r = 1; r < 10; ++r)
            for (int c = 0; c < 20; ++c) rig.Heat(r, c) = rig.Out(r, c) = uint8_t(100 + r);
        for (int j = 0; j < 20; ++j) rig.Base(j) = 90;
        g_dwFireRand = 77;
        rig.engine.Burn();
        for (int r = 1; r < 10; ++r)
            for (int c = 0; c < 20; ++c) {
                ASSERT_EQ(rig.Heat(r, c), 100 + r) << "height " << height << " row " << r << " col " << c;
                ASSERT_EQ(rig.Out(r, c), 100 + r) << "height " << height << " row " << r << " col " << c;
            }
        EXPECT_EQ(rig.Heat(0, 10), 90) << "height " << height;
        EXPECT_EQ(g_dwFireRand, 77u) << "height " << height;
        EXPECT_EQ(rig.engine.State().m_nFrame, 1) << "height " << height;
        EXPECT_EQ(rig.random.calls, 1 + 7) << "height " << height;
    }
}

TEST(Burn, DriftPastARowEndLandsInPaddingOrTheNeighbouringRow) {
    struct Case {
        int32_t cx;  // 6: stride 8 with two padding bytes; 8: no padding
        bool right;
    };
    for (const Case& c : {Case{6, true}, Case{8, true}, Case{6, false}, Case{8, false}}) {
        Rig rig;
        rig.Quiet(c.cx, 4, 2);
        Edit(rig.engine).m_nDecay = 0;
        const int stride = rig.platform.stride();
        // The first cell visited in row 2 is the edge cell; it must drift off the row.
        const uint32_t seed = SeedWhere([&](uint32_t s) { return DrawFor(s, 0, 1, 0).drift == (c.right ? 1 : -1); });
        g_dwFireRand = seed;
        rig.random.script = {c.right ? 1 : 0};
        std::size_t landing;
        if (c.right) {
            rig.Heat(1, c.cx - 1) = 100;
            landing = std::size_t(2 * stride + c.cx);  // row 2 padding, or row 3 column 0
        } else {
            rig.Heat(1, 0) = 100;
            landing = std::size_t(2 * stride - 1);  // last byte of row 1's stride
            // Row 1's own pass may put the flame out again; it then shows this background.
            rig.platform.back[landing] = 100;
        }
        rig.engine.Burn();
        EXPECT_EQ(rig.platform.out[landing], 100) << "width " << c.cx << (c.right ? " right" : " left");
        if (c.right || c.cx == 6) {
            EXPECT_EQ(rig.platform.heat[landing], 100) << "width " << c.cx;
        }
        if (c.right && c.cx == 6) {
            EXPECT_EQ(rig.Heat(3, 0), kCold) << "padding, not the next row";
        }
    }
}

TEST(Burn, TopRowDriftPastTheLastByteIsDropped) {
    Rig rig;
    rig.Quiet(100, 100, 99);  // the full-screen box: no padding, flames up to the last row
    Edit(rig.engine).m_nDecay = 0;
    GuardedBuffers guard(rig.engine);
    std::fill_n(guard.heat(), guard.size, kCold);
    std::fill_n(guard.out(), guard.size, 0);
    uint8_t* back = &guard.buffers[0][GuardedBuffers::kGuard];
    std::fill_n(back, guard.size, 0);
    std::fill_n(back + 99 * 100, 100, 120);  // whatever goes out in row 99 shows 120 too
    guard.heat()[98 * 100 + 99] = 100;
    guard.heat()[98 * 100 + 50] = 120;
    const uint32_t seed = SeedWhere([](uint32_t s) { return DrawFor(s, 0, 1, 0).drift == 1; });
    g_dwFireRand = seed;
    rig.random.script = {1};  // row 99 right to left: column 99 goes first
    rig.engine.Burn();
    EXPECT_EQ(guard.Touched(), "");
    const int landed = 50 + DrawFor(seed, 49, 1, 0).drift;
    for (int c = 0; c < 100; ++c) {
        EXPECT_EQ(guard.out()[99 * 100 + c], c == landed ? 120 : 0) << "row 99 col " << c;
        EXPECT_NE(guard.heat()[99 * 100 + c], 100) << "row 99 col " << c;
    }
}

TEST(Burn, DyingEndsOnTick36OrFireHeightPlus20) {
    struct Case {
        int32_t height, dyingTicks;
    };
    for (const Case& c : {Case{6, 26}, Case{10, 30}, Case{16, 36}, Case{17, 36}, Case{60, 36}}) {
        Rig rig;
        rig.Quiet(50, 100, c.height);
        Edit(rig.engine).m_nBurnFrames = 4;
        int ticks = 0;
        while (!rig.engine.State().m_bFinished && ticks < 1000) {
            rig.engine.Burn();
            ++ticks;
            if (ticks <= 4) {
                ASSERT_EQ(rig.engine.State().m_nFuel, 200) << "height " << c.height << " tick " << ticks;
            }
        }
        EXPECT_EQ(ticks, 4 + c.dyingTicks) << "height " << c.height;
        EXPECT_EQ(rig.engine.State().m_nDyingFrames, c.dyingTicks) << "height " << c.height;
        EXPECT_EQ(rig.engine.State().m_bBurning, 0) << "height " << c.height;
    }
}

}  // namespace
