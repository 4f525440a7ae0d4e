#pragma once
// The window that owns one fire. The fire itself (its state and every rule that moves it) is
// the engine this window has; the window owns the GDI objects behind the engine's byte
// buffers, lends them to the engine through a FirePlatform, and maps messages onto it.
#include <array>
#include <cstdint>
#include <memory>

#include "Dc.h"
#include "DisplayPowerWindow.h"
#include "FireEngine.h"
#include "FirePlatform.h"
#include "FireSurface.h"
#include "GdiObject.h"
#include "WindowDc.h"
#include "Wnd.h"

// The timer that drives the engine's frames.
constexpr UINT kFrameTimerId = 1;

class FireWnd : public CWnd {
public:
    // The six settings as the mode has read them; no window or GDI object yet.
    explicit FireWnd(const SettingValues& settings);
    ~FireWnd() override;

    // Creates the window and runs the restart sequence. On failure nothing is started, and a
    // self-deleting object has already been deleted.
    BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd);

    // Colours and surfaces for a fire type and the client area, a new fire, and the frame timer.
    void Restart(int nFireType);

    FireEngine& Engine() { return m_engine; }
    const FireState& State() const { return m_engine.State(); }
    SettingValues Settings() const { return m_engine.Settings(); }

protected:
    void OnTimer(UINT nIDEvent);
    void OnPaint();
    void OnDestroy();
    void OnPaletteChanged(HWND hFocusWnd);
    BOOL OnQueryNewPalette();
    // No frames while nobody can see them; they go on from the same fire when the display is back.
    void FollowDisplay(DisplayState state);

    DECLARE_MESSAGE_MAP()

private:
    // Tests look at the GDI objects behind the engine.
    friend struct FireWndTestAccess;

    // What the engine asks of the platform, done with GDI on this window's surfaces.
    class Gdi final : public FirePlatform {
    public:
        explicit Gdi(FireWnd& wnd) : m_wnd(wnd) {}
        MonitorLayout Monitors() override;
        void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) override;
        void FillBlack(FireSize size) override;
        void BlankWindow() override;
        void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                     std::size_t count) override;
        void PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) override;
        bool UseColours(const ColourTable& colours) override;
        FireBuffers MakeSurfaces(const SurfacePlan& plan) override;

        // The engine's paint; what it presents meanwhile goes into dc, not the window DC.
        void Paint(CDC& dc, FireEngine& engine);

    private:
        // The surface that holds the band as the window DC takes it, converted if need be.
        CDC* SourceFor(FireSize size, const FireBand& band);

        FireWnd& m_wnd;
        CDC* m_pPaintDC = nullptr;
        // The DIB sections' colour table: the one the palette was made from.
        ColourTable m_colours{};
    };

    // What a paint or a palette change draws: the fire, or one more firefly step.
    void Repaint(CDC& dc);
    FireSize ClientSize() const;
    // The window DC with the palette, and the three surfaces for the plan, and on a screen
    // without a palette the 32-bit one; false leaves them half made.
    bool BuildSurfaces(const SurfacePlan& plan, const ColourTable& colours);
    // The engine lets go of the pixels first, then every GDI object goes.
    void ReleaseSurfaces();
    void FreeSurfaces();

    FireSurface m_back;
    FireSurface m_heat;
    FireSurface m_out;
    // On a true-colour screen: the output as the screen's own 32-bit pixels, converted here
    // through one lookup so that GDI copies it without converting. Empty on palette screens,
    // where the output is copied as it is and the palette messages decide the colours.
    FireSurface m_screen;
    std::array<uint32_t, 256> m_screenPixels{};
    std::unique_ptr<CWindowDC> m_pWindowDC;
    CPalette m_palette;
    HPALETTE m_hOldPalette = nullptr;
    UINT m_nTimer = 0;
    // Every fire window hears when the display goes off, the dialog's taken-over control too.
    DisplayPowerListener m_power{[this](DisplayState state) { FollowDisplay(state); }};
    bool m_bDisplayOff = false;
    // Declared last: the engine is bound to the platform and goes before the surfaces do.
    Gdi m_gdi{*this};
    FireEngine m_engine;
};
