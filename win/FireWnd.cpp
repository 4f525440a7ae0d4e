#include "FireWnd.h"

#include "Monitors.h"
#include "RegisterClass.h"
#include "res/resource.h"
#include "WinApp.h"
#include "WindowDc.h"

namespace {
LPCSTR FireWndClass() {
    // Never erased by the system: the fire draws over whatever the window shows.
    static const LPCSTR name = AfxRegisterWndClass(
        CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_FIRE)), nullptr,
        nullptr);
    return name;
}
}  // namespace

BEGIN_MESSAGE_MAP(FireWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
END_MESSAGE_MAP()

FireWnd::FireWnd(const SettingValues& settings) : m_engine(m_canvas, CrtRandom(), settings, DesktopMonitors()) {}

FireWnd::~FireWnd() {
    // A window that outlives its object (a control taken over by a dialog) stops ticking.
    if (m_hWnd && m_nTimer) KillTimer(m_nTimer);
    ReleaseSurfaces();
}

void FireWnd::ReleaseSurfaces() {
    m_engine.ReleaseBuffers();
    m_canvas.Release();
}

BOOL FireWnd::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd) {
    const LPCSTR className = FireWndClass();
    if (!className) {
        PostNcDestroy();
        return FALSE;
    }
    if (!CreateEx(dwExStyle, className, "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, hParentWnd, 0))
        return FALSE;  // the object may be gone: touch nothing
    Restart(State().m_nFireType);
    return TRUE;
}

void FireWnd::Restart(int nFireType) {
    if (m_nTimer) KillTimer(kFrameTimerId);
    m_nTimer = 0;
    m_power.Join();
    m_engine.Restart(nFireType, ClientSize());
    if (const HWND active = ::GetActiveWindow()) ::SendMessageA(active, WM_QUERYNEWPALETTE, 0, 0);
    if (!m_bDisplayOff) m_nTimer = static_cast<UINT>(SetTimer(kFrameTimerId, kFramePeriodMs));
}

void FireWnd::FollowDisplay(DisplayState state) {
    const bool run = FramesRun(state, !m_bDisplayOff);
    if (run == !m_bDisplayOff) return;
    m_bDisplayOff = !run;
    if (run) {
        m_nTimer = static_cast<UINT>(SetTimer(kFrameTimerId, kFramePeriodMs));
    } else if (m_nTimer) {
        KillTimer(kFrameTimerId);
        m_nTimer = 0;
    }
}

FireSize FireWnd::ClientSize() const {
    RECT client;
    GetClientRect(&client);
    return FireSize{client.right - client.left, client.bottom - client.top};
}

void FireWnd::OnTimer(UINT nIDEvent) {
    if (nIDEvent == kFrameTimerId && !State().m_bFinished) {
        m_engine.Tick();
        return;
    }
    // Any other timer, or a finished fire, still blanks the window once after a start.
    m_engine.BlankIfDue();
    Default();
}

void FireWnd::OnPaint() {
    CPaintDC dc(this);
    Repaint(dc);
}

void FireWnd::Repaint(CDCHandle& dc) { m_canvas.Paint(dc, m_engine); }

void FireWnd::OnDestroy() {
    Default();
    if (m_nTimer) KillTimer(m_nTimer);
    m_power.Leave();
}

BOOL FireWnd::OnQueryNewPalette() {
    if (!m_canvas.HasPalette()) return FALSE;
    UINT changed = 0;
    {
        CClientDC dc(this);
        const MSG* msg = GetCurrentMessage();
        const BOOL background = msg && msg->message == WM_PALETTECHANGED;
        changed = m_canvas.RealizePalette(dc, background);
    }
    if (!changed) return FALSE;
    InvalidateRect(nullptr, FALSE);
    return TRUE;
}

void FireWnd::OnPaletteChanged(HWND) {
    Default();
    CPaintDC dc(this);
    Repaint(dc);
}
