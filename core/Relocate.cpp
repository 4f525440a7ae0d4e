#include "FireEngine.h"
#include "Placement.h"

void FireEngine::Relocate(const MonitorLayout& before, const MonitorLayout& after) {
    if (m_bFullScreen != 1 || !Ready()) return;
    const FirePoint was = before.Origin(), now = after.Origin();
    // A screen point keeps its place while the window's top-left corner moves under it.
    const auto follow = [&](FlyPoint& p) {
        p.x = float(double(p.x) + was.x - now.x);
        p.y = float(double(p.y) + was.y - now.y);
    };
    follow(m_flyStart);
    follow(m_flyHead);
    follow(m_flyTail);

    const BoxPlacement place = after.Relocate(before, BoxPlacement{m_ptFire, m_nScale}, FireBox());
    const bool moved = place.at.x != m_ptFire.x || place.at.y != m_ptFire.y || place.scale != m_nScale;
    m_ptFire = place.at;
    m_nScale = place.scale;
    m_ptBlit = FirePoint{TruncToInt(double(m_ptFire.x) - now.x), TruncToInt(double(m_ptFire.y) - now.y)};

    const bool flying = m_bDrawFly && !m_bBurning && !m_bFinished;
    if (flying) {
        if (!moved) return;
        // From wherever it is now, so that its trail stays one line.
        m_flyStart = m_flyHead;
        BeginFlight();
        return;
    }
    // The next flight starts where the last one ended; a monitor gone takes that point along.
    const FirePoint start{TruncToInt(double(m_flyStart.x) + now.x), TruncToInt(double(m_flyStart.y) + now.y)};
    const FirePoint onto = after.Relocate(start);
    if (onto.x != start.x || onto.y != start.y)
        m_flyStart = FlyPoint{float(double(onto.x) - now.x), float(double(onto.y) - now.y)};
    if (!moved || m_bFinished) return;
    if (m_bBlankScreen)
        m_platform.FillBlack(FireBox());
    else
        m_platform.CaptureScreen(m_ptFire, FireBox(), m_nScale);
    ChangedAll();
}
