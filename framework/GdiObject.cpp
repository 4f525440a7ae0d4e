#include "GdiObject.h"

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) {
    return Attach(::CreatePalette(lpLogPalette));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
