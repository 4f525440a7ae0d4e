#include "FireSurface.h"

bool FireSurface::Create(CDC& window, const BITMAPINFO& info) {
    Release();
    m_pDC = std::make_unique<CDC>();
    if (!m_pDC->CreateCompatibleDC(&window)) return false;
    void* bits = nullptr;
    m_bm.Attach(::CreateDIBSection(m_pDC->GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bm.GetSafeHandle() || !bits) return false;
    m_hOldBmp = m_pDC->SelectObject(m_bm);
    if (!m_hOldBmp) return false;
    m_pBits = static_cast<uint8_t*>(bits);
    return true;
}

void FireSurface::Release() {
    if (m_pDC && m_hOldBmp) m_pDC->SelectObject(m_hOldBmp);
    m_hOldBmp = nullptr;
    m_pDC.reset();
    m_bm.DeleteObject();
    m_pBits = nullptr;
}
