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

void FireWnd::CreateSurfaces() {
    ReleaseSurfaces();
    RECT client;
    GetClientRect(&client);
    m_engine.PlanSurfaces(client.right - client.left, client.bottom - client.top);
    // Buffers reach the engine only when every surface exists; otherwise nothing burns or
    // draws until a later restart succeeds.
    if (!State().m_pBaseLine || !BuildSurfaces()) ReleaseSurfaces();
}

bool FireWnd::BuildSurfaces() {
    const auto header = std::make_unique<SurfaceHeader>();
    BITMAPINFOHEADER& h = header->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = State().m_cxFire;
    h.biHeight = State().m_cyFire;  // positive: row 0 is the bottom line
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(m_engine.Stride()) * static_cast<DWORD>(State().m_cyFire);
    std::memcpy(header->bmiColors, State().m_rgbPalette.data(), sizeof header->bmiColors);

    m_pWindowDC = std::make_unique<CWindowDC>(this);
    if (!m_pWindowDC->GetSafeHdc()) return false;
    m_pHeatDC = std::make_unique<CDC>();
    m_pBackDC = std::make_unique<CDC>();
    m_pOutDC = std::make_unique<CDC>();
    for (CDC* dc : {m_pHeatDC.get(), m_pBackDC.get(), m_pOutDC.get()})
        if (!dc->CreateCompatibleDC(m_pWindowDC.get())) return false;

    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(header.get());
    void* back = nullptr;
    void* heat = nullptr;
    void* out = nullptr;
    m_bmBack.Attach(::CreateDIBSection(m_pBackDC->GetSafeHdc(), info, DIB_RGB_COLORS, &back, nullptr, 0));
    m_bmHeat.Attach(::CreateDIBSection(m_pHeatDC->GetSafeHdc(), info, DIB_RGB_COLORS, &heat, nullptr, 0));
    m_bmOut.Attach(::CreateDIBSection(m_pOutDC->GetSafeHdc(), info, DIB_RGB_COLORS, &out, nullptr, 0));
    if (!m_bmBack.GetSafeHandle() || !m_bmHeat.GetSafeHandle() || !m_bmOut.GetSafeHandle()) return false;
    if (!back || !heat || !out) return false;

    if (m_palette.GetSafeHandle()) {
        m_hOldPalette = m_pWindowDC->SelectPalette(m_palette, FALSE);
        m_pWindowDC->RealizePalette();
    }
    m_hOldBackBmp = m_pBackDC->SelectObject(m_bmBack);
    m_pBackDC->RealizePalette();
    m_hOldHeatBmp = m_pHeatDC->SelectObject(m_bmHeat);
    m_hOldOutBmp = m_pOutDC->SelectObject(m_bmOut);
    if (!m_hOldBackBmp || !m_hOldHeatBmp || !m_hOldOutBmp) return false;

    m_engine.AttachBuffers(static_cast<uint8_t*>(back), static_cast<uint8_t*>(heat), static_cast<uint8_t*>(out));
    return true;
}

void FireWnd::ReleaseSurfaces() {
    // The engine lets go of the pixels and the base line before they disappear.
    m_engine.ReleaseBuffers();
    struct MemorySurface {
        std::unique_ptr<CDC>& dc;
        HGDIOBJ& old;
    };
    for (MemorySurface s : {MemorySurface{m_pBackDC, m_hOldBackBmp}, MemorySurface{m_pHeatDC, m_hOldHeatBmp},
                            MemorySurface{m_pOutDC, m_hOldOutBmp}}) {
        if (s.dc && s.old) s.dc->SelectObject(s.old);
        s.dc.reset();
        s.old = nullptr;
    }
    if (m_pWindowDC && m_hOldPalette) m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
    m_pWindowDC.reset();
    m_hOldPalette = nullptr;
    m_bmBack.DeleteObject();
    m_bmHeat.DeleteObject();
    m_bmOut.DeleteObject();
}

namespace {
// Each fire pixel as a scale x scale block of window pixels.
void CopyOutput(CDC& to, CDC& out, const FireState& fire) {
    const int32_t s = fire.m_nScale;
    if (s == 1) {
        to.BitBlt(fire.m_ptBlit.x, fire.m_ptBlit.y, fire.m_cxFire, fire.m_cyFire, &out, 0, 0, SRCCOPY);
        return;
    }
    ::SetStretchBltMode(to.GetSafeHdc(), COLORONCOLOR);
    ::StretchBlt(to.GetSafeHdc(), fire.m_ptBlit.x, fire.m_ptBlit.y, fire.m_cxFire * s, fire.m_cyFire * s,
                 out.GetSafeHdc(), 0, 0, fire.m_cxFire, fire.m_cyFire, SRCCOPY);
}
}  // namespace

void FireWnd::Present(CDC* pDC) {
    if (!m_engine.CanPresent() || !m_pOutDC || !m_pWindowDC) return;
    if (pDC) {
        CPaletteSelection palette(*pDC, m_palette, FALSE);
        pDC->RealizePalette();
        CopyOutput(*pDC, *m_pOutDC, State());
    } else {
        // The window DC holds the realized palette since CreateSurfaces.
        CopyOutput(*m_pWindowDC, *m_pOutDC, State());
    }
}
