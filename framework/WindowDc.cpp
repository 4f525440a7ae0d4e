#include "WindowDc.h"

#include <utility>

#include "Wnd.h"

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
    // A dead window must not turn into the whole screen.
    if (pWnd && !m_hWnd) return;
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() {
    if (GetSafeHdc()) ::ReleaseDC(m_hWnd, Detach());
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
    if (pWnd && !m_hWnd) return;
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    if (GetSafeHdc()) ::ReleaseDC(m_hWnd, Detach());
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
    if (m_hWnd) Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    if (GetSafeHdc()) {
        Detach();
        ::EndPaint(m_hWnd, &m_ps);
    }
}
