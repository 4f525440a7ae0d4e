#pragma once
// Everything a fire window draws with, and the platform its engine draws through: the window
// DC holding the fire's palette, the three 8-bit DIB sections the engine's buffers live in,
// and on a screen without a palette two 32-bit sections: the box's last capture at full
// resolution, and the screen's own pixels that presents are composed in (Compose.h). It owns
// all of them alone and gives them back in one place, whatever the order of its members.
#include <cstdint>
#include <memory>

#include "Compose.h"
#include "Dc.h"
#include "FireEngine.h"
#include "FirePlatform.h"
#include "GdiObject.h"
#include "WindowDc.h"
#include "Wnd.h"

class FireCanvas final : public FirePlatform {
public:
    // Draws on `wnd`, which outlives it; nothing is made before the engine's first restart.
    explicit FireCanvas(CWnd& wnd) : m_wnd(wnd) {}
    FireCanvas(const FireCanvas&) = delete;
    FireCanvas& operator=(const FireCanvas&) = delete;
    ~FireCanvas() override;

    MonitorLayout Monitors() override;
    void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) override;
    void FillBlack(FireSize size) override;
    void BlankWindow() override;
    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes, std::size_t count) override;
    void PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) override;
    bool UseColours(const ColourTable& colours) override;
    FireBuffers MakeSurfaces(const SurfacePlan& plan) override;

    // The engine's paint: what it presents meanwhile goes into dc, not the window DC.
    void Paint(CDCHandle& dc, FireEngine& engine);
    bool HasPalette() const { return m_palette.GetSafeHandle() != nullptr; }
    // The palette realized in a DC of the window, as the palette messages ask; the number of
    // entries that changed.
    UINT RealizePalette(CDCHandle& dc, BOOL bForceBackground);
    // Every surface and the window DC go (the engine has let go of the buffers first); the
    // palette stays for the next surfaces.
    void Release();

private:
    // Tests look at the GDI objects.
    friend struct FireWndTestAccess;

    // The fields of one DIB section in its memory DC.
    struct Section {
        std::unique_ptr<CDC>& dc;
        CBitmap& bitmap;
        HGDIOBJ& oldBitmap;
        uint8_t*& bits;
    };
    Section Back() { return Section{m_pBackDC, m_bmBack, m_hOldBackBmp, m_pBackBits}; }
    Section Heat() { return Section{m_pHeatDC, m_bmHeat, m_hOldHeatBmp, m_pHeatBits}; }
    Section Out() { return Section{m_pOutDC, m_bmOut, m_hOldOutBmp, m_pOutBits}; }
    Section Capture() { return Section{m_pCaptureDC, m_bmCapture, m_hOldCaptureBmp, m_pCaptureBits}; }
    Section Screen() { return Section{m_pScreenDC, m_bmScreen, m_hOldScreenBmp, m_pScreenBits}; }
    // False when any part could not be made; what was made stays for ReleaseSection.
    bool CreateSection(Section s, const BITMAPINFO& info);
    static void ReleaseSection(Section s);

    // The window DC with the palette, and the three 8-bit sections for the plan.
    bool BuildSurfaces(const SurfacePlan& plan);
    // On a screen without a palette: the two 32-bit sections at `scale` screen pixels a cell,
    // made again when the scale changes (the capture held goes then). False without them.
    bool FitTrueColour(int32_t scale);

    CWnd& m_wnd;
    // The design's objects: the palette selected into the window DC, and the three surfaces.
    CPalette m_palette;
    std::unique_ptr<CWindowDC> m_pWindowDC;
    HPALETTE m_hOldPalette = nullptr;
    std::unique_ptr<CDC> m_pBackDC, m_pHeatDC, m_pOutDC;
    CBitmap m_bmBack, m_bmHeat, m_bmOut;
    HGDIOBJ m_hOldBackBmp = nullptr, m_hOldHeatBmp = nullptr, m_hOldOutBmp = nullptr;
    uint8_t* m_pBackBits = nullptr;
    uint8_t* m_pHeatBits = nullptr;
    uint8_t* m_pOutBits = nullptr;

    // A screen without a palette shows untouched cells as they were captured, in 32 bits a
    // pixel (BGRX, the byte order of RgbQuad), top row first.
    bool m_bTrueColour = false;
    int32_t m_nTrueColourScale = 0;
    // The scale of the capture held; 0 for none (a black fill, or none yet).
    int32_t m_nCaptureScale = 0;
    std::unique_ptr<CDC> m_pCaptureDC, m_pScreenDC;
    CBitmap m_bmCapture, m_bmScreen;
    HGDIOBJ m_hOldCaptureBmp = nullptr, m_hOldScreenBmp = nullptr;
    uint8_t* m_pCaptureBits = nullptr;
    uint8_t* m_pScreenBits = nullptr;

    FireSize m_box{0, 0};
    int64_t m_stride = 0;
    // The DIB sections' colour table, and the same colours as the screen's pixels.
    ColourTable m_colours{};
    ScreenColours m_screenColours{};
    CDCHandle* m_pPaintDC = nullptr;
};
