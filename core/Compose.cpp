#include "Compose.h"

namespace {
template <class Pixel>
void ComposeRows(const BoxPixels& b, const FireBand& band, const ScreenColours& colours, uint32_t fill, Pixel* to,
                 int64_t toStride) {
    const int32_t scale = b.scale;
    const int64_t width = int64_t(band.columnCount) * scale;
    for (int32_t n = 0; n < band.rowCount; ++n) {
        // Target rows run top down, buffer rows bottom up.
        const int64_t row = int64_t(band.firstRow) + band.rowCount - 1 - n;
        const uint8_t* out = b.out + row * b.stride + band.firstColumn;
        const uint8_t* back = b.back + row * b.stride + band.firstColumn;
        for (int32_t dy = 0; dy < scale; ++dy) {
            Pixel* line = to + (int64_t(n) * scale + dy) * toStride;
            if (!b.captured) {
                if (dy > 0) {
                    for (int64_t x = 0; x < width; ++x) line[x] = line[x - toStride];
                    continue;
                }
                for (int32_t c = 0; c < band.columnCount; ++c)
                    for (int32_t dx = 0; dx < scale; ++dx) line[c * scale + dx] = Pixel(colours[out[c]]);
                continue;
            }
            // Every pixel of a block carries its cell's captured index.
            const int64_t screenRow = (int64_t(b.box.cy) - 1 - row) * scale + dy;
            const uint32_t* captured = b.captured + screenRow * b.capturedStride + int64_t(band.firstColumn) * scale;
            if (scale == 1) {
                for (int32_t c = 0; c < band.columnCount; ++c) {
                    const uint8_t o = out[c];
                    const uint32_t p = captured[c];
                    line[c] = Pixel(back[c] == o && p >> 24 == o ? (p & kCapturedColourBits) | fill : colours[o]);
                }
                continue;
            }
            for (int32_t c = 0; c < band.columnCount; ++c) {
                const uint8_t o = out[c];
                const bool kept = back[c] == o;
                for (int32_t dx = 0; dx < scale; ++dx) {
                    const uint32_t p = captured[c * scale + dx];
                    line[c * scale + dx] = Pixel(kept && p >> 24 == o ? (p & kCapturedColourBits) | fill : colours[o]);
                }
            }
        }
    }
}
}  // namespace

void ComposeBand(const BoxPixels& box, const FireBand& band, const ScreenColours& colours, uint32_t fill,
                 uint32_t* to, int64_t toStride) {
    if (band.Empty() || box.scale < 1) return;
    ComposeRows(box, band, colours, fill, to, toStride);
}

void ComposeBand(const BoxPixels& box, const FireBand& band, const ScreenColours& colours, uint32_t fill,
                 uint16_t* to, int64_t toStride) {
    if (band.Empty() || box.scale < 1) return;
    ComposeRows(box, band, colours, fill, to, toStride);
}
