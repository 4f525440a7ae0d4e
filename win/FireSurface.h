#pragma once
// One drawing surface of a fire window: a DIB section (8-bit palette indices, or 32-bit
// screen pixels) selected into a memory DC of its own. The DC, the section, the previous selection and the pixels live and die together.
#include <cstdint>
#include <memory>

#include "Dc.h"
#include "GdiObject.h"

class FireSurface {
public:
    FireSurface() = default;
    FireSurface(const FireSurface&) = delete;
    FireSurface& operator=(const FireSurface&) = delete;
    ~FireSurface() { Release(); }

    // A memory DC compatible with `window` holding a new section for `info`; false when any
    // part could not be made (Release then takes back what was).
    bool Create(CDC& window, const BITMAPINFO& info);
    // The previous bitmap goes back into the DC before both are deleted.
    void Release();

    CDC* DC() const { return m_pDC.get(); }
    const CBitmap& Bitmap() const { return m_bm; }
    uint8_t* Bits() const { return m_pBits; }

private:
    std::unique_ptr<CDC> m_pDC;
    CBitmap m_bm;
    HGDIOBJ m_hOldBmp = nullptr;
    uint8_t* m_pBits = nullptr;
};
