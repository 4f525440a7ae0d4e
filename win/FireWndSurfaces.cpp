// The drawing surfaces of a fire window: three 8-bit DIB sections in memory DCs, sharing
// one colour table, and the window DC that holds the realized palette.
#include <cstring>

#include "FireWnd.h"
#include "Selection.h"

namespace {
// One header for all three surfaces: 40 bytes and the 256-entry colour table.
struct SurfaceHeader {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};
static_assert(sizeof(SurfaceHeader) == 1064, "BITMAPINFO with 256 colours");
static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD), "colour table entries are RGBQUADs");
}  // namespace

FireBuffers FireWnd::Gdi::MakeSurfaces(const SurfacePlan& plan) {
    m_wnd.FreeSurfaces();
    if (!plan.surfaces) return FireBuffers{};
    if (!m_wnd.BuildSurfaces(plan, m_colours)) {
        m_wnd.FreeSurfaces();
        return FireBuffers{};
    }
    return FireBuffers{m_wnd.m_back.Bits(), m_wnd.m_heat.Bits(), m_wnd.m_out.Bits()};
}

bool FireWnd::BuildSurfaces(const SurfacePlan& plan, const ColourTable& colours) {
    const auto header = std::make_unique<SurfaceHeader>();
    BITMAPINFOHEADER& h = header->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = plan.box.cx;
    h.biHeight = plan.box.cy;  // positive: row 0 is the bottom line
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(plan.Bytes());
    std::memcpy(header->bmiColors, colours.data(), sizeof header->bmiColors);

    m_pWindowDC = std::make_unique<CWindowDC>(this);
    if (!m_pWindowDC->GetSafeHdc()) return false;
    if (m_palette.GetSafeHandle()) {
        m_hOldPalette = m_pWindowDC->SelectPalette(m_palette, FALSE);
        m_pWindowDC->RealizePalette();
    }
    const BITMAPINFO& info = *reinterpret_cast<const BITMAPINFO*>(header.get());
    for (FireSurface* surface : {&m_back, &m_heat, &m_out})
        if (!surface->Create(*m_pWindowDC, info)) return false;
    m_back.DC()->RealizePalette();
    return true;
}

void FireWnd::ReleaseSurfaces() {
    m_engine.ReleaseBuffers();
    FreeSurfaces();
}

void FireWnd::FreeSurfaces() {
    for (FireSurface* surface : {&m_back, &m_heat, &m_out}) surface->Release();
    if (m_pWindowDC && m_hOldPalette) m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
    m_pWindowDC.reset();
    m_hOldPalette = nullptr;
}
