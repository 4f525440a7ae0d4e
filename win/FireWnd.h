#pragma once
// The window that owns one fire. The fire itself (its fields under their usual names and
// every rule that moves them) is the FireEngine base; this class owns the window, the GDI
// objects behind the engine's byte buffers, and maps window messages onto the engine.
#include <memory>

#include "FireEngine.h"
#include "FirePlatform.h"
#include "Dc.h"
#include "GdiObject.h"
#include "WindowDc.h"
#include "Wnd.h"

// FirePlatform comes before FireEngine so that the interface the engine is bound to is
// constructed first; the engine's constructor does not call it.
class FireWnd : public CWnd, private FirePlatform, public FireEngine {
public:
    // Reads the six settings through the application object; no window or GDI object yet.
    explicit FireWnd(BOOL bAutoDelete);
    ~FireWnd() override;

    // Creates the window (child id 0 whatever nID says) and runs the restart sequence.
    // On failure nothing is started, and a self-deleting object has already been deleted.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        void* pContext);

    // Palette and surfaces for a fire type, a new fire, and the frame timer.
    void Restart(int nFireType);
    void BuildPalette(int nFireType);
    void CreateSurfaces();
    void ReleaseSurfaces();
    // Copies the output surface into pDC, or into the window DC when null.
    void Present(CDC* pDC);

    // Read-only views for the code that hosts or checks the window.
    const CPalette& Palette() const { return m_palette; }
    const CBitmap& BackBitmap() const { return m_bmBack; }
    const CBitmap& HeatBitmap() const { return m_bmHeat; }
    const CBitmap& OutBitmap() const { return m_bmOut; }
    CDC* BackDC() const { return m_pBackDC.get(); }
    CDC* HeatDC() const { return m_pHeatDC.get(); }
    CDC* OutDC() const { return m_pOutDC.get(); }
    CWindowDC* WindowDC() const { return m_pWindowDC.get(); }
    BOOL AutoDelete() const { return m_bAutoDelete; }
    UINT Timer() const { return m_nTimer; }

protected:
    void OnTimer(UINT nIDEvent);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnDestroy();
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    // FirePlatform, with GDI.
    FireSize ScreenSize() override;
    void CaptureScreen(FirePoint topLeft, FireSize size) override;
    void FillBlack(FireSize size) override;
    void BlankWindow() override;
    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                 std::size_t count) override;
    void PresentOutput(FirePoint at, FireSize size) override;
    bool HasPalette() const override { return m_palette.GetSafeHandle() != nullptr; }

    // What a paint or a palette change draws: the fire, or one more firefly step.
    void Repaint(CDC& dc);
    // Builds the DCs and DIB sections for the planned size; false leaves them half made.
    bool BuildSurfaces();

    std::unique_ptr<CDC> m_pBackDC;
    std::unique_ptr<CDC> m_pHeatDC;
    std::unique_ptr<CDC> m_pOutDC;
    std::unique_ptr<CWindowDC> m_pWindowDC;
    HGDIOBJ m_hOldBackBmp = nullptr;
    HGDIOBJ m_hOldHeatBmp = nullptr;
    HGDIOBJ m_hOldOutBmp = nullptr;
    CBitmap m_bmBack;
    CBitmap m_bmHeat;
    CBitmap m_bmOut;
    CPalette m_palette;
    HPALETTE m_hOldPalette = nullptr;
    BOOL m_bAutoDelete;
    UINT m_nTimer = 0;
};
