// The logical palette of a fire window and the two palette messages.
#include <cstring>
#include <vector>

#include "FireWnd.h"
#include "Selection.h"

void FireWnd::BuildPalette(int nFireType) {
    if (m_palette.GetSafeHandle()) {
        // A restart builds the palette before the old surfaces go, so the old palette may
        // still sit in the window DC; a selected palette cannot be deleted.
        if (m_pWindowDC && m_hOldPalette) {
            m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
            m_hOldPalette = nullptr;
        }
        m_palette.DeleteObject();
    }
    m_engine.BuildColourTable(nFireType);

    std::vector<BYTE> record(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(record.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = 256;
    for (std::size_t i = 0; i < 256; ++i) {
        const RgbQuad& c = State().m_rgbPalette[i];
        logPalette->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    m_palette.CreatePalette(logPalette);
}

BOOL FireWnd::OnQueryNewPalette() {
    if (!m_palette.GetSafeHandle()) return FALSE;
    UINT changed = 0;
    {
        CClientDC dc(this);
        const MSG* msg = GetCurrentMessage();
        const BOOL background = msg && msg->message == WM_PALETTECHANGED;
        CPaletteSelection palette(dc, m_palette, background);
        changed = dc.RealizePalette();
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
