#include <cmath>

#include "FireEngine.h"
#include "Placement.h"

namespace {
// A flight that has not arrived after this many steps never will (or has been flying for
// longer than any screen needs); it lands where it is so that a new fire is still lit.
constexpr double kFlightSlackSteps = 3.0;
constexpr int32_t kMaxFlightSteps = 1 << 16;

FirePoint ToPixel(FlyPoint p) { return FirePoint{TruncToInt(p.x), TruncToInt(p.y)}; }
}  // namespace

void FireEngine::BeginFlight() {
    m_bBurning = 0;
    m_flyTail = m_flyStart;
    m_flyHead = m_flyTail;
    // The middle of the bottom edge of the box, where its base line burns.
    const FirePoint t = FlightTarget();
    const FlyPoint target{float(t.x), float(t.y)};
    float dx = target.x - m_flyHead.x;
    if (dx == 0.0f) dx = 1.0f;
    float dy = target.y - m_flyHead.y;
    if (dy == 0.0f) dy = 1.0f;
    m_fFlyDist = float(std::sqrt(double(dx) * dx + double(dy) * dy));
    m_flyDir = FlyPoint{dx / m_fFlyDist, dy / m_fFlyDist};
    // The glowing segment starts five pixels long with its tail on the start point.
    m_flyHead.x = float(m_flyHead.x + m_flyDir.x * 5.0);
    m_flyHead.y = float(m_flyHead.y + m_flyDir.y * 5.0);
    m_nFlySteps = 0;
}

void FireEngine::PulseGlow() {
    if (!m_bGlowFalling) {
        m_nGlow = uint8_t(m_nGlow + 10);
        if (m_nGlow >= 240) {
            m_nGlow = 254;
            m_bGlowFalling = 1;
        }
    } else {
        m_nGlow = uint8_t(m_nGlow - 10);
        if (m_nGlow < 20) {
            m_nGlow = 20;
            m_bGlowFalling = 0;
        }
    }
}

FirePoint FireEngine::FlightTarget() const {
    const int64_t cx = int64_t(m_cxFire) * m_nScale, cy = int64_t(m_cyFire) * m_nScale;
    return FirePoint{TruncToInt(double(m_ptBlit.x + cx / 2)), TruncToInt(double(m_ptBlit.y + cy))};
}

bool FireEngine::InArrivalWindow() const {
    // The window reaches 1 + speed pixels to each side of the target, so that one step
    // along the path cannot jump over it. Bounds in 64 bits: the speed is a stored value.
    const FirePoint t = FlightTarget();
    const int64_t reach = int64_t(m_nFlySpeed) + 1;
    const float left = float(t.x - reach), right = float(t.x + reach);
    const float low = float(t.y - reach), high = float(t.y + reach);
    return left < m_flyHead.x && m_flyHead.x < right && low < m_flyHead.y && m_flyHead.y < high;
}

bool FireEngine::FlightOverdue() const {
    if (m_nFlySpeed <= 0 || m_nFlySteps >= kMaxFlightSteps) return true;
    return m_nFlySteps >= m_fFlyDist / double(m_nFlySpeed) + kFlightSlackSteps;
}

void FireEngine::FlyStep() {
    if (!Ready() || m_bFinished) return;
    PulseGlow();

    FlyStroke strokes[3];
    std::size_t count = 0;
    // The dark line covers the whole path so far, the last glowing segment included.
    strokes[count++] = FlyStroke{ToPixel(m_flyStart), ToPixel(m_flyHead), false};
    const float s = float(m_nFlySpeed);
    const float stepX = m_flyDir.x * s;
    const float stepY = m_flyDir.y * s;
    m_flyHead.x += stepX;
    m_flyHead.y += stepY;
    m_flyTail.x += stepX;
    m_flyTail.y += stepY;
    strokes[count++] = FlyStroke{ToPixel(m_flyTail), ToPixel(m_flyHead), true};

    ++m_nFlySteps;
    const bool arrived = InArrivalWindow() || FlightOverdue();
    if (arrived) strokes[count++] = FlyStroke{ToPixel(m_flyStart), ToPixel(m_flyHead), false};
    m_platform.DrawFly(m_nFlyWidth, kFlyDark, GlowColour(m_nFireType, m_nGlow), strokes, count);
    if (!arrived) return;

    m_flyStart = m_flyHead;
    // Captured after the trail was drawn, so the trail shows where it crosses the box.
    m_platform.CaptureScreen(m_ptFire, FireBox(), m_nScale);
    m_bBurning = 1;
}
