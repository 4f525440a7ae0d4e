#include "FireEngine.h"

#include <new>

#include "Placement.h"

namespace {
constexpr SettingFields<FireState> kSettingFields = {
    &FireState::m_bBlankScreen, &FireState::m_nSmooth,   &FireState::m_nFireType,
    &FireState::m_bDrawFly,     &FireState::m_nFlyWidth, &FireState::m_nFlySpeed};
}  // namespace

FireEngine::FireEngine(FirePlatform& platform, CRandom& random, const SettingValues& settings,
                       const MonitorLayout& screen)
    : m_platform(platform), m_random(random) {
    ApplySettings(settings);
    m_random.Seed(m_random.Time());
    g_dwFireRand = static_cast<uint32_t>(m_random.Rand());
    const int32_t x = m_random.Rand();
    const int32_t y = m_random.Rand();
    // The firefly flies in window coordinates: the full-screen window starts at the origin.
    const FirePoint start = screen.PlacePoint(x, y);
    const FirePoint origin = screen.Origin();
    m_flyStart = m_flyTail = FlyPoint{float(int64_t(start.x) - origin.x), float(int64_t(start.y) - origin.y)};
}

SettingValues FireEngine::Settings() const { return SettingsOf<FireState>(*this, kSettingFields); }

void FireEngine::ApplySettings(const SettingValues& v) { SetSettings<FireState>(*this, kSettingFields, v); }

void FireEngine::SetSetting(SettingId id, int32_t value) {
    static_cast<FireState&>(*this).*kSettingFields[static_cast<std::size_t>(id)] = value;
}

void FireEngine::ReadSettings(const SettingsReader& reader, SettingsStore& store) {
    SettingValues values = Settings();
    ::ReadSettings(reader, store, values);
    ApplySettings(values);
}

void FireEngine::Restart(int32_t nFireType, FireRestartHost& host) {
    m_bBlanked = 0;
    host.BuildPalette(nFireType);
    host.CreateSurfaces();
    Ignite();
}

void FireEngine::BuildColourTable(int32_t nFireType) { m_rgbPalette = ::BuildColourTable(nFireType); }

void FireEngine::PlanSurfaces(int32_t clientWidth, int32_t clientHeight) {
    ReleaseBuffers();
    if (m_bFullScreen == 1) {
        m_cxFire = m_cyFire = kFullScreenBox;
    } else {
        m_cxFire = clientWidth;
        m_cyFire = clientHeight;
    }
    if (m_nFireHeight == 0) m_nFireHeight = int32_t(m_cyFire * 0.75);
    if (m_nBaseWidth == 0) m_nBaseWidth = m_cxFire / 2;
    // An empty or absurd client area leaves no base line, and so nothing burns.
    if (m_cxFire > 0 && m_cyFire > 0 && m_cxFire <= kMaxSurfaceSide && m_cyFire <= kMaxSurfaceSide)
        m_pBaseLine.reset(new (std::nothrow) uint8_t[std::size_t(m_cxFire)]);
}

void FireEngine::AttachBuffers(uint8_t* back, uint8_t* heat, uint8_t* out) {
    m_pBackBits = back;
    m_pHeatBits = heat;
    m_pOutBits = out;
}

void FireEngine::ReleaseBuffers() {
    AttachBuffers(nullptr, nullptr, nullptr);
    m_pBaseLine.reset();
}

bool FireEngine::Ready() const {
    return m_platform.HasPalette() && m_pHeatBits && m_pBackBits && m_pOutBits && m_pBaseLine &&
           m_cxFire > 0 && m_cyFire > 0;
}

bool FireEngine::Tick(uint32_t nIDEvent) {
    if (m_bBlankScreen == 1 && !m_bBlanked) {
        m_platform.BlankWindow();
        m_bBlanked = 1;
    }
    if (nIDEvent != kFrameTimerId || m_bFinished) return false;
    if (m_bFullScreen == 1 && m_bBurning != 1) {
        FlyStep();
        return true;
    }
    if (!Ready()) return true;
    Burn();
    // A fire that died on this tick is replaced at once; the new one shows from the next tick.
    if (m_bFinished)
        Ignite();
    else
        m_platform.PresentOutput(m_ptBlit, FireBox(), m_nScale);
    return true;
}

PaintAction FireEngine::Paint() const {
    if (m_bFinished) return PaintAction::Nothing;
    return m_bBurning == 1 ? PaintAction::Present : PaintAction::FlyStep;
}
