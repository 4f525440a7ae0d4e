#include "Dc.h"

HGDIOBJ CDCHandle::SelectObject(HGDIOBJ hObject) {
    if (!m_hDC || !hObject) return nullptr;
    const HGDIOBJ old = ::SelectObject(m_hDC, hObject);
    return old == HGDI_ERROR ? nullptr : old;
}

HPALETTE CDCHandle::SelectPalette(HPALETTE hPalette, BOOL bForceBackground) {
    if (!m_hDC || !hPalette) return nullptr;
    return ::SelectPalette(m_hDC, hPalette, bForceBackground);
}

UINT CDCHandle::RealizePalette() {
    if (!m_hDC) return 0;
    const UINT changed = ::RealizePalette(m_hDC);
    return changed == GDI_ERROR ? 0 : changed;
}

BOOL CDCHandle::BitBlt(int x, int y, int nWidth, int nHeight, const CDCHandle* pSrcDC, int xSrc, int ySrc,
                       DWORD dwRop) {
    if (!m_hDC) return FALSE;
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->GetSafeHdc() : nullptr, xSrc, ySrc, dwRop);
}

int CDCHandle::FillRect(const RECT& rect, const CBrush& brush) {
    if (!m_hDC || !brush.GetSafeHandle()) return 0;
    return ::FillRect(m_hDC, &rect, brush);
}

BOOL CDCHandle::MoveTo(int x, int y) { return m_hDC ? ::MoveToEx(m_hDC, x, y, nullptr) : FALSE; }

BOOL CDCHandle::LineTo(int x, int y) { return m_hDC ? ::LineTo(m_hDC, x, y) : FALSE; }

BOOL CDC::CreateCompatibleDC(const CDCHandle* pDC) {
    const HDC hDC = ::CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : nullptr);
    DeleteDC();
    m_hDC = hDC;
    return hDC != nullptr;
}

BOOL CDC::DeleteDC() { return m_hDC ? ::DeleteDC(std::exchange(m_hDC, nullptr)) : FALSE; }
