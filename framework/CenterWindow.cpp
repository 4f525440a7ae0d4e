// CWnd::CenterWindow for the pop-ups of the program (dialogs and message boxes).
#include "Wnd.h"

namespace {
using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT, DWORD);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

template <class Fn>
Fn FindInUser32(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

// The primary monitor's work area, as the first systems knew only one.
RECT PrimaryWorkArea() {
    RECT area;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        ::SetRect(&area, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return area;
}

// The work area of the monitor that holds `owner`, or without one the cursor's, as Windows
// places message boxes. Looked up at run time: Windows 95 and NT 4 have one monitor.
RECT WorkAreaFor(HWND owner) {
    const auto fromWindow = FindInUser32<MonitorFromWindowFn>("MonitorFromWindow");
    const auto fromPoint = FindInUser32<MonitorFromPointFn>("MonitorFromPoint");
    const auto info = FindInUser32<GetMonitorInfoFn>("GetMonitorInfoA");
    if (!fromWindow || !fromPoint || !info) return PrimaryWorkArea();
    HMONITOR monitor = nullptr;
    POINT cursor;
    if (owner)
        monitor = fromWindow(owner, MONITOR_DEFAULTTONEAREST);
    else if (::GetCursorPos(&cursor))
        monitor = fromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!monitor || !info(monitor, &mi)) return PrimaryWorkArea();
    return mi.rcWork;
}

// The top-left corner of a window of `size` centred over `around` and kept inside `area`.
// Owners near an edge would push the window out of it; the top left stays visible.
POINT CenteredIn(SIZE size, const RECT& around, const RECT& area) {
    POINT at{(around.left + around.right) / 2 - size.cx / 2, (around.top + around.bottom) / 2 - size.cy / 2};
    if (at.x + size.cx > area.right) at.x = area.right - size.cx;
    if (at.y + size.cy > area.bottom) at.y = area.bottom - size.cy;
    if (at.x < area.left) at.x = area.left;
    if (at.y < area.top) at.y = area.top;
    return at;
}
}  // namespace

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    if (!m_hWnd) return;
    HWND owner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    // A hidden or minimised owner gives nothing to centre over.
    if (owner && (!::IsWindowVisible(owner) || ::IsIconic(owner))) owner = nullptr;
    const RECT area = WorkAreaFor(owner);
    RECT around = area;
    if (owner) ::GetWindowRect(owner, &around);

    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    const POINT at = CenteredIn(SIZE{self.right - self.left, self.bottom - self.top}, around, area);
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
