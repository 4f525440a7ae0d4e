// The window procedure of the framework's windows and the handle bookkeeping behind it.
#include <map>
#include <memory>

#include "Wnd.h"
#include "WndMap.h"

namespace {
// The object pointer lives in a window property, so a subclassed control keeps its own
// GWLP_USERDATA.
constexpr const char* kObjectProp = "Kindlewick.CWnd";

std::map<HWND, std::unique_ptr<CWnd>>& Temporaries() {
    static std::map<HWND, std::unique_ptr<CWnd>> temporaries;
    return temporaries;
}
}  // namespace

CWnd* afxmap::Lookup(HWND hWnd) { return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProp)); }

void afxmap::Link(HWND hWnd, CWnd* pWnd) { ::SetPropA(hWnd, kObjectProp, pWnd); }

void afxmap::Unlink(HWND hWnd) { ::RemovePropA(hWnd, kObjectProp); }

CWnd* afxmap::Temporary(HWND hWnd) {
    std::unique_ptr<CWnd>& wnd = Temporaries()[hWnd];
    if (!wnd) {
        wnd = std::make_unique<CWnd>();
        wnd->m_hWnd = hWnd;
    }
    return wnd.get();
}

void afxmap::DeleteTemporaries() {
    // A wrapper never owned its window: forget the handle before the wrapper goes.
    for (auto& entry : Temporaries()) entry.second->m_hWnd = nullptr;
    Temporaries().clear();
}

CWnd*& afxmap::PendingWnd() {
    static CWnd* pending = nullptr;
    return pending;
}

MSG& afxmap::CurrentMessage() {
    static MSG current{};
    return current;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    MSG& current = afxmap::CurrentMessage();
    const MSG outer = current;
    current.hwnd = hWnd;
    current.message = nMsg;
    current.wParam = wParam;
    current.lParam = lParam;
    const LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
    // The object may delete itself here; it is not touched afterwards.
    if (nMsg == WM_NCDESTROY) pWnd->OnFinalMessage();
    current = outer;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = afxmap::Lookup(hWnd);
    if (!pWnd) {
        // The first message of a window that CreateEx is making (WM_GETMINMAXINFO comes
        // before WM_NCCREATE for pop-ups): link the object before any handler runs.
        pWnd = afxmap::PendingWnd();
        if (!pWnd) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
        afxmap::PendingWnd() = nullptr;
        pWnd->Attach(hWnd);
    }
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}
