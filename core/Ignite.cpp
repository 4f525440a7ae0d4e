#include <cstring>

#include "FireEngine.h"
#include "Placement.h"

void FireEngine::Ignite() {
    if (!Ready()) return;
    // Captured or blackened below, or left to the firefly's capture: all of it is new.
    ChangedAll();
    m_nHotTop = -1;
    const int32_t stride = Stride();
    for (int32_t r = 0; r < m_cyFire; ++r)
        std::memset(m_pHeatBits + std::size_t(r) * std::size_t(stride), kCold, std::size_t(m_cxFire));
    std::memset(m_pBaseLine.get(), kCold, std::size_t(m_cxFire));

    const bool fullScreen = m_bFullScreen == 1;
    const MonitorLayout screen = m_platform.Monitors();
    const int32_t x = m_random.Rand();
    const int32_t y = m_random.Rand();
    // The preview burns at its client size in physical pixels wherever its block comes from.
    const BoxPlacement place = screen.Place(x, y, FireBox(), fullScreen);
    m_ptFire = place.at;
    m_nScale = fullScreen ? place.scale : 1;
    // The full-screen window covers the monitors' bounds from their top-left corner.
    const FirePoint origin = screen.Origin();
    m_ptBlit = fullScreen ? FirePoint{TruncToInt(double(m_ptFire.x) - origin.x), TruncToInt(double(m_ptFire.y) - origin.y)}
                          : FirePoint{0, 0};

    if (fullScreen && m_bDrawFly) {
        // The firefly's arrival captures the background.
        BeginFlight();
    } else {
        if (m_bBlankScreen)
            m_platform.FillBlack(FireBox());
        else
            m_platform.CaptureScreen(m_ptFire, FireBox(), m_nScale);
        m_bBurning = 1;
    }

    m_nBaseWidth = 6;
    SetFireHeight(m_random.Rand() % 100);
    m_nMaxBaseWidth = m_random.Rand() % m_nFireHeight;
    if (m_nMaxBaseWidth < 6) m_nMaxBaseWidth = 6;
    m_nBurnFrames = m_nFireHeight + m_random.Rand() % (m_nFireHeight + m_nMaxBaseWidth);
    m_nFrame = 0;
    m_nDyingFrames = 0;
    m_nDecay = 5;
    m_bFinished = 0;
    m_nFuel = 200;
}

void FireEngine::SetFireHeight(int32_t nPercent) {
    if (!Ready()) return;
    int32_t height = TruncToInt((nPercent / 100.0) * m_cyFire);
    // No taller than the window, so that the life counters built on it cannot overflow.
    if (height > m_cyFire) height = m_cyFire;
    if (height < 6) height = 6;
    m_nFireHeight = height;
    const int32_t stride = Stride();
    for (int32_t r = m_cyFire - 1; r > m_nFireHeight; --r)
        std::memset(m_pHeatBits + std::size_t(r) * std::size_t(stride), kCold, std::size_t(m_cxFire));
}
