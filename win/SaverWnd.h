#pragma once
// The full-screen saver: a top-most fire window over every monitor that hides the
// cursor and closes on the first sign of the user. Which messages close it is decided by
// RespondToInput (rules/SaverRules.h); this class only maps messages onto those rules.
#include "Dc.h"
#include "FireWnd.h"
#include "GdiObject.h"
#include "MonitorLayout.h"
#include "SaverRules.h"

// A copy of every monitor as they were before the saver's window appeared. A window that
// never erases shows the screen under it only where the system keeps it (not under Wine,
// not with desktop composition); the saver puts this copy there itself, so that its fires
// burn over the desktop everywhere.
class ScreenSnapshot {
public:
    ScreenSnapshot() = default;
    ScreenSnapshot(const ScreenSnapshot&) = delete;
    ScreenSnapshot& operator=(const ScreenSnapshot&) = delete;
    ~ScreenSnapshot() { Release(); }

    // Copies the area (screen coordinates) that the saver's window will cover; false (and
    // no snapshot) when the system refuses.
    bool Take(const MonitorRect& area);
    // Blackens the snapshot outside `keep` (the same coordinates as the area taken).
    void BlackenOutside(const RECT& keep);
    void Release();
    bool Taken() const { return m_bitmap.GetSafeHandle() != nullptr; }
    // Copies the part of the snapshot under rect (the saver window's coordinates, which
    // start at the area's top-left) to the same place in dc.
    void Draw(HDC dc, const RECT& rect);

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};

// While the system reports no monitor at all, how often the saver asks again.
constexpr UINT kMonitorTimerId = 2;
constexpr UINT kMonitorPollMs = 500;

class SaverWnd : public FireWnd {
public:
    // Made on the heap as a SelfDeleting<QuitOnDestroy<SaverWnd>>: the object goes after its
    // window, and the window's end ends the run.
    explicit SaverWnd(const SettingValues& settings);
    ~SaverWnd() override;

    // A top-most pop-up over the whole screen. On failure the object has been deleted.
    BOOL CreateFullScreen();

    FirePoint MousePosition() const { return m_ptMouse; }
    // The monitors the window covers now.
    const MonitorLayout& Monitors() const { return m_monitors; }
    bool HasSnapshot() const { return m_snapshot.Taken(); }

protected:
    void OnSysCommand(UINT nID, LPARAM lParam);
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
    BOOL OnNcActivate(BOOL bActive);
    void OnActivate(UINT nState, HWND hWndOther, BOOL bMinimized);
    void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnMButtonDown(UINT nFlags, POINT point);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    BOOL OnEraseBkgnd(HDC hDC);
    void OnTimer(UINT nIDEvent);
    // Monitors came, went or changed: the window covers the new virtual screen.
    void OnDisplayChange(UINT nImageDepth, int cxScreen, int cyScreen);

    DECLARE_MESSAGE_MAP()

private:
    // Applies the rules to the current message: closes through a posted WM_CLOSE, and
    // gives the message its default processing unless the rules drop it.
    LRESULT Respond(SaverMessage message, uint32_t value, FirePoint position = {0, 0});
    // Reads the monitors again. With none (every one switched off or unplugged) the window
    // stays where it is and the system is asked again until they are back; otherwise the
    // window covers them, wherever they or the system put it, and the fire leaves a monitor
    // that went. True when the monitors changed, to none and back included.
    bool FollowMonitors();
    // Moves the window from `was` (screen coordinates) over `now`.
    void Cover(const MonitorLayout& now, const RECT& was);

    FirePoint m_ptMouse;
    ScreenSnapshot m_snapshot;
    MonitorLayout m_monitors{FireSize{0, 0}};
    bool m_bNoMonitors = false;
    // Inside Cover: the window's own move is not the system's.
    bool m_bCovering = false;
};
