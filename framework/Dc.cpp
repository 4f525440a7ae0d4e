#include "Dc.h"

CDC& CDC::operator=(CDC&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == m_hDC) return hDC != nullptr;
    DeleteDC();
    m_hDC = hDC;
    return hDC != nullptr;
}

HDC CDC::Detach() {
    const HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    if (!m_hDC || !hObject) return nullptr;
    const HGDIOBJ old = ::SelectObject(m_hDC, hObject);
    return old == HGDI_ERROR ? nullptr : old;
}

HPALETTE CDC::SelectPalette(HPALETTE hPalette, BOOL bForceBackground) {
    if (!m_hDC || !hPalette) return nullptr;
    return ::SelectPalette(m_hDC, hPalette, bForceBackground);
}

UINT CDC::RealizePalette() {
    if (!m_hDC) return 0;
    const UINT changed = ::RealizePalette(m_hDC);
    return changed == GDI_ERROR ? 0 : changed;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    if (!m_hDC) return FALSE;
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->GetSafeHdc() : nullptr, xSrc, ySrc, dwRop);
}

int CDC::FillRect(const RECT& rect, const CBrush& brush) {
    if (!m_hDC || !brush.GetSafeHandle()) return 0;
    return ::FillRect(m_hDC, &rect, brush);
}

BOOL CDC::MoveTo(int x, int y) { return m_hDC ? ::MoveToEx(m_hDC, x, y, nullptr) : FALSE; }

BOOL CDC::LineTo(int x, int y) { return m_hDC ? ::LineTo(m_hDC, x, y) : FALSE; }
