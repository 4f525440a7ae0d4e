#pragma once
// Device contexts borrowed from a window and given back (ReleaseDC, EndPaint) by the
// destructor instead of being deleted.
#include <utility>

#include "Dc.h"

class CWnd;

// The whole window including its frame; with no window, the whole screen.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    CWindowDC(CWindowDC&& other) noexcept : CDC(std::move(other)), m_hWnd(other.m_hWnd) {}
    CWindowDC& operator=(CWindowDC&&) = delete;
    ~CWindowDC();

protected:
    HWND m_hWnd;
};

// The client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    CClientDC(CClientDC&& other) noexcept : CDC(std::move(other)), m_hWnd(other.m_hWnd) {}
    CClientDC& operator=(CClientDC&&) = delete;
    ~CClientDC();

protected:
    HWND m_hWnd;
};

// One paint cycle: BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    CPaintDC(CPaintDC&& other) noexcept : CDC(std::move(other)), m_ps(other.m_ps), m_hWnd(other.m_hWnd) {}
    CPaintDC& operator=(CPaintDC&&) = delete;
    ~CPaintDC();

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
