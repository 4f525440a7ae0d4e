#pragma once
// A device context this object owns: a memory DC here, one borrowed from a window in the
// derived classes. Selections hand back the previous object's handle, never a wrapper.
#include "Afx.h"
#include "GdiObject.h"

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    CDC(CDC&& other) noexcept : m_hDC(other.Detach()) {}
    CDC& operator=(CDC&& other) noexcept;
    ~CDC() { DeleteDC(); }

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    // Takes ownership of a DC to be deleted with DeleteDC; one held before is deleted.
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectObject(const CGdiObject& object) { return SelectObject(object.GetSafeHandle()); }
    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground);
    UINT RealizePalette();

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    int FillRect(const RECT& rect, const CBrush& brush);
    BOOL MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
};
