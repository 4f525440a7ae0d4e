#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Compose.h"

namespace {

// Table colours that no captured pixel has: the index in the low byte, a marker above it.
ScreenColours Colours() {
    ScreenColours c{};
    for (uint32_t i = 0; i < 256; ++i) c[i] = 0x00C0DE00u << 8 | i;
    return c;
}

// The screen pixel captured at (x, y) of a block, before the index is packed in.
uint32_t Screen(int x, int y) { return 0x00102030u + uint32_t(16 * y + x); }

constexpr uint32_t kFill = 0xFF000000u;

TEST(Compose, OneCellShowsTheCaptureOnlyWhileBothBuffersHoldItsIndex) {
    struct Case {
        const char* what;
        uint8_t out, back;
        int captured;  // the index the capture gave the cell; -1: a black fill, no capture
        bool showsCapture;
    };
    const Case cases[] = {
        {"untouched", 100, 100, 100, true},
        {"burning", 200, 100, 100, false},
        {"a flame of the captured index over a scorched background", 100, 32, 100, false},
        {"dying: the black a flame leaves", 16, 100, 100, false},
        {"scorched once", 32, 32, 100, false},
        {"scorched three times, to black", 0, 0, 3, false},
        {"a captured index 0, which scorching keeps", 0, 0, 0, true},
        {"a black fill", 0, 0, -1, false},
    };
    const ScreenColours colours = Colours();
    for (const Case& c : cases)
        for (int scale : {1, 2}) {
            // One cell, its row padded to 4 bytes.
            const uint8_t out[4] = {c.out, 0xEE, 0xEE, 0xEE};
            const uint8_t back[4] = {c.back, 0xEE, 0xEE, 0xEE};
            std::vector<uint32_t> captured;
            for (int y = 0; y < scale; ++y)
                for (int x = 0; x < scale; ++x) captured.push_back(PackCaptured(Screen(x, y), uint8_t(c.captured)));
            BoxPixels box;
            box.out = out;
            box.back = back;
            box.stride = 4;
            box.box = FireSize{1, 1};
            box.scale = scale;
            if (c.captured >= 0) {
                box.captured = captured.data();
                box.capturedStride = scale;
            }
            std::vector<uint32_t> wide(std::size_t(scale * scale), 0xDEADBEEF);
            std::vector<uint16_t> narrow(wide.size(), 0xBEEF);
            ComposeBand(box, FireBand::Whole(box.box), colours, kFill, wide.data(), scale);
            ComposeBand(box, FireBand::Whole(box.box), colours, 0, narrow.data(), scale);
            for (int y = 0; y < scale; ++y)
                for (int x = 0; x < scale; ++x) {
                    const std::string at = std::string(c.what) + ", scale " + std::to_string(scale) + ", pixel (" +
                                           std::to_string(x) + ", " + std::to_string(y) + ")";
                    const uint32_t want = c.showsCapture ? Screen(x, y) | kFill : colours[c.out];
                    EXPECT_EQ(wide[std::size_t(y * scale + x)], want) << at;
                    const uint16_t narrowWant = uint16_t(c.showsCapture ? Screen(x, y) : colours[c.out]);
                    EXPECT_EQ(narrow[std::size_t(y * scale + x)], narrowWant) << at << ", 16-bit target";
                }
        }
}

TEST(Compose, OnlyTheBandIsWrittenTopRowFirst) {
    // Three cells by two rows, stride 4, bottom row first; every cell untouched but the
    // bottom-left one, which burns.
    const uint8_t out[8] = {200, 11, 12, 0, 20, 21, 22, 0};
    const uint8_t back[8] = {10, 11, 12, 0, 20, 21, 22, 0};
    const int scale = 2, cx = 3 * scale, cy = 2 * scale;
    std::vector<uint32_t> captured(std::size_t(cx * cy));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            captured[std::size_t(y * cx + x)] = PackCaptured(Screen(x, y), back[(1 - y / scale) * 4 + x / scale]);
    BoxPixels box;
    box.out = out;
    box.back = back;
    box.stride = 4;
    box.box = FireSize{3, 2};
    box.scale = scale;
    box.captured = captured.data();
    box.capturedStride = cx;
    const ScreenColours colours = Colours();

    struct Case {
        FireBand band;
        const char* what;
    };
    const Case cases[] = {
        {FireBand{0, 2, 0, 3}, "the whole box"},
        {FireBand{0, 1, 0, 2}, "the two left cells of the bottom row"},
        {FireBand{1, 1, 1, 2}, "the two right cells of the top row"},
    };
    for (const Case& c : cases) {
        // The target is the box's own picture; the band's top-left block is handed over.
        std::vector<uint32_t> picture(captured.size(), 0);
        const int top = (2 - c.band.firstRow - c.band.rowCount) * scale, left = c.band.firstColumn * scale;
        ComposeBand(box, c.band, colours, 0, picture.data() + top * cx + left, cx);
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) {
                const int row = 1 - y / scale, column = x / scale;
                const bool inBand = row >= c.band.firstRow && row < c.band.firstRow + c.band.rowCount &&
                                    column >= c.band.firstColumn && column < c.band.firstColumn + c.band.columnCount;
                const uint32_t want = !inBand ? 0 : row == 0 && column == 0 ? colours[200] : Screen(x, y);
                EXPECT_EQ(picture[std::size_t(y * cx + x)], want)
                    << c.what << ": pixel (" << x << ", " << y << "), cell row " << row << " column " << column;
            }
    }
}

}  // namespace
