// What the fire engine asks of the platform, done with GDI on the window's surfaces.
#include "FireWnd.h"
#include "Monitors.h"
#include "Selection.h"

namespace {
// PS_GEOMETRIC with a solid line, round ends and round joins (all three zero).
constexpr int kFlyPenStyle = 0x00010000;
// GDI coordinates were 16 bits wide on the first systems this ran on. Wider pens overflow
// the line geometry: under Wine a width near 2^31 draws stray bars and takes seconds a step.
constexpr int32_t kMaxFlyPenWidth = 32767;
}  // namespace

MonitorLayout FireWnd::Gdi::Monitors() { return DesktopMonitors(); }

void FireWnd::Gdi::CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) {
    if (!m_wnd.m_back.DC() || !m_wnd.m_out.DC()) return;
    CWindowDC screen(nullptr);
    if (!screen.GetSafeHdc()) return;
    for (CDC* dc : {m_wnd.m_back.DC(), m_wnd.m_out.DC()}) {
        if (scale == 1) {
            dc->BitBlt(0, 0, size.cx, size.cy, &screen, topLeft.x, topLeft.y, SRCCOPY);
        } else {
            // One screen pixel of each block, not a blend: the box shows it as the block again.
            ::SetStretchBltMode(dc->GetSafeHdc(), COLORONCOLOR);
            ::StretchBlt(dc->GetSafeHdc(), 0, 0, size.cx, size.cy, screen.GetSafeHdc(), topLeft.x, topLeft.y,
                         size.cx * scale, size.cy * scale, SRCCOPY);
        }
    }
}

void FireWnd::Gdi::FillBlack(FireSize size) {
    if (!m_wnd.m_back.DC() || !m_wnd.m_out.DC()) return;
    const CBrush black(RGB(0, 0, 0));
    const RECT box{0, 0, size.cx, size.cy};
    m_wnd.m_back.DC()->FillRect(box, black);
    m_wnd.m_out.DC()->FillRect(box, black);
}

void FireWnd::Gdi::BlankWindow() {
    if (!m_wnd.m_pWindowDC) return;
    RECT client;
    m_wnd.GetClientRect(&client);
    m_wnd.m_pWindowDC->FillRect(client, CBrush(RGB(0, 0, 0)));
}

void FireWnd::Gdi::DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                      std::size_t count) {
    if (!m_wnd.m_pWindowDC) return;
    // A width no pen can have: this step draws nothing, as if the pens could not be made.
    if (penWidth < 0 || penWidth > kMaxFlyPenWidth) return;
    const CPen darkPen(kFlyPenStyle, penWidth, dark);
    const CPen glowPen(kFlyPenStyle, penWidth, glow);
    if (!darkPen.GetSafeHandle() || !glowPen.GetSafeHandle()) return;
    for (std::size_t n = 0; n < count; ++n) {
        const FlyStroke& s = strokes[n];
        CSelection pen(*m_wnd.m_pWindowDC, s.glow ? glowPen : darkPen);
        m_wnd.m_pWindowDC->MoveTo(s.from.x, s.from.y);
        m_wnd.m_pWindowDC->LineTo(s.to.x, s.to.y);
    }
}

namespace {
// The band's cells, each a scale x scale block of window pixels. Surface DCs count rows from
// the top; the band counts them from the bottom.
void CopyBand(CDC& to, CDC& from, FirePoint at, FireSize size, int32_t scale, const FireBand& band) {
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

// Palette indices, bottom row first, into screen pixels, top row first.
void Convert(const uint8_t* indices, std::size_t indexStride, uint32_t* pixels, FireSize size,
             const std::array<uint32_t, 256>& table, const FireBand& band) {
    for (int32_t r = band.firstRow; r < band.firstRow + band.rowCount; ++r) {
        const uint8_t* in = indices + std::size_t(r) * indexStride + std::size_t(band.firstColumn);
        uint32_t* out = pixels + std::size_t(size.cy - 1 - r) * std::size_t(size.cx) + std::size_t(band.firstColumn);
        for (int32_t c = 0; c < band.columnCount; ++c) out[c] = table[in[c]];
    }
}
}  // namespace

void FireWnd::Gdi::Paint(CDC& dc, FireEngine& engine) {
    m_pPaintDC = &dc;
    engine.Paint();
    m_pPaintDC = nullptr;
}

CDC* FireWnd::Gdi::SourceFor(FireSize size, const FireBand& band) {
    FireSurface& screen = m_wnd.m_screen;
    if (!screen.Bits()) return m_wnd.m_out.DC();
    // GDI may still be reading the pixels of the last copy.
    ::GdiFlush();
    Convert(m_wnd.m_out.Bits(), std::size_t(SurfaceStride(size.cx)), reinterpret_cast<uint32_t*>(screen.Bits()), size,
            m_wnd.m_screenPixels, band);
    return screen.DC();
}

void FireWnd::Gdi::PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) {
    if (!m_wnd.m_out.DC() || !m_wnd.m_pWindowDC) return;
    CDC* const source = SourceFor(size, band);
    if (m_pPaintDC) {
        CPaletteSelection palette(*m_pPaintDC, m_wnd.m_palette, FALSE);
        m_pPaintDC->RealizePalette();
        CopyBand(*m_pPaintDC, *source, at, size, scale, band);
    } else {
        // The window DC holds the realized palette since the surfaces were made.
        CopyBand(*m_wnd.m_pWindowDC, *source, at, size, scale, band);
    }
}
