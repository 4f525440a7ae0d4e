// The drawing surfaces of a fire window: three 8-bit DIB sections in memory DCs, sharing
// one colour table, the window DC that holds the realized palette, and on true-colour
// screens a 32-bit copy of the output.
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
    if (::GetDeviceCaps(m_pWindowDC->GetSafeHdc(), RASTERCAPS) & RC_PALETTE) return true;

    // 32 bits a pixel and no colour table: BGRX, the byte order of RgbQuad.
    h.biBitCount = 32;
    h.biHeight = -plan.box.cy;  // top row first, as the screen stores it
    h.biSizeImage = static_cast<DWORD>(std::size_t(plan.box.cx) * 4 * std::size_t(plan.box.cy));
    for (std::size_t i = 0; i < m_screenPixels.size(); ++i) {
        const RgbQuad& c = colours[i];
        m_screenPixels[i] = uint32_t(c.blue) | uint32_t(c.green) << 8 | uint32_t(c.red) << 16;
    }
    return m_screen.Create(*m_pWindowDC, info);
}

void FireWnd::ReleaseSurfaces() {
    m_engine.ReleaseBuffers();
    FreeSurfaces();
}

void FireWnd::FreeSurfaces() {
    for (FireSurface* surface : {&m_back, &m_heat, &m_out, &m_screen}) surface->Release();
    if (m_pWindowDC && m_hOldPalette) m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
    m_pWindowDC.reset();
    m_hOldPalette = nullptr;
}
