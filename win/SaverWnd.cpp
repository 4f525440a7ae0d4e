#include "SaverWnd.h"

#include "Monitors.h"
#include "WindowDc.h"

bool ScreenSnapshot::Take(const MonitorRect& area) {
    Release();
    const int cx = area.cx;
    const int cy = area.cy;
    if (cx <= 0 || cy <= 0) return false;
    CWindowDC screen(nullptr);
    if (!screen.GetSafeHdc() || !m_dc.CreateCompatibleDC(&screen)) return false;
    m_bitmap.Attach(::CreateCompatibleBitmap(screen.GetSafeHdc(), cx, cy));
    m_hOldBitmap = m_dc.SelectObject(m_bitmap);
    if (!m_hOldBitmap || !m_dc.BitBlt(0, 0, cx, cy, &screen, area.x, area.y, SRCCOPY)) {
        Release();
        return false;
    }
    m_cx = cx;
    m_cy = cy;
    return true;
}

void ScreenSnapshot::BlackenOutside(const RECT& keep) {
    if (!Taken()) return;
    const CBrush black(RGB(0, 0, 0));
    // The four bands around `keep`, each clipped to the snapshot.
    const RECT bands[] = {{0, 0, m_cx, keep.top},
                          {0, keep.bottom, m_cx, m_cy},
                          {0, keep.top, keep.left, keep.bottom},
                          {keep.right, keep.top, m_cx, keep.bottom}};
    for (RECT band : bands) {
        RECT clipped;
        const RECT all{0, 0, m_cx, m_cy};
        if (::IntersectRect(&clipped, &band, &all)) m_dc.FillRect(clipped, black);
    }
}

void ScreenSnapshot::Release() {
    if (m_hOldBitmap) m_dc.SelectObject(m_hOldBitmap);
    m_hOldBitmap = nullptr;
    m_dc.DeleteDC();
    m_bitmap.DeleteObject();
    m_cx = m_cy = 0;
}

void ScreenSnapshot::Draw(HDC dc, const RECT& rect) {
    if (!Taken()) return;
    const int left = rect.left < 0 ? 0 : rect.left;
    const int top = rect.top < 0 ? 0 : rect.top;
    const int right = rect.right > m_cx ? m_cx : rect.right;
    const int bottom = rect.bottom > m_cy ? m_cy : rect.bottom;
    if (left >= right || top >= bottom) return;
    ::BitBlt(dc, left, top, right - left, bottom - top, m_dc.GetSafeHdc(), left, top, SRCCOPY);
}

BEGIN_MESSAGE_MAP(SaverWnd, FireWnd)
    ON_WM_SYSCOMMAND()
    ON_WM_SETCURSOR()
    ON_WM_NCACTIVATE()
    ON_WM_ACTIVATE()
    ON_WM_ACTIVATEAPP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_DISPLAYCHANGE()
END_MESSAGE_MAP()

SaverWnd::SaverWnd(const SettingValues& settings) : FireWnd(settings), m_ptMouse(kNoMousePosition) {}

SaverWnd::~SaverWnd() = default;

BOOL SaverWnd::CreateFullScreen() {
    // Every monitor: the bounding rectangle of them all, whose origin may be negative.
    m_monitors = DesktopMonitors();
    const MonitorRect all = m_monitors.Bounds();
    // Taken while nothing of ours covers the screen.
    m_snapshot.Take(all);
    const RECT screen{all.x, all.y, all.x + all.cx, all.y + all.cy};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
}

LRESULT SaverWnd::Respond(SaverMessage message, uint32_t value, FirePoint position) {
    const SaverResponse response = RespondToInput(m_ptMouse, SaverInput{message, value, position});
    // Inputs that come before the posted WM_CLOSE is handled post more; once the window is
    // gone they go nowhere.
    if (response.close) ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    return response.passOn ? Default() : response.result;
}

void SaverWnd::OnSysCommand(UINT nID, LPARAM) { Respond(SaverMessage::SysCommand, nID); }

BOOL SaverWnd::OnSetCursor(HWND, UINT, UINT) {
    ::SetCursor(nullptr);
    return TRUE;
}

BOOL SaverWnd::OnNcActivate(BOOL bActive) {
    return static_cast<BOOL>(Respond(SaverMessage::NcActivate, bActive ? 1u : 0u));
}

void SaverWnd::OnActivate(UINT nState, HWND, BOOL) { Respond(SaverMessage::Activate, nState); }

void SaverWnd::OnActivateApp(BOOL bActive, DWORD) { Respond(SaverMessage::ActivateApp, bActive ? 1u : 0u); }

void SaverWnd::OnMouseMove(UINT, POINT point) {
    const bool moved = (m_ptMouse.x != kNoMousePosition.x || m_ptMouse.y != kNoMousePosition.y) &&
                       (point.x != m_ptMouse.x || point.y != m_ptMouse.y);
    // A pointer that the system moved because the monitors changed is not the user: the
    // window follows the new monitors instead of closing.
    if (moved && FollowMonitors()) {
        Default();
        return;
    }
    Respond(SaverMessage::MouseMove, 0, FirePoint{point.x, point.y});
}

void SaverWnd::OnLButtonDown(UINT, POINT) { Respond(SaverMessage::ButtonDown, 0); }

void SaverWnd::OnMButtonDown(UINT, POINT) { Respond(SaverMessage::ButtonDown, 0); }

void SaverWnd::OnRButtonDown(UINT, POINT) { Respond(SaverMessage::ButtonDown, 0); }

void SaverWnd::OnKeyDown(UINT nChar, UINT, UINT) { Respond(SaverMessage::KeyDown, nChar); }

void SaverWnd::OnSysKeyDown(UINT nChar, UINT, UINT) { Respond(SaverMessage::KeyDown, nChar); }

void SaverWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
    Default();
    // The first fire is lit right after the window appears and captures what the screen
    // shows there: the desktop has to be on the window by then.
    if ((lpwndpos->flags & SWP_SHOWWINDOW) && m_snapshot.Taken()) {
        CWindowDC dc(this);
        RECT client;
        GetClientRect(&client);
        m_snapshot.Draw(dc.GetSafeHdc(), client);
        ::GdiFlush();
    }
    // The system moves a window itself when the monitors under it change (Wine puts it far
    // off the screen when the last one comes back): it goes back over the monitors.
    const UINT unmoved = SWP_NOMOVE | SWP_NOSIZE;
    if (!m_bCovering && (lpwndpos->flags & unmoved) != unmoved) FollowMonitors();
}

BOOL SaverWnd::OnEraseBkgnd(HDC hDC) {
    // Whatever the system lost under the window was desktop, or black once the window has
    // been blanked; other erasing would wipe the remains of earlier fires.
    if (!m_snapshot.Taken() || State().m_bBlanked) return static_cast<BOOL>(Default());
    RECT box;
    if (::GetClipBox(hDC, &box) == ERROR) return static_cast<BOOL>(Default());
    m_snapshot.Draw(hDC, box);
    return TRUE;
}

void SaverWnd::OnTimer(UINT nIDEvent) {
    if (nIDEvent == kMonitorTimerId) {
        // Without a monitor the system may send no mouse messages at all (Wine has nowhere to
        // put the pointer): a pointer that moves meanwhile is the user's.
        POINT at;
        if (!FollowMonitors() && m_bNoMonitors && ::GetCursorPos(&at))
            Respond(SaverMessage::MouseMove, 0, FirePoint{at.x, at.y});
        return;
    }
    FireWnd::OnTimer(nIDEvent);
}

void SaverWnd::OnDisplayChange(UINT, int, int) {
    Default();
    FollowMonitors();
}

bool SaverWnd::FollowMonitors() {
    const MonitorLayout now = DesktopMonitors();
    const MonitorRect area = now.Bounds();
    // Nothing to cover and nobody to see it: shrinking to nothing, or following the system's
    // idea of where a window goes then, would strand the window when the monitors come back.
    if (area.cx <= 0 || area.cy <= 0) {
        if (m_bNoMonitors) return false;
        m_bNoMonitors = true;
        // The system may move the pointer with the monitors: the next position counts as the first.
        m_ptMouse = kNoMousePosition;
        SetTimer(kMonitorTimerId, kMonitorPollMs);
        return true;
    }
    const bool changed = m_bNoMonitors || now != m_monitors;
    if (m_bNoMonitors) KillTimer(kMonitorTimerId);
    m_bNoMonitors = false;
    RECT was;
    ::GetWindowRect(m_hWnd, &was);
    const bool covers = was.left == area.x && was.top == area.y && was.right - was.left == area.cx &&
                        was.bottom - was.top == area.cy;
    if (changed || !covers) Cover(now, was);
    return changed;
}

void SaverWnd::Cover(const MonitorLayout& now, const RECT& was) {
    const MonitorLayout before = m_monitors;
    m_monitors = now;
    const MonitorRect area = now.Bounds();
    // Taken before the window moves: where it stays the screen shows the saver as it was,
    // the newly covered parts show the desktop, or black once the window has been blanked.
    const bool taken = m_snapshot.Take(area);
    if (taken && State().m_bBlanked)
        m_snapshot.BlackenOutside(RECT{was.left - area.x, was.top - area.y, was.right - area.x, was.bottom - area.y});
    // The system may move the pointer with the monitors and report it in either frame: the
    // next position it reports counts as the first.
    m_ptMouse = kNoMousePosition;
    // No bits copied: the client area's content belongs to screen places, not window ones.
    m_bCovering = true;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, area.x, area.y, area.cx, area.cy, SWP_NOACTIVATE | SWP_NOCOPYBITS);
    m_bCovering = false;
    if (taken) {
        CWindowDC dc(this);
        RECT client;
        GetClientRect(&client);
        m_snapshot.Draw(dc.GetSafeHdc(), client);
        ::GdiFlush();
    }
    Engine().Relocate(before, m_monitors);
}
