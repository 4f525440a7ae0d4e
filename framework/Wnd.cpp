#include "Wnd.h"

#include "WinApp.h"
#include "WndMap.h"

CWnd::~CWnd() {
    // The application's main-window reference never leads to an object that is gone.
    if (CWinApp* const app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    if (!m_hWnd) return;
    if (m_pfnSuper)
        UnsubclassWindow();
    else
        ::DestroyWindow(m_hWnd);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, UINT nID) {
    m_bCreating = true;
    // The object rides in the creation parameter; AfxWndProc links it on WM_NCCREATE.
    const HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                        nHeight, hWndParent,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                        AfxGetInstanceHandle(), this);
    m_bCreating = false;
    if (!hWnd) {
        // Whether the window never got a message or was destroyed while being created,
        // the object hears of its end exactly once.
        PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !::IsWindow(hWnd) || afxmap::Lookup(hWnd)) return FALSE;
    if (::GetWindowThreadProcessId(hWnd, nullptr) != ::GetCurrentThreadId()) return FALSE;
    // Linked before the procedure changes, so the first message already finds the object.
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!m_pfnSuper) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd || !m_pfnSuper) return nullptr;
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    afxmap::Link(hWnd, this);
}

HWND CWnd::Detach() {
    const HWND hWnd = m_hWnd;
    if (hWnd) afxmap::Unlink(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::OnFinalMessage() {
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    Detach();
    // A window that dies inside CreateEx is reported by CreateEx itself.
    if (!m_bCreating) PostNcDestroy();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    // The link is a pointer: it means something only inside the process that stored it.
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    if (process != ::GetCurrentProcessId()) return nullptr;
    return afxmap::Lookup(hWnd);
}

const MSG* CWnd::GetCurrentMessage() { return &afxmap::CurrentMessage(); }

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!m_hWnd || !::GetClientRect(m_hWnd, lpRect)) ::SetRectEmpty(lpRect);
}

void CWnd::InvalidateRect(const RECT* lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    // Without a window SetTimer would make a thread timer with an id of its own choosing.
    return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE; }

LRESULT CWnd::Default() {
    const MSG& msg = afxmap::CurrentMessage();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != message) continue;
            if (message == WM_COMMAND && (entry->nCode != HIWORD(wParam) || entry->nID != LOWORD(wParam)))
                continue;
            return entry->pfn(*this, wParam, lParam);
        }
    }
    return DefWindowProc(message, wParam, lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }
