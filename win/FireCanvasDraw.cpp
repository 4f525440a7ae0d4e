// What the fire engine asks of the platform, done with GDI on the canvas's surfaces.
#include <cstring>
#include <optional>

#include "FireCanvas.h"
#include "Selection.h"

namespace {
// PS_GEOMETRIC with a solid line, round ends and round joins (all three zero).
constexpr int kFlyPenStyle = 0x00010000;
// GDI coordinates were 16 bits wide on the first systems this ran on. Wider pens overflow
// the line geometry: under Wine a width near 2^31 draws stray bars and takes seconds a step.
constexpr int32_t kMaxFlyPenWidth = 32767;

// A block of `size` cells, each scale x scale pixels of `from`, into `size` pixels of `to`:
// one pixel of each block, not a blend, so that the box shows it as the block again.
void CopyScaledDown(CDCHandle& to, CDCHandle& from, FirePoint at, FireSize size, int32_t scale) {
    if (scale == 1) {
        to.BitBlt(0, 0, size.cx, size.cy, &from, at.x, at.y, SRCCOPY);
        return;
    }
    ::SetStretchBltMode(to.GetSafeHdc(), COLORONCOLOR);
    ::StretchBlt(to.GetSafeHdc(), 0, 0, size.cx, size.cy, from.GetSafeHdc(), at.x, at.y, size.cx * scale,
                 size.cy * scale, SRCCOPY);
}

// The band's cells of an 8-bit surface, each a scale x scale block of window pixels. Surface
// DCs count rows from the top; the band counts them from the bottom.
void CopyBand(CDCHandle& to, CDCHandle& from, FirePoint at, FireSize size, int32_t scale, const FireBand& band) {
    const int x = band.firstColumn, y = size.cy - band.firstRow - band.rowCount;
    const int cx = band.columnCount, cy = band.rowCount;
    if (scale == 1) {
        to.BitBlt(at.x + x, at.y + y, cx, cy, &from, x, y, SRCCOPY);
        return;
    }
    ::SetStretchBltMode(to.GetSafeHdc(), COLORONCOLOR);
    ::StretchBlt(to.GetSafeHdc(), at.x + x * scale, at.y + y * scale, cx * scale, cy * scale, from.GetSafeHdc(), x, y,
                 cx, cy, SRCCOPY);
}
}  // namespace

void FireCanvas::CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) {
    if (!m_pBackDC || !m_pOutDC) return;
    m_nCaptureScale = 0;
    CWindowDC screen(nullptr);
    if (!screen.GetSafeHdc()) return;
    if (!FitTrueColour(scale)) {
        for (CDC* dc : {m_pBackDC.get(), m_pOutDC.get()}) CopyScaledDown(*dc, screen, topLeft, size, scale);
        return;
    }
    // The screen is read once, at full resolution; the indices come from that copy through
    // GDI's own mapping, the one a copy straight from the screen gets.
    m_pCaptureDC->BitBlt(0, 0, size.cx * scale, size.cy * scale, &screen, topLeft.x, topLeft.y, SRCCOPY);
    CopyScaledDown(*m_pBackDC, *m_pCaptureDC, FirePoint{0, 0}, size, scale);
    ::GdiFlush();
    // Only the pixels of each row: the engine's edge addressing reads the padding as it was.
    for (int32_t r = 0; r < size.cy; ++r)
        std::memcpy(m_pOutBits + r * m_stride, m_pBackBits + r * m_stride, std::size_t(size.cx));
    auto* captured = reinterpret_cast<uint32_t*>(m_pCaptureBits);
    const int64_t width = int64_t(size.cx) * scale;
    for (int64_t y = 0; y < int64_t(size.cy) * scale; ++y) {
        const uint8_t* index = m_pBackBits + (size.cy - 1 - y / scale) * m_stride;
        uint32_t* row = captured + y * width;
        for (int64_t x = 0; x < width; ++x) row[x] = PackCaptured(row[x], index[x / scale]);
    }
    m_nCaptureScale = scale;
}

void FireCanvas::FillBlack(FireSize size) {
    if (!m_pBackDC || !m_pOutDC) return;
    m_nCaptureScale = 0;
    const CBrush black(RGB(0, 0, 0));
    const RECT box{0, 0, size.cx, size.cy};
    m_pBackDC->FillRect(box, black);
    m_pOutDC->FillRect(box, black);
}

void FireCanvas::BlankWindow() {
    if (!m_pWindowDC) return;
    RECT client;
    m_wnd.GetClientRect(&client);
    m_pWindowDC->FillRect(client, CBrush(RGB(0, 0, 0)));
}

void FireCanvas::DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes, std::size_t count) {
    if (!m_pWindowDC) return;
    // A width no pen can have: this step draws nothing, as if the pens could not be made.
    if (penWidth < 0 || penWidth > kMaxFlyPenWidth) return;
    const CPen darkPen(kFlyPenStyle, penWidth, dark);
    const CPen glowPen(kFlyPenStyle, penWidth, glow);
    if (!darkPen.GetSafeHandle() || !glowPen.GetSafeHandle()) return;
    for (std::size_t n = 0; n < count; ++n) {
        const FlyStroke& s = strokes[n];
        CSelection pen(*m_pWindowDC, s.glow ? glowPen : darkPen);
        m_pWindowDC->MoveTo(s.from.x, s.from.y);
        m_pWindowDC->LineTo(s.to.x, s.to.y);
    }
}

void FireCanvas::Paint(CDCHandle& dc, FireEngine& engine) {
    m_pPaintDC = &dc;
    engine.Paint();
    m_pPaintDC = nullptr;
}

void FireCanvas::PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) {
    if (!m_pOutDC || !m_pWindowDC) return;
    CDCHandle& to = m_pPaintDC ? *m_pPaintDC : *m_pWindowDC;
    // The window DC holds the realized palette since the surfaces were made; a paint DC gets it.
    std::optional<CPaletteSelection> palette;
    if (m_pPaintDC) {
        palette.emplace(*m_pPaintDC, m_palette, FALSE);
        m_pPaintDC->RealizePalette();
    }
    if (!FitTrueColour(scale)) {
        // A palette screen: GDI maps the indices through the palette.
        CopyBand(to, *m_pOutDC, at, size, scale, band);
        return;
    }
    BoxPixels box;
    box.out = m_pOutBits;
    box.back = m_pBackBits;
    box.stride = m_stride;
    box.box = size;
    box.scale = scale;
    if (m_nCaptureScale == scale) {
        box.captured = reinterpret_cast<const uint32_t*>(m_pCaptureBits);
        box.capturedStride = int64_t(size.cx) * scale;
    }
    const int32_t x = band.firstColumn * scale, y = (size.cy - band.firstRow - band.rowCount) * scale;
    const int64_t width = int64_t(size.cx) * scale;
    // GDI may still be reading the pixels of the last copy.
    ::GdiFlush();
    ComposeBand(box, band, m_screenColours, 0, reinterpret_cast<uint32_t*>(m_pScreenBits) + y * width + x, width);
    to.BitBlt(at.x + x, at.y + y, band.columnCount * scale, band.rowCount * scale, m_pScreenDC.get(), x, y, SRCCOPY);
}
