#pragma once
// What the tests look at behind a fire window: its GDI objects and its timer.
#include "FireWnd.h"

struct FireWndTestAccess {
    static const CPalette& Palette(const FireWnd& w) { return w.m_palette; }
    static const FireSurface& Back(const FireWnd& w) { return w.m_back; }
    static const FireSurface& Heat(const FireWnd& w) { return w.m_heat; }
    static const FireSurface& Out(const FireWnd& w) { return w.m_out; }
    static CWindowDC* WindowDC(const FireWnd& w) { return w.m_pWindowDC.get(); }
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
