#include "Dc.h"

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : nullptr));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    if (!Get() || !hObject) return nullptr;
    const HGDIOBJ old = ::SelectObject(Get(), hObject);
    return old == HGDI_ERROR ? nullptr : old;
}

HPALETTE CDC::SelectPalette(HPALETTE hPalette, BOOL bForceBackground) {
    if (!Get() || !hPalette) return nullptr;
    return ::SelectPalette(Get(), hPalette, bForceBackground);
}

UINT CDC::RealizePalette() {
    if (!Get()) return 0;
    const UINT changed = ::RealizePalette(Get());
    return changed == GDI_ERROR ? 0 : changed;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    if (!Get()) return FALSE;
    return ::BitBlt(Get(), x, y, nWidth, nHeight, pSrcDC ? pSrcDC->GetSafeHdc() : nullptr, xSrc, ySrc, dwRop);
}

int CDC::FillRect(const RECT& rect, const CBrush& brush) {
    if (!Get() || !brush.GetSafeHandle()) return 0;
    return ::FillRect(Get(), &rect, brush);
}

BOOL CDC::MoveTo(int x, int y) { return Get() ? ::MoveToEx(Get(), x, y, nullptr) : FALSE; }

BOOL CDC::LineTo(int x, int y) { return Get() ? ::LineTo(Get(), x, y) : FALSE; }
