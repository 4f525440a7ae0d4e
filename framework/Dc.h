#pragma once
// Device contexts in two kinds, as handles and owners are elsewhere: CDCHandle draws on a DC it
// borrows and can neither delete nor detach it; CDC owns a memory DC and deletes it. The DCs a
// window lends (WindowDc.h) are handles that give theirs back. Selections hand back the
// previous object's handle, never a wrapper.
#include <utility>

#include "Afx.h"
#include "GdiObject.h"

class CDCHandle {
public:
    CDCHandle() = default;
    explicit CDCHandle(HDC hDC) : m_hDC(hDC) {}

    HDC GetSafeHdc() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectObject(const CGdiObject& object) { return SelectObject(object.GetSafeHandle()); }
    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground);
    UINT RealizePalette();

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, const CDCHandle* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    int FillRect(const RECT& rect, const CBrush& brush);
    BOOL MoveTo(int x, int y);
    BOOL LineTo(int x, int y);

protected:
    HDC m_hDC = nullptr;
};

// A memory DC this object owns: moved, never copied, deleted by the destructor.
class CDC : public CDCHandle {
public:
    CDC() = default;
    CDC(CDC&& other) noexcept : CDCHandle(std::exchange(other.m_hDC, nullptr)) {}
    CDC& operator=(CDC&& other) noexcept {
        if (this != &other) {
            DeleteDC();
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    ~CDC() { DeleteDC(); }

    // A memory DC compatible with pDC, or with the screen without one; one held before goes.
    BOOL CreateCompatibleDC(const CDCHandle* pDC);
    // FALSE when there was none or the system refused.
    BOOL DeleteDC();
};
