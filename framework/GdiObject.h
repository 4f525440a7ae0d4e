#pragma once
// Owning wrappers of GDI objects: exactly one owner per handle, moved but never copied,
// deleted by the destructor.
#include "Afx.h"
#include "Handle.h"

class CGdiObject : public CHandle<HGDIOBJ, ::DeleteObject> {
public:
    HGDIOBJ GetSafeHandle() const { return Get(); }
    BOOL DeleteObject() { return Release(); }
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(Get()); }
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
    operator HPALETTE() const { return static_cast<HPALETTE>(Get()); }
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    // Holds no pen when the system refuses the style or width.
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    operator HPEN() const { return static_cast<HPEN>(Get()); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    BOOL CreateSolidBrush(COLORREF crColor);
    operator HBRUSH() const { return static_cast<HBRUSH>(Get()); }
};
