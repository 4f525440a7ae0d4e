#include <cstring>

#include "FireEngine.h"
#include "Placement.h"

void FireEngine::Ignite() {
    if (!Ready()) return;
    const int32_t stride = Stride();
    for (int32_t r = 0; r < m_cyFire; ++r)
        std::memset(m_pHeatBits + std::size_t(r) * std::size_t(stride), kCold, std::size_t(m_cxFire));
    std::memset(m_pBaseLine.get(), kCold, std::size_t(m_cxFire));

    const FireSize screen = m_platform.ScreenSize();
    m_ptFire.x = PlaceBox(m_random.Rand(), screen.cx, m_cxFire);
    m_ptFire.y = PlaceBox(m_random.Rand(), screen.cy, m_cyFire);

    const bool fullScreen = m_bFullScreen == 1;
    if (fullScreen && m_bDrawFly) {
        // The firefly's arrival captures the background.
        BeginFlight();
    } else {
        m_ptBlit = fullScreen ? m_ptFire : FirePoint{0, 0};
        if (m_bBlankScreen)
            m_platform.FillBlack(FireBox());
        else
            m_platform.CaptureScreen(m_ptFire, FireBox());
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
