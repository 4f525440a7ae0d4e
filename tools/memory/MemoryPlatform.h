#pragma once
// The fire engine's platform in memory: a made-up screen, three byte surfaces, and a
// record of what the engine asked for. Used by the unit tests, the simulator and the
// benchmark.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FireEngine.h"
#include "Settings.h"
#include "SurfaceBuffers.h"

// The simulated screen: (7x + 13y) mod 256 on a monitor, 0 outside every monitor.
uint8_t PatternPixel(const MonitorLayout& screen, int32_t x, int32_t y);

// The surfaces are the platform's own buffers (back, heat, out), for the tests to read.
class MemoryPlatform : public FirePlatform, public SurfaceBuffers {
public:
    explicit MemoryPlatform(MonitorLayout screen) : m_screen(std::move(screen)) {}

    MonitorLayout Monitors() override;
    void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) override;
    void FillBlack(FireSize size) override;
    void BlankWindow() override;
    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                 std::size_t count) override;
    void PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) override;
    bool UseColours(const ColourTable&) override { return showsColours; }
    FireBuffers MakeSurfaces(const SurfacePlan& plan) override { return Make(makesSurfaces ? plan : SurfacePlan{}); }

    const MonitorLayout& screen() const { return m_screen; }
    // Monitors that come and go while the engine runs.
    void SetScreen(MonitorLayout screen) { m_screen = std::move(screen); }

    // A host that cannot show the colours, or make the surfaces, of the next restart.
    bool showsColours = true;
    bool makesSurfaces = true;
    // What the engine asked of the platform, in order.
    struct FlyCall {
        int32_t penWidth;
        Colour dark;
        Colour glow;
        std::vector<FlyStroke> strokes;
    };
    std::vector<FlyCall> flyCalls;
    std::vector<FirePoint> captures;
    std::vector<FirePoint> presents;
    int fills = 0;
    int blanks = 0;
    int screenQueries = 0;

private:
    MonitorLayout m_screen;
};

// A settings store in memory that records the order of its reads and writes.
class MemorySettingsStore : public SettingsStore {
public:
    int32_t GetInt(const char* section, const char* name, int32_t fallback) override;
    bool WriteInt(const char* section, const char* name, int32_t value) override;

    std::map<std::string, int32_t> values;  // "Section\\Name"
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

// One fire window's engine built as the window builds it: constructed with the
// constructor's reads, then (by the caller) the mode's reads, then Restart.
struct FireRig {
    FireRig(FireSize screen, SettingsStore& store, uint32_t seed) : FireRig(MonitorLayout(screen), store, seed) {}
    FireRig(const MonitorLayout& screen, SettingsStore& store, uint32_t seed);
    void Restart(int32_t clientWidth, int32_t clientHeight) {
        engine.Restart(engine.State().m_nFireType, FireSize{clientWidth, clientHeight});
    }

    MemoryPlatform platform;
    MsvcRandom random;
    FireEngine engine;
};
