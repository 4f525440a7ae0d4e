// The surfaces of a fire window: made for a plan, and given back in one place.
#include "FireCanvas.h"

#include <cstring>

#include "Monitors.h"

namespace {
// One header for the 8-bit surfaces: 40 bytes and the 256-entry colour table.
struct SurfaceHeader {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};
static_assert(sizeof(SurfaceHeader) == 1064, "BITMAPINFO with 256 colours");
static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD), "colour table entries are RGBQUADs");
}  // namespace

FireCanvas::~FireCanvas() {
    Release();
    m_palette.DeleteObject();
}

MonitorLayout FireCanvas::Monitors() { return DesktopMonitors(); }

bool FireCanvas::CreateSection(Section s, const BITMAPINFO& info) {
    s.dc = std::make_unique<CDC>();
    if (!s.dc->CreateCompatibleDC(m_pWindowDC.get())) return false;
    void* bits = nullptr;
    s.bitmap.Attach(::CreateDIBSection(s.dc->GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!s.bitmap.GetSafeHandle() || !bits) return false;
    s.oldBitmap = s.dc->SelectObject(s.bitmap);
    if (!s.oldBitmap) return false;
    s.bits = static_cast<uint8_t*>(bits);
    return true;
}

void FireCanvas::ReleaseSection(Section s) {
    // The previous bitmap goes back into the DC before both are deleted.
    if (s.dc && s.oldBitmap) s.dc->SelectObject(s.oldBitmap);
    s.oldBitmap = nullptr;
    s.dc.reset();
    s.bitmap.DeleteObject();
    s.bits = nullptr;
}

FireBuffers FireCanvas::MakeSurfaces(const SurfacePlan& plan) {
    Release();
    if (!plan.surfaces) return FireBuffers{};
    if (!BuildSurfaces(plan)) {
        Release();
        return FireBuffers{};
    }
    return FireBuffers{m_pBackBits, m_pHeatBits, m_pOutBits};
}

bool FireCanvas::BuildSurfaces(const SurfacePlan& plan) {
    const auto header = std::make_unique<SurfaceHeader>();
    BITMAPINFOHEADER& h = header->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = plan.box.cx;
    h.biHeight = plan.box.cy;  // positive: row 0 is the bottom line
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(plan.Bytes());
    std::memcpy(header->bmiColors, m_colours.data(), sizeof header->bmiColors);

    m_pWindowDC = std::make_unique<CWindowDC>(&m_wnd);
    if (!m_pWindowDC->GetSafeHdc()) return false;
    if (m_palette.GetSafeHandle()) {
        m_hOldPalette = m_pWindowDC->SelectPalette(m_palette, FALSE);
        m_pWindowDC->RealizePalette();
    }
    const BITMAPINFO& info = *reinterpret_cast<const BITMAPINFO*>(header.get());
    // The design's order: background, heat, output.
    for (Section s : {Back(), Heat(), Out()})
        if (!CreateSection(s, info)) return false;
    m_pBackDC->RealizePalette();
    m_box = plan.box;
    m_stride = plan.stride;
    m_bTrueColour = !(::GetDeviceCaps(m_pWindowDC->GetSafeHdc(), RASTERCAPS) & RC_PALETTE);
    // Made at scale 1 now; a box shown larger makes them again at its scale.
    if (m_bTrueColour) FitTrueColour(1);
    return true;
}

bool FireCanvas::FitTrueColour(int32_t scale) {
    if (!m_bTrueColour || scale < 1) return false;
    if (scale != m_nTrueColourScale) {
        ReleaseSection(Capture());
        ReleaseSection(Screen());
        m_nCaptureScale = 0;
        m_nTrueColourScale = scale;
        // 32 bits a pixel and no colour table, top row first as the screen stores it.
        BITMAPINFO info{};
        BITMAPINFOHEADER& h = info.bmiHeader;
        h.biSize = sizeof(BITMAPINFOHEADER);
        h.biWidth = m_box.cx * scale;
        h.biHeight = -(m_box.cy * scale);
        h.biPlanes = 1;
        h.biBitCount = 32;
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(std::size_t(m_box.cx) * std::size_t(m_box.cy) * 4 * std::size_t(scale) *
                                           std::size_t(scale));
        if (!CreateSection(Capture(), info) || !CreateSection(Screen(), info)) {
            ReleaseSection(Capture());
            ReleaseSection(Screen());
        }
    }
    return m_pCaptureBits && m_pScreenBits;
}

void FireCanvas::Release() {
    for (Section s : {Back(), Heat(), Out(), Capture(), Screen()}) ReleaseSection(s);
    if (m_pWindowDC && m_hOldPalette) m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
    m_hOldPalette = nullptr;
    m_pWindowDC.reset();
    m_bTrueColour = false;
    m_nTrueColourScale = 0;
    m_nCaptureScale = 0;
    m_box = FireSize{0, 0};
    m_stride = 0;
}
