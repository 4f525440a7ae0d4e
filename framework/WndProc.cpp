// The window procedure of the framework's windows and the handle bookkeeping behind it.
#include "Wnd.h"
#include "WndMap.h"

namespace {
// The object pointer lives in a window property, so a subclassed control keeps its own
// GWLP_USERDATA.
constexpr const char* kObjectProp = "Afx.CWnd";
}  // namespace

CWnd* afxmap::Lookup(HWND hWnd) { return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProp)); }

void afxmap::Link(HWND hWnd, CWnd* pWnd) { ::SetPropA(hWnd, kObjectProp, pWnd); }

void afxmap::Unlink(HWND hWnd) { ::RemovePropA(hWnd, kObjectProp); }

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
        // CreateEx passes its object as the creation parameter. What comes before WM_NCCREATE
        // (WM_GETMINMAXINFO for pop-ups) has no object yet and gets the default processing.
        if (nMsg == WM_NCCREATE) pWnd = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (!pWnd) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
        pWnd->Attach(hWnd);
    }
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}
