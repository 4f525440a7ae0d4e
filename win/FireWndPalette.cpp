// The logical palette of a fire window and the two palette messages.
#include <vector>

#include "FireWnd.h"
#include "Selection.h"

bool FireWnd::Gdi::UseColours(const ColourTable& colours) {
    m_colours = colours;
    CPalette& palette = m_wnd.m_palette;
    if (palette.GetSafeHandle()) {
        // A restart builds the palette before the old surfaces go, so the old palette may
        // still sit in the window DC; a selected palette cannot be deleted.
        if (m_wnd.m_pWindowDC && m_wnd.m_hOldPalette) {
            m_wnd.m_pWindowDC->SelectPalette(m_wnd.m_hOldPalette, TRUE);
            m_wnd.m_hOldPalette = nullptr;
        }
        palette.DeleteObject();
    }

    std::vector<BYTE> record(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(record.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = 256;
    for (std::size_t i = 0; i < 256; ++i) {
        const RgbQuad& c = colours[i];
        logPalette->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    palette.CreatePalette(logPalette);
    return palette.GetSafeHandle() != nullptr;
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
