#pragma once
// What the tests look at behind a fire window: its GDI objects and its timer.
#include "FireWnd.h"

struct FireWndTestAccess {
    // One 8-bit surface: its DIB section and the memory DC it is selected into.
    struct Surface {
        const CBitmap& bitmap;
        CDC* dc;
        const CBitmap& Bitmap() const { return bitmap; }
        CDC* DC() const { return dc; }
    };

    static const CPalette& Palette(const FireWnd& w) { return w.m_canvas.m_palette; }
    static Surface Back(const FireWnd& w) { return Surface{w.m_canvas.m_bmBack, w.m_canvas.m_pBackDC.get()}; }
    static Surface Heat(const FireWnd& w) { return Surface{w.m_canvas.m_bmHeat, w.m_canvas.m_pHeatDC.get()}; }
    static Surface Out(const FireWnd& w) { return Surface{w.m_canvas.m_bmOut, w.m_canvas.m_pOutDC.get()}; }
    static CWindowDC* WindowDC(const FireWnd& w) { return w.m_canvas.m_pWindowDC.get(); }
    // The platform the engine draws through, for calls the engine makes only at random moments.
    static FireCanvas& Canvas(FireWnd& w) { return w.m_canvas; }
    static UINT Timer(const FireWnd& w) { return w.m_nTimer; }
    // Off after the system said the display went off, until it says it is back.
    static bool DisplayOff(const FireWnd& w) { return w.m_bDisplayOff; }
    static const DisplayPowerListener& Power(const FireWnd& w) { return w.m_power; }
    // The colours and surfaces of a restart for the window's client area, with no new fire.
    static void Rebuild(FireWnd& w, int nFireType) { w.m_engine.Rebuild(nFireType, w.ClientSize()); }
    static void ReleaseSurfaces(FireWnd& w) { w.ReleaseSurfaces(); }
};

inline const CPalette& PaletteOf(const FireWnd& w) { return FireWndTestAccess::Palette(w); }
inline CWindowDC* WindowDCOf(const FireWnd& w) { return FireWndTestAccess::WindowDC(w); }
inline UINT TimerOf(const FireWnd& w) { return FireWndTestAccess::Timer(w); }
