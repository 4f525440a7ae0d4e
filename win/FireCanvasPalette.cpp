// The logical palette of a fire window, made from the colour table of its surfaces.
#include <vector>

#include "FireCanvas.h"
#include "Selection.h"

bool FireCanvas::UseColours(const ColourTable& colours) {
    m_colours = colours;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const RgbQuad& c = colours[i];
        m_screenColours[i] = uint32_t(c.blue) | uint32_t(c.green) << 8 | uint32_t(c.red) << 16;
    }
    if (m_palette.GetSafeHandle()) {
        // A restart builds the palette before the old surfaces go, so the old palette may
        // still sit in the window DC; a selected palette cannot be deleted.
        if (m_pWindowDC && m_hOldPalette) {
            m_pWindowDC->SelectPalette(m_hOldPalette, TRUE);
            m_hOldPalette = nullptr;
        }
        m_palette.DeleteObject();
    }

    std::vector<BYTE> record(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(record.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = 256;
    for (std::size_t i = 0; i < 256; ++i) {
        const RgbQuad& c = colours[i];
        logPalette->palPalEntry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    m_palette.CreatePalette(logPalette);
    return m_palette.GetSafeHandle() != nullptr;
}

UINT FireCanvas::RealizePalette(CDCHandle& dc, BOOL bForceBackground) {
    if (!m_palette.GetSafeHandle()) return 0;
    CPaletteSelection palette(dc, m_palette, bForceBackground);
    return dc.RealizePalette();
}
