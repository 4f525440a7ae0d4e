#pragma once
// The fire engine's platform in memory: a made-up screen, three byte surfaces, and a
// record of what the engine asked for. Used by the unit tests, the simulator and the
// benchmark.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Compose.h"
#include "FireEngine.h"
#include "NearestColour.h"
#include "Settings.h"
#include "SurfaceBuffers.h"

// The simulated screen: (7x + 13y) mod 256 on a monitor, 0 outside every monitor.
uint8_t PatternPixel(const MonitorLayout& screen, int32_t x, int32_t y);

// A full-colour picture of the screen: pixels 0x00RRGGBB, top row first.
struct DesktopPicture {
    FireSize size{0, 0};
    std::vector<uint32_t> pixels;
};

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
    bool UseColours(const ColourTable& colours) override;
    FireBuffers MakeSurfaces(const SurfacePlan& plan) override { return Make(makesSurfaces ? plan : SurfacePlan{}); }

    const MonitorLayout& screen() const { return m_screen; }
    // Monitors that come and go while the engine runs.
    void SetScreen(MonitorLayout screen) { m_screen = std::move(screen); }

    // A screen without a palette showing this picture from the top-left corner of the
    // monitors' bounds: captures read it (black off it and off every monitor), keep its
    // pixels, and take each cell's index as the nearest table colour.
    void SetDesktop(DesktopPicture desktop);
    // What that screen shows at a point.
    uint32_t DesktopPixel(int32_t x, int32_t y) const;
    // The box as that screen shows it, composed by the hosts' rule: (cx x scale) by (cy x
    // scale) pixels 0x00RRGGBB, top row first.
    std::vector<uint32_t> ShowBox(int32_t scale) const;

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
    DesktopPicture m_desktop;
    ScreenColours m_colours{};
    std::unique_ptr<NearestColour> m_nearest;
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
