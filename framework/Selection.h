#pragma once
// Scoped selections: the object that the DC held before is selected back, by its handle,
// when the scope ends.
#include "Dc.h"

class CSelection {
public:
    CSelection(CDCHandle& dc, const CGdiObject& object) : m_dc(dc), m_hOld(dc.SelectObject(object)) {}
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;
    ~CSelection() {
        if (m_hOld) m_dc.SelectObject(m_hOld);
    }
    bool Selected() const { return m_hOld != nullptr; }

private:
    CDCHandle& m_dc;
    HGDIOBJ m_hOld;
};

class CPaletteSelection {
public:
    CPaletteSelection(CDCHandle& dc, HPALETTE hPalette, BOOL bForceBackground)
        : m_dc(dc), m_hOld(dc.SelectPalette(hPalette, bForceBackground)) {}
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;
    // The previous palette goes back as a background palette.
    ~CPaletteSelection() {
        if (m_hOld) m_dc.SelectPalette(m_hOld, TRUE);
    }
    bool Selected() const { return m_hOld != nullptr; }

private:
    CDCHandle& m_dc;
    HPALETTE m_hOld;
};
