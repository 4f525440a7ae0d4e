#pragma once
// Device contexts borrowed from a window and given back (ReleaseDC, EndPaint) by the
// destructor; as handles they cannot delete or detach what they borrow, and no owner can be
// made from one.
#include <utility>

#include "Dc.h"

class CWnd;

// The whole window including its frame; with no window, the whole screen.
class CWindowDC : public CDCHandle {
public:
    explicit CWindowDC(CWnd* pWnd);
    CWindowDC(CWindowDC&& other) noexcept : CDCHandle(std::exchange(other.m_hDC, nullptr)), m_hWnd(other.m_hWnd) {}
    CWindowDC& operator=(CWindowDC&&) = delete;
    ~CWindowDC();

protected:
    HWND m_hWnd;
};

// The client area.
class CClientDC : public CDCHandle {
public:
    explicit CClientDC(CWnd* pWnd);
    CClientDC(CClientDC&& other) noexcept : CDCHandle(std::exchange(other.m_hDC, nullptr)), m_hWnd(other.m_hWnd) {}
    CClientDC& operator=(CClientDC&&) = delete;
    ~CClientDC();

protected:
    HWND m_hWnd;
};

// One paint cycle: BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDCHandle {
public:
    explicit CPaintDC(CWnd* pWnd);
    CPaintDC(CPaintDC&& other) noexcept
        : CDCHandle(std::exchange(other.m_hDC, nullptr)), m_ps(other.m_ps), m_hWnd(other.m_hWnd) {}
    CPaintDC& operator=(CPaintDC&&) = delete;
    ~CPaintDC();

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
