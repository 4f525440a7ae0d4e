#pragma once
// A window object: owns the link between one HWND and this object, routes the window's
// messages through the class's message map, and gives everything else to the previous
// window procedure (DefWindowProcA for the windows it creates itself).
#include "Afx.h"
#include "MessageMap.h"

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // A window that still exists is taken back (a subclassed control) or destroyed; the
    // application's main window is none once its object is gone.
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates the window with this object attached on WM_NCCREATE, before any handler runs.
    // On failure PostNcDestroy has run, so a self-deleting object is gone.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x,
                  int y, int nWidth, int nHeight, HWND hWndParent, UINT nID);
    BOOL DestroyWindow();

    // Takes over an existing window of this thread: its messages reach this object first.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    // The object attached to a window of this process; null for windows without one, which
    // the program refers to by their plain handles.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The message being handled on this thread (the innermost one while messages nest).
    static const MSG* GetCurrentMessage();

    void GetClientRect(LPRECT lpRect) const;
    void InvalidateRect(const RECT* lpRect, BOOL bErase = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    // A pop-up over its owner (or pAlternateOwner instead), inside the work area of the
    // monitor that holds the owner; without a visible owner, in the middle of the work area
    // of the monitor that holds the cursor.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

protected:
    // The current message, passed on to the previous window procedure.
    LRESULT Default();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the last message of the window; the object may delete itself here.
    virtual void PostNcDestroy() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    friend LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    void Attach(HWND hWnd);
    HWND Detach();
    // WM_NCDESTROY has been handled: unlink, hand back a subclassed window's procedure, then
    // PostNcDestroy.
    void OnFinalMessage();

    WNDPROC m_pfnSuper = nullptr;  // the procedure this object took over, if any
    bool m_bCreating = false;      // inside CreateEx
};

// The one window procedure of every class the framework registers.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
