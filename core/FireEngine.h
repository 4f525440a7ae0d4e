#pragma once
// One fire: its parameters, life counters, buffers, colour table and firefly, and every
// rule that decides what happens to them. Bytes and integers only; whatever needs the
// screen or a window goes through FirePlatform.
#include <cstdint>
#include <memory>

#include "BurnScratch.h"
#include "ColourTable.h"
#include "FirePlatform.h"
#include "FireRandom.h"
#include "Settings.h"

// Heat value of a cell without flame; every value above burns.
constexpr uint8_t kCold = 16;
// Value written by a flare, and the hottest colour.
constexpr uint8_t kFlare = 239;
// Side of the square fire box of the full-screen saver.
constexpr int32_t kFullScreenBox = 100;
// The fire's frame rate: one tick every so many milliseconds.
constexpr uint32_t kFramePeriodMs = 33;
// The firefly's dark pen, near-black so that its trail shows on a desktop picture.
constexpr Colour kFlyDark = MakeColour(1, 0, 0);

// Rates of the propagation step that no setting changes.
struct FireParams {
    int32_t m_nFlareLevel = 385;  // a flare on one tick in 400 - level
    int32_t m_nHeatGain = 20;     // heat added to a base-line cell per tick, around the range
    int32_t m_nSpread = 1;        // sideways drift, pixels each way
    int32_t m_nHeatRange = 50;    // spread of the random heat added
};

// Everything one fire is at a moment, under the names of the fire window's fields. The
// engine owns it; others read it (the simulator's dump, the tests) through State().
struct FireState {
    int32_t m_bBlanked = 0;
    int32_t m_nDecay = 5;
    int32_t m_nFuel = 223;
    int32_t m_nBaseWidth = 6;
    int32_t m_nFlySpeed = Describe(SettingId::FlySpeed).fallback;
    int32_t m_nSmooth = Describe(SettingId::SmoothFire).fallback;
    int32_t m_nFlyWidth = Describe(SettingId::FlyWidth).fallback;
    int32_t m_bBlankScreen = Describe(SettingId::BlankScreen).fallback;
    int32_t m_nFireType = Describe(SettingId::FireType).fallback;
    int32_t m_bDrawFly = Describe(SettingId::DrawFly).fallback;
    int32_t m_bFullScreen = 0;
    FirePoint m_ptFire{0, 0};
    FirePoint m_ptBlit{0, 0};
    FlyPoint m_flyTail{0, 0};
    FlyPoint m_flyStart{0, 0};
    FlyPoint m_flyHead{0, 0};
    int32_t m_bGlowFalling = 0;
    float m_fFlyDist = 0;
    FlyPoint m_flyDir{0, 0};
    int32_t m_nMaxBaseWidth = 6;
    int32_t m_bBurning = 0;
    int32_t m_nFrame = 0;
    int32_t m_nBurnFrames = 0;
    int32_t m_nDyingFrames = 0;
    int32_t m_bFinished = 0;
    int32_t m_cxFire = 0;
    int32_t m_cyFire = 0;
    int32_t m_nFireHeight = 0;
    std::unique_ptr<uint8_t[]> m_pBaseLine;
    uint8_t* m_pBackBits = nullptr;
    uint8_t* m_pHeatBits = nullptr;
    uint8_t* m_pOutBits = nullptr;
    uint8_t m_nGlow = 20;
    ColourTable m_rgbPalette{};
    // Steps of the current flight, so that a firefly that can never arrive still lands.
    int32_t m_nFlySteps = 0;
    // Screen pixels per fire pixel, each way, where the full-screen box shows (high DPI).
    int32_t m_nScale = 1;

    // 0 unless the planned size gets surfaces; then it fits 32 bits.
    int32_t Stride() const { return m_pBaseLine ? int32_t(SurfaceStride(m_cxFire)) : 0; }
    FireSize FireBox() const { return FireSize{m_cxFire, m_cyFire}; }
};

class FireEngine : private FireState {
public:
    // Seeds the C library generator with the time and draws three values from it:
    // the private generator's seed, then the firefly's first start point (x, then y).
    FireEngine(FirePlatform& platform, CRandom& random, const SettingValues& settings,
               const MonitorLayout& screen);
    FireEngine(const FireEngine&) = delete;
    FireEngine& operator=(const FireEngine&) = delete;

    const FireState& State() const { return *this; }
    const FireParams& Params() const { return m_params; }

    SettingValues Settings() const;
    void ApplySettings(const SettingValues& settings);
    void SetSetting(SettingId id, int32_t value);
    // Runs the reads of `reader` over the current settings and applies the result.
    void ReadSettings(const SettingsReader& reader, SettingsStore& store);
    // The full-screen saver's fire: a box that moves, lit by the firefly when it flies.
    void SetFullScreen() { m_bFullScreen = 1; }

    // A new fire type in a client area: colours and surfaces through the platform, then the
    // first fire.
    void Restart(int32_t nFireType, FireSize client);
    // The colours and surfaces of a restart, without lighting a fire.
    void Rebuild(int32_t nFireType, FireSize client);
    // Lets go of the buffers and the base line, before the host frees its surfaces.
    void ReleaseBuffers();
    using FireState::FireBox;
    using FireState::Stride;

    // Colours, buffers and base line all exist: without them nothing is lit, burnt or drawn.
    bool Ready() const;
    // Whether the output buffer may be shown.
    bool CanPresent() const { return Ready() && !m_bFinished; }

    void Ignite();
    void SetFireHeight(int32_t nPercent);
    // One propagation step; returns the highest row of the buffers it may have written into,
    // -1 when none.
    int32_t Burn();
    // The same step as it was first written, slower; for the tests and the benchmark.
    int32_t BurnReference();
    void FlyStep();
    // Once after each start, with BlankScreen 1: the whole window goes black.
    void BlankIfDue();
    // One frame: the firefly flies, or the fire burns and shows, or a fire that has just
    // died is replaced. Blanks first when due; a finished fire does not move.
    void Tick();
    // What a redraw shows: the fire, or one more firefly step; nothing once finished.
    void Paint();
    // The whole output buffer, at the fire's place and scale, when it may be shown.
    void Present();
    // The monitors went from `before` to `after`, and the full-screen window now covers the
    // new bounds: window coordinates follow its new origin, and a fire that no longer lies
    // wholly on one monitor moves onto one, over what the screen shows there (a flying
    // firefly turns towards it instead). The preview's fire stays as it is.
    void Relocate(const MonitorLayout& before, const MonitorLayout& after);

private:
    // Tests set up states that no sequence of ticks reaches quickly.
    friend struct FireEngineTestAccess;

    void BeginFlight();
    void PulseGlow();
    // Where the firefly flies to: the middle of the box's bottom edge as shown, in window
    // coordinates.
    FirePoint FlightTarget() const;
    bool InArrivalWindow() const;
    bool FlightOverdue() const;

    // Sizes and defaults for the mode and client area, and a fresh base line; drops the
    // buffers attached before.
    SurfacePlan PlanSurfaces(FireSize client);
    void AttachBuffers(const FireBuffers& buffers);

    // One propagation step, noting the cells it may change.
    void Step();
    // Everything the box shows may differ from what the window shows.
    void ChangedAll() { m_changed = FireBand::Whole(FireBox()); }
    // What changed since the last present; all of it where the box moved or rescaled.
    void PresentChanged();

    FirePlatform& m_platform;
    CRandom& m_random;
    FireParams m_params;
    BurnScratch m_scratch;
    // What the platform said of the colours at the last restart.
    bool m_bColoursShown = false;
    // Cells of the output buffer that differ from what the window shows.
    FireBand m_changed;
    // Highest heat row that may burn; -1 from ignition until the first step.
    int32_t m_nHotTop = -1;
    // Where and at which scale the box was last shown; nowhere yet when not.
    bool m_bShown = false;
    FirePoint m_ptShown{0, 0};
    int32_t m_nScaleShown = 1;
};
