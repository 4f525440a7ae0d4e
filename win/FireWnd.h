#pragma once
// The window that owns one fire. The fire itself (its state and every rule that moves it) is
// the engine this window has; the window owns the GDI objects behind the engine's byte
// buffers, lends them to the engine through a FirePlatform, and maps messages onto it.
#include <memory>

#include "Dc.h"
#include "DisplayPowerNotification.h"
#include "FireEngine.h"
#include "FirePlatform.h"
#include "GdiObject.h"
#include "WindowDc.h"
#include "Wnd.h"

class FireWnd : public CWnd {
public:
    // Reads the six settings through the application object; no window or GDI object yet.
    explicit FireWnd(BOOL bAutoDelete);
    ~FireWnd() override;

    // Creates the window (child id 0 whatever nID says) and runs the restart sequence.
    // On failure nothing is started, and a self-deleting object has already been deleted.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd, UINT nID,
                        void* pContext);

    // Palette and surfaces for a fire type, a new fire, and the frame timer.
    void Restart(int nFireType);
    void BuildPalette(int nFireType);
    void CreateSurfaces();
    void ReleaseSurfaces();
    // Copies the output surface into pDC, or into the window DC when null.
    void Present(CDC* pDC);

    FireEngine& Engine() { return m_engine; }
    const FireState& State() const { return m_engine.State(); }
    SettingValues Settings() const { return m_engine.Settings(); }
    void ApplySettings(const SettingValues& settings) { m_engine.ApplySettings(settings); }

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
    // Off after the system said the display went off, until it says it is back.
    bool DisplayOff() const { return m_bDisplayOff; }
    const DisplayPowerNotification& PowerNotification() const { return m_power; }

protected:
    void OnTimer(UINT nIDEvent);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnDestroy();
    void OnPaletteChanged(HWND hFocusWnd);
    BOOL OnQueryNewPalette();
    BOOL OnPowerBroadcast(UINT nPowerEvent, LPARAM nEventData);
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    // What the engine asks of the platform, done with GDI on this window's surfaces.
    class Gdi final : public FirePlatform, public FireRestartHost {
    public:
        explicit Gdi(FireWnd& wnd) : m_wnd(wnd) {}
        MonitorLayout Monitors() override;
        void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) override;
        void FillBlack(FireSize size) override;
        void BlankWindow() override;
        void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                     std::size_t count) override;
        void PresentOutput(FirePoint at, FireSize size, int32_t scale) override;
        bool HasPalette() const override { return m_wnd.m_palette.GetSafeHandle() != nullptr; }
        void BuildPalette(int32_t nFireType) override { m_wnd.BuildPalette(nFireType); }
        void CreateSurfaces() override { m_wnd.CreateSurfaces(); }

    private:
        FireWnd& m_wnd;
    };

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
    DisplayPowerNotification m_power;
    bool m_bDisplayOff = false;
    // Declared last: the engine is bound to the platform and goes before the surfaces do.
    Gdi m_gdi{*this};
    FireEngine m_engine;
};
