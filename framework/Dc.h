#pragma once
// A device context this object owns: a memory DC here, one borrowed from a window in the
// derived classes. Selections hand back the previous object's handle, never a wrapper.
#include "Afx.h"
#include "GdiObject.h"
#include "Handle.h"

class CDC : public CHandle<HDC, ::DeleteDC> {
public:
    HDC GetSafeHdc() const { return Get(); }
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC() { return Release(); }

    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectObject(const CGdiObject& object) { return SelectObject(object.GetSafeHandle()); }
    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground);
    UINT RealizePalette();

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    int FillRect(const RECT& rect, const CBrush& brush);
    BOOL MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
};
