#pragma once
// The picture a fire window shows, as palette indices, top row first; it remembers which
// part changed since the last frame was taken so that frames can carry only that part.
#include <cstdint>
#include <vector>

#include "ColourTable.h"
#include "FireTypes.h"

struct PixelRect {
    int32_t x, y, cx, cy;
    bool Empty() const { return cx <= 0 || cy <= 0; }
};

class Canvas {
public:
    Canvas(int32_t width, int32_t height, uint8_t index = 0);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    uint8_t At(int32_t x, int32_t y) const { return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)]; }
    const uint8_t* Row(int32_t y) const { return &m_pixels[std::size_t(y) * std::size_t(m_width)]; }

    void Set(int32_t x, int32_t y, uint8_t index);
    void Fill(uint8_t index);
    // Copies a bottom-up 8-bit surface with its top-left corner at `at`, clipped to the canvas.
    void PutBottomUp(FirePoint at, FireSize size, const uint8_t* bits, int32_t stride);
    // A pen line between pixel centres: one pixel wide for widths up to 1, otherwise every
    // pixel whose centre lies within width / 2 of the segment (a round brush).
    void Line(FirePoint from, FirePoint to, int32_t width, uint8_t index);

    // The bounding box of everything drawn since the last call.
    PixelRect TakeDirty();

private:
    void Touch(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void Span(int32_t y, int32_t x0, int32_t x1, uint8_t index);
    void ThinLine(FirePoint from, FirePoint to, uint8_t index);
    void RoundLine(FirePoint from, FirePoint to, double radius, uint8_t index);

    int32_t m_width;
    int32_t m_height;
    std::vector<uint8_t> m_pixels;
    PixelRect m_dirty{0, 0, 0, 0};
};

// The colour table entry closest to a colour (squared RGB distance; the lowest index on a tie).
uint8_t NearestIndex(const ColourTable& table, Colour colour);
