#pragma once
// The window that owns one fire. The fire itself (its state and every rule that moves it) is
// the engine this window has; what it draws with is its canvas, through which the engine
// draws; the window maps messages onto the engine and keeps its frame timer.
#include <cstdint>

#include "DisplayPowerWindow.h"
#include "FireCanvas.h"
#include "FireEngine.h"
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

    // What a paint or a palette change draws: the fire, or one more firefly step.
    void Repaint(CDCHandle& dc);
    FireSize ClientSize() const;
    // The engine lets go of the pixels first, then every GDI object but the palette goes.
    void ReleaseSurfaces();

    FireCanvas m_canvas{*this};
    // Declared after the canvas: bound to it, it goes first.
    FireEngine m_engine;
    UINT m_nTimer = 0;
    // Every fire window hears when the display goes off, the dialog's taken-over control too.
    DisplayPowerListener m_power{[this](DisplayState state) { FollowDisplay(state); }};
    bool m_bDisplayOff = false;
};
