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
// Each fire pixel as a scale x scale block of window pixels.
void CopyOutput(CDC& to, CDC& out, FirePoint at, FireSize size, int32_t scale) {
    if (scale == 1) {
        to.BitBlt(at.x, at.y, size.cx, size.cy, &out, 0, 0, SRCCOPY);
        return;
    }
    ::SetStretchBltMode(to.GetSafeHdc(), COLORONCOLOR);
    ::StretchBlt(to.GetSafeHdc(), at.x, at.y, size.cx * scale, size.cy * scale, out.GetSafeHdc(), 0, 0, size.cx,
                 size.cy, SRCCOPY);
}
}  // namespace

void FireWnd::Gdi::Paint(CDC& dc, FireEngine& engine) {
    m_pPaintDC = &dc;
    engine.Paint();
    m_pPaintDC = nullptr;
}

void FireWnd::Gdi::PresentOutput(FirePoint at, FireSize size, int32_t scale) {
    CDC* const out = m_wnd.m_out.DC();
    if (!out || !m_wnd.m_pWindowDC) return;
    if (m_pPaintDC) {
        CPaletteSelection palette(*m_pPaintDC, m_wnd.m_palette, FALSE);
        m_pPaintDC->RealizePalette();
        CopyOutput(*m_pPaintDC, *out, at, size, scale);
    } else {
        // The window DC holds the realized palette since the surfaces were made.
        CopyOutput(*m_wnd.m_pWindowDC, *out, at, size, scale);
    }
}
