#include "FireEngine.h"

#include <algorithm>
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

void FireEngine::Restart(int32_t nFireType, FireSize client) {
    m_bBlanked = 0;
    Rebuild(nFireType, client);
    Ignite();
}

void FireEngine::Rebuild(int32_t nFireType, FireSize client) {
    m_rgbPalette = BuildColourTable(nFireType);
    m_bColoursShown = m_platform.UseColours(m_rgbPalette);
    const SurfacePlan plan = PlanSurfaces(client);
    const FireBuffers buffers = m_platform.MakeSurfaces(plan);
    // Buffers reach the engine only when every surface exists; otherwise nothing burns or
    // draws until a later restart succeeds.
    if (plan.surfaces && buffers.Complete())
        AttachBuffers(buffers);
    else
        ReleaseBuffers();
    m_bShown = false;
}

SurfacePlan FireEngine::PlanSurfaces(FireSize client) {
    ReleaseBuffers();
    if (m_bFullScreen == 1) {
        m_cxFire = m_cyFire = kFullScreenBox;
    } else {
        m_cxFire = client.cx;
        m_cyFire = client.cy;
    }
    if (m_nFireHeight == 0) m_nFireHeight = int32_t(m_cyFire * 0.75);
    if (m_nBaseWidth == 0) m_nBaseWidth = m_cxFire / 2;
    // An empty or absurd client area leaves no base line, and so nothing burns.
    if (m_cxFire > 0 && m_cyFire > 0 && m_cxFire <= kMaxSurfaceSide && m_cyFire <= kMaxSurfaceSide)
        m_pBaseLine.reset(new (std::nothrow) uint8_t[std::size_t(m_cxFire)]);
    SurfacePlan plan;
    plan.box = FireBox();
    plan.stride = Stride();
    plan.surfaces = m_pBaseLine != nullptr;
    return plan;
}

void FireEngine::AttachBuffers(const FireBuffers& buffers) {
    m_pBackBits = buffers.back;
    m_pHeatBits = buffers.heat;
    m_pOutBits = buffers.out;
}

void FireEngine::ReleaseBuffers() {
    AttachBuffers(FireBuffers{});
    m_pBaseLine.reset();
}

bool FireEngine::Ready() const {
    return m_bColoursShown && m_pHeatBits && m_pBackBits && m_pOutBits && m_pBaseLine && m_cxFire > 0 &&
           m_cyFire > 0;
}

void FireEngine::BlankIfDue() {
    if (m_bBlankScreen == 1 && !m_bBlanked) {
        m_platform.BlankWindow();
        m_bBlanked = 1;
        ChangedAll();
    }
}

void FireEngine::Tick() {
    BlankIfDue();
    if (m_bFinished) return;
    if (m_bFullScreen == 1 && m_bBurning != 1) {
        FlyStep();
        return;
    }
    if (!Ready()) return;
    Step();
    // A fire that died on this tick is replaced at once; the new one shows from the next tick.
    if (m_bFinished)
        Ignite();
    else
        PresentChanged();
}

void FireEngine::Step() {
    const StepReach reach{FireBox(),      Stride(), m_nFireHeight, m_nHotTop, m_params.m_nSpread,
                          std::max(m_nBaseWidth, m_nMaxBaseWidth)};
    const FireBand reachable = StepBand(reach);
    m_nHotTop = HotTopAfterStep(reach);
    // Rows the step skipped, above the flames, are left out.
    m_changed = m_changed.Join(reachable.UpTo(Burn()));
}

void FireEngine::Paint() {
    if (m_bFinished) return;
    if (m_bBurning == 1)
        Present();
    else
        FlyStep();
}

void FireEngine::Present() {
    ChangedAll();
    PresentChanged();
}

void FireEngine::PresentChanged() {
    if (!CanPresent()) return;
    if (!m_bShown || m_ptShown.x != m_ptBlit.x || m_ptShown.y != m_ptBlit.y || m_nScaleShown != m_nScale)
        ChangedAll();
    if (m_changed.Empty()) return;
    m_platform.PresentOutput(m_ptBlit, FireBox(), m_nScale, m_changed);
    m_changed = FireBand{};
    m_bShown = true;
    m_ptShown = m_ptBlit;
    m_nScaleShown = m_nScale;
}
